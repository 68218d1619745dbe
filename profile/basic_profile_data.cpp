#include "profile/basic_profile_data.h"

#include <system_error>

#include "platform/files/json_document.h"
#include "platform/files/json_fields.h"
#include "platform/files/safe_file_name.h"
#include "platform/log/logger.h"
#include "profile/device_entry.h"
#include "profile/record_fields.h"

namespace korvane::profile {
namespace {

namespace fs = std::filesystem;
using detail::byteField;
using detail::Field;
using detail::int32Field;
using detail::truthField;
using lighting::LightEffect;

constexpr Field<LightEffect> kLightInfoFields[] = {
    byteField("SelectItem", &LightEffect::SelectItem),
    byteField("Light", &LightEffect::Light),
    byteField("Speed", &LightEffect::Speed),
    byteField("Fx", &LightEffect::Fx),
    truthField("MultiColor", &LightEffect::MultiColor),
    byteField("Red", &LightEffect::Red),
    byteField("Green", &LightEffect::Green),
    byteField("Blue", &LightEffect::Blue),
    byteField("ZZCCLedMode", &LightEffect::ZZCCLedMode),
    byteField("CustomGroup", &LightEffect::CustomGroup),
    byteField("OldLedmode", &LightEffect::OldLedmode),
};

constexpr Field<LightEffect> kLightListFields[] = {
    byteField("LEDREGMode", &LightEffect::SelectItem),
    byteField("LEDBrightness", &LightEffect::Light),
    byteField("LEDSpeed", &LightEffect::Speed),
    truthField("LEDDirection", &LightEffect::Fx),
    truthField("LEDMultiColor", &LightEffect::MultiColor),
    byteField("red", &LightEffect::Red),
    byteField("green", &LightEffect::Green),
    byteField("blue", &LightEffect::Blue),
};

constexpr Field<AudioLightRecord> kAudioLightFields[] = {
    byteField("AudioMode", &AudioLightRecord::AudioMode),
    byteField("BkColorR", &AudioLightRecord::BkColorR),
    byteField("BkColorG", &AudioLightRecord::BkColorG),
    byteField("BkColorB", &AudioLightRecord::BkColorB),
    byteField("FgColorR", &AudioLightRecord::FgColorR),
    byteField("FgColorG", &AudioLightRecord::FgColorG),
    byteField("FgColorB", &AudioLightRecord::FgColorB),
    truthField("7ColorFlags", &AudioLightRecord::SevenColorFlags),
    truthField("ColorTypeFlags", &AudioLightRecord::ColorTypeFlags),
};

constexpr Field<LedEffectStep> kLedEffectStepFields[] = {
    byteField("LEDREGMode", &LedEffectStep::LEDREGMode),
    byteField("LEDBrightness", &LedEffectStep::LEDBrightness),
    byteField("LEDSpeed", &LedEffectStep::LEDSpeed),
    byteField("LEDDirection", &LedEffectStep::LEDDirection),
    byteField("LEDMultiColor", &LedEffectStep::LEDMultiColor),
    byteField("red", &LedEffectStep::red),
    byteField("green", &LedEffectStep::green),
    byteField("blue", &LedEffectStep::blue),
    int32Field("Time", &LedEffectStep::Time),
    int32Field("Cyle", &LedEffectStep::Cyle),
};

bool samePath(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    if (fs::equivalent(a, b, ec)) {
        return true;
    }
    return !a.empty() && a.lexically_normal() == b.lexically_normal();
}

keys::KeyAssignment assignmentOf(const Json::Value& element, const char* key) {
    return keys::KeyAssignment::fromPacked(
        static_cast<std::uint32_t>(files::toInteger(files::member(element, key))));
}

std::vector<KeyListEntry> parseKeyList(const Json::Value& entry) {
    const Json::Value& list = files::asArray(files::member(entry, "KeyList"));
    std::vector<KeyListEntry> keys;
    keys.reserve(list.size());
    for (Json::ArrayIndex i = 0; i < list.size(); ++i) {
        KeyListEntry key;
        key.index = key.defaultIndex = static_cast<std::uint16_t>(i);
        key.assignment = assignmentOf(list[i], "Assignment");
        key.defaultAssignment = assignmentOf(list[i], "DefaultAssignment");
        keys.push_back(key);
    }
    return keys;
}

void writeAssignments(Json::Value& entry, const std::vector<KeyListEntry>& keys) {
    Json::Value& list = files::arrayMember(entry, "KeyList");
    for (Json::ArrayIndex i = 0; i < keys.size(); ++i) {
        files::memberSlot(files::objectElement(list, i), "Assignment") =
            static_cast<Json::Int>(keys[i].assignment.packed());
    }
}

}  // namespace

void CBasicProfiledata::setProfileFilePath(const fs::path& path) {
    if (!path.empty()) {
        profilePath_ = path;
    }
}

void CBasicProfiledata::setDefaultDataFilePath(const fs::path& path) {
    if (!path.empty()) {
        defaultPath_ = path;
    }
}

void CBasicProfiledata::setCustomEffectIndexPath(const fs::path& path) {
    customIndexPath_ = path;
}

void CBasicProfiledata::setDeviceIndex(int index) {
    if (index < 0 || index > kMaxDeviceIndex) {
        log::debugf("profile: device index %d refused", index);
        return;
    }
    deviceIndex_ = index;
}

Json::Value& CBasicProfiledata::mutableEntry() {
    if (!entry_.isObject()) {
        entry_ = Json::Value(Json::objectValue);
    }
    return entry_;
}

Json::Value CBasicProfiledata::loadInto(Json::Value& target, const fs::path& path) {
    Json::Value document = files::ReadJsonDocument(path);
    Json::Value entry = files::asObject(deviceEntry(document, deviceIndex_));
    if (entry.isNull()) {
        const Json::Value defaults = files::ReadJsonDocument(defaultPath_);
        entry = files::asObject(deviceEntry(defaults, deviceIndex_));
        if (samePath(path, defaultPath_)) {
            log::debugf("profile: default data file %s has no device entry", path.c_str());
        } else {
            putDeviceEntry(document, deviceIndex_, entry);
            files::WriteJsonDocument(path, document);
        }
    }
    target = entry;
    return entry;
}

Json::Value CBasicProfiledata::LoadEntry(const fs::path& path) {
    return loadInto(entry_, path);
}

Json::Value CBasicProfiledata::LoadSecondEntry(const fs::path& path) {
    return loadInto(secondEntry_, path);
}

bool CBasicProfiledata::SaveProfile() {
    return SaveEntryTo(entry_, profilePath_);
}

bool CBasicProfiledata::SaveEntryTo(const Json::Value& entry, const fs::path& path) {
    if (samePath(path, defaultPath_)) {
        log::debugf("profile: not saving into the default data file %s", path.c_str());
        return false;
    }
    Json::Value document = files::ReadJsonDocument(path);
    putDeviceEntry(document, deviceIndex_, entry);
    return WriteDocument(document, path);
}

bool CBasicProfiledata::SaveSecondEntryTo(const fs::path& path) {
    return SaveEntryTo(secondEntry_, path);
}

bool CBasicProfiledata::WriteDocument(const Json::Value& document, const fs::path& path) {
    return files::WriteJsonDocument(path, document);
}

lighting::LightEffect CBasicProfiledata::ReadLightInfo() {
    const Json::Value& section = files::asObject(files::member(entry_, "LightInfo"));
    lightEffect_ = section.isNull() ? defaultLightEffect_
                                    : detail::readRecord<LightEffect>(section, kLightInfoFields);
    return lightEffect_;
}

std::vector<lighting::LightEffect> CBasicProfiledata::ReadLightList() {
    const Json::Value& list = files::asArray(files::member(entry_, "LightList"));
    lightList_.clear();
    lightList_.reserve(list.size());
    for (const Json::Value& element : list) {
        LightEffect effect;
        if (element.isObject()) {
            effect = detail::readRecord<LightEffect>(element, kLightListFields);
            effect.ListPresent = 1;
        }
        lightList_.push_back(effect);
    }
    return lightList_;
}

AudioLightRecord CBasicProfiledata::ReadAudioLightInfo() {
    const Json::Value& section = files::asObject(files::member(entry_, "AudioLightInfo"));
    audioLight_ = AudioLightRecord{};
    if (!section.isNull()) {
        audioLight_ = detail::readRecord<AudioLightRecord>(section, kAudioLightFields);
        // The panel edits the foreground after every load.
        audioLight_.ColorTypeFlags = 1;
    }
    return audioLight_;
}

std::vector<KeyListEntry> CBasicProfiledata::ReadKeyList() {
    keyList_ = parseKeyList(entry_);
    return keyList_;
}

std::vector<KeyListEntry> CBasicProfiledata::ReadSecondKeyList() {
    secondKeyList_ = parseKeyList(secondEntry_);
    return secondKeyList_;
}

Json::Value CBasicProfiledata::ReadCustomEffectIndex(const fs::path& path) {
    customIndex_ = files::ReadJsonDocument(path);
    customIndexFolder_ = path.parent_path();
    return customIndex_;
}

Json::Value CBasicProfiledata::ReadCustomEffectIndex() {
    return ReadCustomEffectIndex(customIndexPath_);
}

std::vector<LedEffectStep> CBasicProfiledata::ReadCustomEffectSteps() {
    customSteps_.clear();
    if (customIndex_.isNull()) {
        return customSteps_;
    }
    const int chosen = lightEffect_.SelectItem - builtInEffectCount_;
    if (chosen < 0) {
        return customSteps_;
    }
    const Json::Value& effects = files::element(files::member(customIndex_, "LightInfo"),
                                                static_cast<Json::ArrayIndex>(deviceIndex_));
    const Json::Value& guid =
        files::member(files::element(effects, static_cast<Json::ArrayIndex>(chosen)), "Guid");
    if (!guid.isString()) {
        return customSteps_;
    }
    const auto file = files::safeFilePath(customIndexFolder_, guid.asString(), ".light");
    if (!file) {
        return customSteps_;
    }
    const Json::Value document = files::ReadJsonDocument(*file);
    for (const Json::Value& step : files::asArray(files::member(document, "LEDEffectList"))) {
        customSteps_.push_back(detail::readRecord<LedEffectStep>(step, kLedEffectStepFields));
    }
    return customSteps_;
}

void CBasicProfiledata::WriteLightInfo(const lighting::LightWords& words) {
    lightEffect_ = lighting::unpackLightEffect(words);
    Json::Value section(Json::objectValue);
    detail::writeFields<LightEffect>(section, lightEffect_, kLightInfoFields);
    files::memberSlot(mutableEntry(), "LightInfo") = std::move(section);
}

void CBasicProfiledata::WriteAudioLightInfo(const AudioLightWords& words) {
    audioLight_ = unpackAudioLight(words);
    Json::Value section(Json::objectValue);
    detail::writeFields<AudioLightRecord>(section, audioLight_, kAudioLightFields);
    files::memberSlot(mutableEntry(), "AudioLightInfo") = std::move(section);
}

void CBasicProfiledata::WriteKeyList(const std::vector<KeyListEntry>& list) {
    writeAssignments(mutableEntry(), list);
    keyList_ = list;
}

void CBasicProfiledata::WriteSecondKeyList(const std::vector<KeyListEntry>& list) {
    if (!secondEntry_.isObject()) {
        secondEntry_ = Json::Value(Json::objectValue);
    }
    writeAssignments(secondEntry_, list);
    secondKeyList_ = list;
}

}  // namespace korvane::profile
