// The keyboard's profile: keyboard switches and the custom per-key lighting groups, on top
// of the sections every device has.
#pragma once

#include <vector>

#include "profile/basic_profile_data.h"

namespace korvane::profile {

// Custom groups and key positions above these bounds are refused: they would make the
// profile grow without limit (a group index comes from the file).
inline constexpr int kMaxCustomLightGroups = 256;
inline constexpr int kMaxCustomLightKeys = 1024;

class CKeyboardProfiledata : public CBasicProfiledata {
  public:
    // "SystemStages" (keyboard form); without it all zero.
    SystemWords ReadSystemStages();
    // Group `group` of "CustomLightMode"/"LightColorInfo" with `keyCount` key positions.
    // Positions whose colour object is missing (all of them when the group is missing) are
    // written into the working entry as zeros and read as zeros. A group or key count
    // outside 0 … kMaxCustomLightGroups - 1 / 0 … kMaxCustomLightKeys gives `keyCount`
    // (at most kMaxCustomLightKeys) zero colours and writes nothing.
    std::vector<KeyColor> ReadCustomLightMode(int group, int keyCount);
    // "CustomLightMode"/"CustomLightModeGroupIndex"; without the section 0.
    int ReadCustomLightModeGroupIndex();

    void WriteSystemStages(const SystemWords& words);
    // Colour i of `colours` into key position i of the group; later positions stay.
    // A group outside the bounds above is refused.
    void WriteCustomLightMode(int group, const std::vector<KeyColor>& colours);
    void WriteCustomLightModeGroupIndex(int group);

    const SystemWords& systemWords() const { return systemWords_; }
    const std::vector<KeyColor>& customColours() const { return customColours_; }
    int customGroupIndex() const { return customGroupIndex_; }

  private:
    SystemWords systemWords_;
    std::vector<KeyColor> customColours_;
    int customGroupIndex_ = 0;
};

}  // namespace korvane::profile
