// The control names of the lighting panel (they bind the skin file "LightControl") and the
// declaration of them for the skin check (ui/required_controls.h).
#pragma once

#include <array>
#include <string_view>

#include "ui/required_controls.h"

namespace korvane::lighting::panel {

inline constexpr std::string_view kLightControlSkin = "XML\\CustomControlXML\\LightControl.xml";
// The panel's place on a device page.
inline constexpr std::string_view kLightControlItem = "LightControlItem";

namespace name {
inline constexpr std::string_view kModeCombo = "light_combo_modeSelect";
inline constexpr std::string_view kCustomCombo = "light_combo_custommodeSelect";
inline constexpr std::string_view kZZCCCombo = "light_combo_ZZCCmodeSelect";
inline constexpr std::string_view kLightSlider = "deng_light_slider";
inline constexpr std::string_view kSpeedSlider = "deng_speed_slider";
inline constexpr std::string_view kEditRed = "deng_edit_R";
inline constexpr std::string_view kEditGreen = "deng_edit_G";
inline constexpr std::string_view kEditBlue = "deng_edit_B";
inline constexpr std::string_view kPalette = "deng_Color_Pallet";
inline constexpr std::string_view kPreview = "deng_colordp_btn";
inline constexpr std::string_view kMultiColour = "deng_7color_check";
inline constexpr std::string_view kFxLeft = "deng_FXL_check";
inline constexpr std::string_view kFxRight = "deng_FXR_check";
inline constexpr std::string_view kSameMode = "deng_same_mode";
inline constexpr std::string_view kColourOptionPrefix = "color_option_";
inline constexpr std::string_view kCustomBright = "custom_bright_color_btn";
inline constexpr std::string_view kCustomOff = "custom_off_color_btn";

inline constexpr std::string_view kEffectLayout = "lighteffect_layout";
inline constexpr std::string_view kColourLayout = "deng_color_layout";
inline constexpr std::string_view kPaletteLayout = "colorpallet_layout";
inline constexpr std::string_view kLightLayout = "deng_light_layout";
inline constexpr std::string_view kSpeedLayout = "deng_speed_layout";
inline constexpr std::string_view kFxLayout = "deng_fx_layout";
inline constexpr std::string_view kLightColourLayout = "light_color_layout";
inline constexpr std::string_view kCustomLayout = "lightcustom_layout";
inline constexpr std::string_view kZZCCLayout = "light_combo_ZZCCmodeSelectLayout";
inline constexpr std::string_view kAudioLayout = "light_combo_AudiomodeSelectLayout";
inline constexpr std::string_view kColourTabs = "light_color_tablayout";

// On the main window.
inline constexpr std::string_view kLightStatus = "control_light_status";
}  // namespace name

// The preset colours the skin offers: "color_option_0" … "color_option_<count − 1>".
inline constexpr int kColourOptionCount = 8;

// The palette's selected colour is its attribute "selectcolor" ("#AARRGGBB").
inline constexpr std::string_view kPaletteColourAttribute = "selectcolor";

void declareLightPanelControls(ui::RequiredControls& required);

}  // namespace korvane::lighting::panel
