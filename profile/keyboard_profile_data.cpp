#include "profile/keyboard_profile_data.h"

#include <algorithm>

#include "platform/files/json_fields.h"
#include "platform/log/logger.h"
#include "profile/record_fields.h"

namespace korvane::profile {
namespace {

using detail::byteField;
using detail::Field;
using detail::wordField;

constexpr Field<SystemStagesRecord> kSystemFields[] = {
    wordField("Repeat", &SystemStagesRecord::Repeat),
    wordField("RepeatDelay", &SystemStagesRecord::RepeatDelay),
    wordField("Key6Flag", &SystemStagesRecord::Key6Flag),
    wordField("PollingRate", &SystemStagesRecord::PollingRate),
    wordField("WFlag", &SystemStagesRecord::WFlag),
    wordField("WinFlag", &SystemStagesRecord::WinFlag),
};

constexpr Field<KeyColor> kColourFields[] = {
    byteField("Red", &KeyColor::Red),
    byteField("Green", &KeyColor::Green),
    byteField("Blue", &KeyColor::Blue),
    byteField("Alpha", &KeyColor::Alpha),
};

bool groupInRange(int group) {
    if (group < 0 || group >= kMaxCustomLightGroups) {
        log::debugf("profile: custom light group %d refused", group);
        return false;
    }
    return true;
}

}  // namespace

SystemWords CKeyboardProfiledata::ReadSystemStages() {
    SystemStagesRecord record;
    detail::readFields<SystemStagesRecord>(
        files::asObject(files::member(workingEntry(), "SystemStages")), record, kSystemFields);
    systemWords_ = packSystemStages(record);
    return systemWords_;
}

std::vector<KeyColor> CKeyboardProfiledata::ReadCustomLightMode(int group, int keyCount) {
    const int count = std::clamp(keyCount, 0, kMaxCustomLightKeys);
    customColours_.assign(static_cast<std::size_t>(count), KeyColor{});
    if (!groupInRange(group) || count != keyCount) {
        return customColours_;
    }
    const auto g = static_cast<Json::ArrayIndex>(group);
    const Json::Value& colours = files::asArray(files::element(
        files::member(files::member(workingEntry(), "CustomLightMode"), "LightColorInfo"), g));
    std::vector<Json::ArrayIndex> missing;
    for (Json::ArrayIndex i = 0; i < customColours_.size(); ++i) {
        const Json::Value& colour = files::asObject(files::element(colours, i));
        if (colour.isNull()) {
            missing.push_back(i);
        } else {
            customColours_[i] = detail::readRecord<KeyColor>(colour, kColourFields);
        }
    }
    if (!missing.empty()) {
        // Missing positions are filled so that the group has every key from now on.
        Json::Value& stored = files::arrayElement(
            files::arrayMember(files::objectMember(mutableEntry(), "CustomLightMode"),
                               "LightColorInfo"),
            g);
        for (Json::ArrayIndex i : missing) {
            detail::writeFields<KeyColor>(files::objectElement(stored, i), KeyColor{},
                                          kColourFields);
        }
    }
    return customColours_;
}

int CKeyboardProfiledata::ReadCustomLightModeGroupIndex() {
    customGroupIndex_ = files::toInt32(files::member(
        files::member(workingEntry(), "CustomLightMode"), "CustomLightModeGroupIndex"));
    return customGroupIndex_;
}

void CKeyboardProfiledata::WriteSystemStages(const SystemWords& words) {
    const SystemStagesRecord record = unpackSystemStages(words);
    detail::writeFields<SystemStagesRecord>(files::objectMember(mutableEntry(), "SystemStages"), record,
                                            kSystemFields);
    systemWords_ = words;
}

void CKeyboardProfiledata::WriteCustomLightMode(int group, const std::vector<KeyColor>& colours) {
    if (!groupInRange(group)) {
        return;
    }
    Json::Value& list = files::arrayElement(
        files::arrayMember(files::objectMember(mutableEntry(), "CustomLightMode"),
                           "LightColorInfo"),
        static_cast<Json::ArrayIndex>(group));
    for (Json::ArrayIndex i = 0; i < colours.size(); ++i) {
        detail::writeFields<KeyColor>(files::objectElement(list, i), colours[i], kColourFields);
    }
    customColours_ = colours;
}

void CKeyboardProfiledata::WriteCustomLightModeGroupIndex(int group) {
    files::memberSlot(files::objectMember(mutableEntry(), "CustomLightMode"),
                      "CustomLightModeGroupIndex") = group;
    customGroupIndex_ = group;
}

}  // namespace korvane::profile
