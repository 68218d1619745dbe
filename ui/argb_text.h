#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "ui/control.h"

// Colours as the skin writes them: "#AARRGGBB", "#RRGGBB" (opaque) or
// "0xAARRGGBB", hexadecimal without regard to case.
namespace korvane::ui {

std::optional<Argb> parseArgb(std::string_view text);
std::string formatArgb(Argb colour);  // "#AARRGGBB", upper case

}  // namespace korvane::ui
