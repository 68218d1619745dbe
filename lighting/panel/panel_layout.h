// Which parts of the lighting panel a mode uses, per device kind: the layout tables as data.
//
// Applying a row (CLightControlUI::ApplyLayout): every kind first hides "deng_same_mode" and
// enables "deng_fx_layout"; the keyboard also hides its three optional rows, shows
// "deng_speed_layout", enables "light_color_layout", gives the direction options their
// default texts and shows colour page 0. Then the row sets the enabled state of each
// container (Keep leaves the state set before), and its extras.
#pragma once

#include <cstdint>
#include <string_view>

#include "lighting/lighting_target.h"

namespace korvane::lighting::panel {

enum class Enable : std::int8_t { Keep = -1, Off = 0, On = 1 };

struct ModeLayout {
    Enable multiColour = Enable::Keep;  // "deng_7color_check"
    Enable colour = Enable::Keep;       // "deng_color_layout"
    Enable palette = Enable::Keep;      // "colorpallet_layout"
    Enable light = Enable::Keep;        // "deng_light_layout"
    Enable speed = Enable::Keep;        // "deng_speed_layout"
    Enable fx = Enable::Keep;           // "deng_fx_layout"
    Enable lightColour = Enable::Keep;  // "light_color_layout"
    // "deng_same_mode" is shown (when synchronisation is available).
    bool sameMode = false;
    // Language keys of the two direction options; empty keeps the kind's defaults.
    std::string_view fxLeftKey;
    std::string_view fxRightKey;
    bool hideSpeed = false;   // "deng_speed_layout" hidden
    bool showZZCC = false;    // "light_combo_ZZCCmodeSelectLayout" shown
    bool showCustom = false;  // "lightcustom_layout" shown
    bool showAudio = false;   // "light_combo_AudiomodeSelectLayout" shown
    int colourPage = 0;       // page of "light_color_tablayout"
};

// The row for (kind, mode); nullptr for a kind without a panel layout (the panel then
// changes nothing). Modes no row names take the kind's last row (everything off).
const ModeLayout* layoutFor(LightKind kind, int mode);

// Whether the kind's layout starts with the keyboard's extra defaults (optional rows hidden,
// speed shown, colour layout enabled, direction texts, colour page 0).
bool hasKeyboardDefaults(LightKind kind);

// Default direction texts of the keyboard's layout.
inline constexpr std::string_view kFxLeftDefaultKey = "light_set_right_to_left_text";
inline constexpr std::string_view kFxRightDefaultKey = "light_set_left_to_right_text";

// Slider maxima of a kind (Light, Speed); 0 for Unknown.
int lightMaximum(LightKind kind);
int speedMaximum(LightKind kind);

}  // namespace korvane::lighting::panel
