// The mode lists of a device: "default_light.json" (one file for all devices, in the program's
// "DefaultData" folder) and the custom-effect index "brenta_light.config" (per device family,
// in its data folder). A device's light-list index selects its row in both.
#pragma once

#include <json/value.h>

#include <filesystem>

#include "lighting/lighting_target.h"

namespace korvane::lighting::panel {

inline constexpr const char* kDefaultLightFileName = "default_light.json";
inline constexpr const char* kCustomEffectIndexFileName = "brenta_light.config";

// From a "default_light.json" document: when "DefaultLightName"[index] is an array, the mode
// names ("LightName"), visibility ("visible") and codes ("value") are replaced by its
// elements'; when "AreaLightName"[index] is an array, the area names by its "LightName"s.
// A missing or non-array row leaves its lists as they are.
void applyDefaultLightDocument(const Json::Value& document, int index, LightLists& lists);

// From a custom-effect index document: when "LightInfo"[index] is an array, the custom-effect
// names are replaced by its elements' "LightName"s.
void applyCustomEffectIndex(const Json::Value& document, int index, LightLists& lists);

// Both files; a missing or damaged file leaves the lists it would replace unchanged.
void readLightListFiles(const std::filesystem::path& defaultLightFile,
                        const std::filesystem::path& customEffectIndexFile, int index,
                        LightLists& lists);

}  // namespace korvane::lighting::panel
