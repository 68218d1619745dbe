// The headset's profile: audio settings, equaliser presets and the user's custom
// equaliser sets, on top of the sections every device has.
#pragma once

#include <string>
#include <vector>

#include "profile/basic_profile_data.h"

namespace korvane::profile {

// Custom equaliser sets beyond this index are refused (the panel keeps at most 20).
inline constexpr int kMaxCustomEqSets = 256;

class CHs6533Profiledata : public CBasicProfiledata {
  public:
    // "SystemSetStages"; without it all zero.
    SystemSetStages ReadSystemSetStages();
    // The ten band values of built-in preset `preset` ("EQHzValueInfo" row). Preset 13
    // (custom) gives an empty list; 0, negative and above 13 read row 1. When the section
    // or the row is missing, each band is written into the working entry as 0.
    std::vector<std::int32_t> ReadEQHzValueInfo(int preset);
    // "CustomEQNameInfo": the custom set names in order; without it an empty list.
    std::vector<std::string> ReadCustomEQNameInfo();
    // Row `index` of "CustomEQHzValueInfo", with the same missing-row rule as presets.
    // An index outside 0 … kMaxCustomEqSets - 1 gives ten zeros and writes nothing.
    std::vector<std::int32_t> ReadCustomEQHzValueInfo(int index);

    void WriteSystemSetStages(const SystemSetStages& stages);
    // Band i of `bands` (at most ten) into row `preset`, mapped as for reading; preset 13
    // writes nothing.
    void WriteEQHzValueInfo(int preset, const std::vector<std::int32_t>& bands);
    // The whole name list: element i gets "Name" = names[i]; elements beyond the list are
    // removed, so a deleted set's name does not come back.
    void WriteCustomEQNameInfo(const std::vector<std::string>& names);
    void WriteCustomEQHzValueInfo(int index, const std::vector<std::int32_t>& bands);
    // Removes set `index` from "CustomEQNameInfo" and "CustomEQHzValueInfo" together, so
    // names and band values stay paired.
    void RemoveCustomEQSet(int index);

    const SystemSetStages& systemSetStages() const { return systemSetStages_; }
    const std::vector<std::int32_t>& eqValues() const { return eqValues_; }
    const std::vector<std::string>& customEqNames() const { return customEqNames_; }

  private:
    std::vector<std::int32_t> readBands(const char* section, Json::ArrayIndex row);
    void writeBands(const char* section, Json::ArrayIndex row,
                    const std::vector<std::int32_t>& bands);

    SystemSetStages systemSetStages_;
    std::vector<std::int32_t> eqValues_;
    std::vector<std::string> customEqNames_;
};

}  // namespace korvane::profile
