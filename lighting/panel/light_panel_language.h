// The language keys the lighting panel shows besides the mode and area names (those come from
// "default_light.json").
#pragma once

#include <array>
#include <string_view>
#include <vector>

namespace korvane::lighting::panel {

// Items of "light_combo_ZZCCmodeSelect" (keyboard sub-modes 0–3).
inline constexpr std::array<std::string_view, 4> kZZCCModeKeys = {
    "light_zzcc_mode_0", "light_zzcc_mode_1", "light_zzcc_mode_2", "light_zzcc_mode_3"};
// Items of "light_combo_custommodeSelect" (the keyboard's eight custom groups).
inline constexpr std::array<std::string_view, 8> kCustomGroupKeys = {
    "light_custom_group_0", "light_custom_group_1", "light_custom_group_2", "light_custom_group_3",
    "light_custom_group_4", "light_custom_group_5", "light_custom_group_6", "light_custom_group_7"};

// Texts of "control_light_status" (the program's own texts, shown as they are).
inline constexpr std::string_view kLightOwnerOnText = "控制灯光";
inline constexpr std::string_view kLightOwnerOffText = "不控制灯光";

// Every key above and every direction text of the layout tables.
std::vector<std::string_view> lightPanelLanguageKeys();

}  // namespace korvane::lighting::panel
