// UTF-8 checks for text that comes from files. Text inside the program is UTF-8 std::string.
#pragma once

#include <string>
#include <string_view>

namespace korvane::files {

// True when `text` is well-formed UTF-8: no overlong forms, no surrogates (U+D800–U+DFFF),
// nothing above U+10FFFF, no cut-off sequence.
bool isValidUtf8(std::string_view text);

// `text` with every byte that does not start a well-formed sequence replaced by U+FFFD.
// Well-formed text comes back unchanged.
std::string toValidUtf8(std::string_view text);

}  // namespace korvane::files
