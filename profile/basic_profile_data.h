// A device's profile: the working device entry ("Device"[0] of the profile file) in memory,
// its section readers (JSON → plain records) and writers (records → JSON), and the profile
// file it is loaded from and saved to. Used as is by the mouse pad; the other families add
// their sections in subclasses. See docs/profile-files.md.
//
// Not thread-safe: one thread (the window's) uses a profile object.
#pragma once

#include <json/value.h>

#include <filesystem>
#include <vector>

#include "lighting/light_effect.h"
#include "profile/profile_records.h"

namespace korvane::profile {

// Device indexes above this are refused (the program only uses 0).
inline constexpr int kMaxDeviceIndex = 15;

class CBasicProfiledata {
  public:
    CBasicProfiledata() = default;
    virtual ~CBasicProfiledata() = default;
    CBasicProfiledata(const CBasicProfiledata&) = default;
    CBasicProfiledata& operator=(const CBasicProfiledata&) = default;

    // ---- Paths ----
    // Both setters ignore an empty path.
    void setProfileFilePath(const std::filesystem::path& path);
    const std::filesystem::path& profileFilePath() const { return profilePath_; }
    void setDefaultDataFilePath(const std::filesystem::path& path);
    const std::filesystem::path& defaultDataFilePath() const { return defaultPath_; }
    // "brenta_light.config" in the device data folder; relative "Guid"s of custom effects
    // are resolved against its folder.
    void setCustomEffectIndexPath(const std::filesystem::path& path);
    const std::filesystem::path& customEffectIndexPath() const { return customIndexPath_; }
    // 0 … kMaxDeviceIndex; other values are refused (logged) and the index stays.
    void setDeviceIndex(int index);
    int deviceIndex() const { return deviceIndex_; }

    // ---- Loading ----
    // The entry "Device"[device index] of the file at `path`, which becomes the working
    // entry; a copy is returned. A missing, damaged or non-object entry is repaired from
    // the default data file, and the file at `path` is written with the repaired entry
    // (other members and other "Device" elements stay) — unless `path` is the default data
    // file itself, which is never written.
    Json::Value LoadEntry(const std::filesystem::path& path);
    // The same into the second entry (another profile's, for changes across profiles).
    Json::Value LoadSecondEntry(const std::filesystem::path& path);

    // ---- Saving (every save re-reads the file and replaces only "Device"[device index]) ----
    // Return false when the file could not be written (logged); the old file stays whole.
    virtual bool SaveProfile();
    virtual bool SaveEntryTo(const Json::Value& entry, const std::filesystem::path& path);
    virtual bool SaveSecondEntryTo(const std::filesystem::path& path);
    virtual bool WriteDocument(const Json::Value& document, const std::filesystem::path& path);

    // ---- Section readers: each returns the records and keeps them as the current ones ----
    // "LightInfo"; without it the current effect becomes the default (all zero).
    lighting::LightEffect ReadLightInfo();
    // "LightList": one record per element, ListPresent set; a null element gives zeros.
    std::vector<lighting::LightEffect> ReadLightList();
    // "AudioLightInfo": ColorTypeFlags is 1 after a successful read; without it all zero.
    AudioLightRecord ReadAudioLightInfo();
    std::vector<KeyListEntry> ReadKeyList();
    std::vector<KeyListEntry> ReadSecondKeyList();
    // Reads and keeps the custom effect index document at `path` (or at the stored path).
    Json::Value ReadCustomEffectIndex(const std::filesystem::path& path);
    Json::Value ReadCustomEffectIndex();
    // The steps of the custom effect chosen by the current effect's SelectItem. Empty when
    // the index is null, the chosen effect or its file is missing, or its "Guid" is not a
    // safe file name.
    std::vector<LedEffectStep> ReadCustomEffectSteps();

    // ---- Section writers: change the working entry (the caller then runs SaveProfile) ----
    // Replace the whole section with exactly its members.
    void WriteLightInfo(const lighting::LightWords& words);
    void WriteAudioLightInfo(const AudioLightWords& words);
    // Set "Assignment" of element i for every entry i of `list` ("DefaultAssignment" and
    // later elements stay).
    void WriteKeyList(const std::vector<KeyListEntry>& list);
    void WriteSecondKeyList(const std::vector<KeyListEntry>& list);

    // ---- Current records ----
    const lighting::LightEffect& lightEffect() const { return lightEffect_; }
    const lighting::LightEffect& defaultLightEffect() const { return defaultLightEffect_; }
    const AudioLightRecord& audioLight() const { return audioLight_; }
    const std::vector<lighting::LightEffect>& lightList() const { return lightList_; }
    const Json::Value& entry() const { return entry_; }
    const Json::Value& secondEntry() const { return secondEntry_; }
    const std::vector<KeyListEntry>& keyList() const { return keyList_; }
    const std::vector<KeyListEntry>& secondKeyList() const { return secondKeyList_; }
    const Json::Value& customEffectIndex() const { return customIndex_; }
    const std::vector<LedEffectStep>& customEffectSteps() const { return customSteps_; }
    // Built-in effect modes before the custom ones in the custom effect index; always 0.
    int builtInEffectCount() const { return builtInEffectCount_; }

  protected:
    // The working entry for subclasses' readers (null when there is none) and writers
    // (made an object on the first write).
    const Json::Value& workingEntry() const { return entry_; }
    Json::Value& mutableEntry();

  private:
    Json::Value loadInto(Json::Value& target, const std::filesystem::path& path);

    std::filesystem::path profilePath_;
    std::filesystem::path defaultPath_;
    int builtInEffectCount_ = 0;
    lighting::LightEffect lightEffect_;
    lighting::LightEffect defaultLightEffect_;
    AudioLightRecord audioLight_;
    std::vector<lighting::LightEffect> lightList_;
    Json::Value entry_;
    Json::Value secondEntry_;
    std::filesystem::path customIndexPath_;
    std::vector<LedEffectStep> customSteps_;
    Json::Value customIndex_;
    std::filesystem::path customIndexFolder_;
    std::vector<KeyListEntry> keyList_;
    std::vector<KeyListEntry> secondKeyList_;
    int deviceIndex_ = 0;
};

}  // namespace korvane::profile
