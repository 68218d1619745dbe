// The language keys the key, macro and recoil panels show, besides the code tables' own.
#pragma once

#include <array>
#include <string_view>
#include <vector>

namespace korvane::keys::panels {

// "keyset_function_combo": the texts of functions 1–11.
inline constexpr std::array<std::string_view, 11> kFunctionTextKeys = {
    "key_function_mouse", "key_function_swing",       "key_function_wheel",
    "key_function_dpi",   "key_function_fire",        "key_function_keyboard",
    "key_function_media", "key_function_system",      "key_function_macro",
    "key_function_gun",   "key_function_combination",
};
// "keyset_macro_over_combo": run modes 0–3 and repeat.
inline constexpr std::array<std::string_view, 5> kRunModeTextKeys = {
    "macro_run_mode_0", "macro_run_mode_1",      "macro_run_mode_2",
    "macro_run_mode_3", "macro_run_mode_repeat",
};

// Every language key the panels can show: the code tables (keys/key_tables.h), the macro
// event names, the lists above, the press states, the messages.
std::vector<std::string_view> keyPanelLanguageKeys();

}  // namespace korvane::keys::panels
