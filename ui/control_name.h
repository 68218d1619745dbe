#pragma once

#include <optional>
#include <string>
#include <string_view>

// Rules for control names: names are compared without regard to (ASCII) case, and
// an indexed family is a prefix ending in "_" followed by a decimal index
// ("DPI_slider_2", "color_option_12").
namespace korvane::ui {

bool namesEqual(std::string_view a, std::string_view b);

struct IndexedName {
    bool hasPrefix = false;  // false when the name holds no "_"
    std::string prefix;      // up to and including the last "_"
    int number = 0;          // the rest read as a decimal integer
};

// Splits at the last "_". The rest is read like strtol/wcstol in base 10: leading
// blanks and a sign are accepted, reading stops at the first non-digit, no digits
// give 0, and values beyond the 32-bit range saturate. "color_option_12" gives
// ("color_option_", 12); "color_option_" gives ("color_option_", 0); "closebtn"
// has no prefix.
IndexedName SplitIndexedName(std::string_view name);

// The index of `name` when its split prefix equals `prefix` (without regard to
// case), e.g. indexAfterPrefix("DPI_slider_3", "dpi_slider_") == 3.
std::optional<int> indexAfterPrefix(std::string_view name, std::string_view prefix);

}  // namespace korvane::ui
