// Names of macros in a device's list: new and imported macros get a name no other macro has,
// and names are compared without regard to (ASCII) case; other letters compare exactly.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace korvane::keys {

bool nameTaken(std::span<const std::string> names, std::string_view name);
// Empty or white space only.
bool isBlankName(std::string_view name);
// "macro_1", or the first of "macro_2", "macro_3", … that is free.
std::string nextMacroName(std::span<const std::string> names);
// `base`, or the first of base_2, base_3, … that is free.
std::string importMacroName(std::string_view base, std::span<const std::string> names);

}  // namespace korvane::keys
