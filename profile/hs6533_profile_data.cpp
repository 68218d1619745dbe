#include "profile/hs6533_profile_data.h"

#include <algorithm>
#include <optional>

#include "platform/files/json_fields.h"
#include "platform/log/logger.h"
#include "profile/record_fields.h"

namespace korvane::profile {
namespace {

using detail::Field;
using detail::int32Field;

constexpr Field<SystemSetStages> kSystemSetFields[] = {
    int32Field("MagicEnable", &SystemSetStages::MagicEnable),
    int32Field("MagicType", &SystemSetStages::MagicType),
    int32Field("EqType", &SystemSetStages::EqType),
    int32Field("CustomEqSeletIndex", &SystemSetStages::CustomEqSeletIndex),
    int32Field("MicInSelect", &SystemSetStages::MicInSelect),
    int32Field("MicInValue", &SystemSetStages::MicInValue),
    int32Field("MicMoniterSelect", &SystemSetStages::MicMoniterSelect),
    int32Field("MicMoniterValue", &SystemSetStages::MicMoniterValue),
};

// The "EQHzValueInfo" row of a preset number; nothing for the custom preset.
std::optional<Json::ArrayIndex> presetRow(int preset) {
    if (preset == kCustomEqPreset) {
        return std::nullopt;
    }
    return static_cast<Json::ArrayIndex>(preset >= 1 && preset < kCustomEqPreset ? preset : 1);
}

std::optional<Json::ArrayIndex> customRow(int index) {
    if (index < 0 || index >= kMaxCustomEqSets) {
        log::debugf("profile: custom equaliser set %d refused", index);
        return std::nullopt;
    }
    return static_cast<Json::ArrayIndex>(index);
}

// Drops the elements from `size` on.
void truncate(Json::Value& array, Json::ArrayIndex size) {
    while (array.size() > size) {
        Json::Value removed;
        array.removeIndex(array.size() - 1, &removed);
    }
}

}  // namespace

SystemSetStages CHs6533Profiledata::ReadSystemSetStages() {
    systemSetStages_ = detail::readRecord<SystemSetStages>(
        files::asObject(files::member(workingEntry(), "SystemSetStages")), kSystemSetFields);
    return systemSetStages_;
}

std::vector<std::int32_t> CHs6533Profiledata::readBands(const char* section, Json::ArrayIndex row) {
    const Json::Value& bands =
        files::asArray(files::element(files::member(workingEntry(), section), row));
    std::vector<std::int32_t> values(kEqBandCount, 0);
    if (bands.isNull()) {
        writeBands(section, row, values);
    } else {
        for (Json::ArrayIndex b = 0; b < kEqBandCount; ++b) {
            values[b] = files::toInt32(files::member(files::element(bands, b), "value"));
        }
    }
    return values;
}

void CHs6533Profiledata::writeBands(const char* section, Json::ArrayIndex row,
                                    const std::vector<std::int32_t>& bands) {
    Json::Value& list = files::arrayElement(files::arrayMember(mutableEntry(), section), row);
    const auto count = static_cast<Json::ArrayIndex>(std::min(bands.size(), kEqBandCount));
    for (Json::ArrayIndex b = 0; b < count; ++b) {
        files::memberSlot(files::objectElement(list, b), "value") = bands[b];
    }
}

std::vector<std::int32_t> CHs6533Profiledata::ReadEQHzValueInfo(int preset) {
    const auto row = presetRow(preset);
    eqValues_ = row ? readBands("EQHzValueInfo", *row) : std::vector<std::int32_t>{};
    return eqValues_;
}

std::vector<std::string> CHs6533Profiledata::ReadCustomEQNameInfo() {
    customEqNames_.clear();
    for (const Json::Value& element :
         files::asArray(files::member(workingEntry(), "CustomEQNameInfo"))) {
        customEqNames_.push_back(files::toText(files::member(element, "Name")));
    }
    return customEqNames_;
}

std::vector<std::int32_t> CHs6533Profiledata::ReadCustomEQHzValueInfo(int index) {
    const auto row = customRow(index);
    eqValues_ =
        row ? readBands("CustomEQHzValueInfo", *row) : std::vector<std::int32_t>(kEqBandCount, 0);
    return eqValues_;
}

void CHs6533Profiledata::WriteSystemSetStages(const SystemSetStages& stages) {
    detail::writeFields<SystemSetStages>(files::objectMember(mutableEntry(), "SystemSetStages"),
                                         stages, kSystemSetFields);
    systemSetStages_ = stages;
}

void CHs6533Profiledata::WriteEQHzValueInfo(int preset, const std::vector<std::int32_t>& bands) {
    if (const auto row = presetRow(preset)) {
        writeBands("EQHzValueInfo", *row, bands);
        eqValues_ = bands;
    }
}

void CHs6533Profiledata::WriteCustomEQNameInfo(const std::vector<std::string>& names) {
    Json::Value& list = files::arrayMember(mutableEntry(), "CustomEQNameInfo");
    for (Json::ArrayIndex i = 0; i < names.size(); ++i) {
        files::memberSlot(files::objectElement(list, i), "Name") = names[i];
    }
    truncate(list, static_cast<Json::ArrayIndex>(names.size()));
    customEqNames_ = names;
}

void CHs6533Profiledata::WriteCustomEQHzValueInfo(int index,
                                                  const std::vector<std::int32_t>& bands) {
    if (const auto row = customRow(index)) {
        writeBands("CustomEQHzValueInfo", *row, bands);
        eqValues_ = bands;
    }
}

void CHs6533Profiledata::RemoveCustomEQSet(int index) {
    if (index < 0) {
        return;
    }
    const auto i = static_cast<Json::ArrayIndex>(index);
    for (const char* section : {"CustomEQNameInfo", "CustomEQHzValueInfo"}) {
        if (!files::member(workingEntry(), section).isArray()) {
            continue;
        }
        Json::Value& list = files::arrayMember(mutableEntry(), section);
        if (i < list.size()) {
            Json::Value removed;
            list.removeIndex(i, &removed);
        }
    }
    if (static_cast<std::size_t>(index) < customEqNames_.size()) {
        customEqNames_.erase(customEqNames_.begin() + index);
    }
}

}  // namespace korvane::profile
