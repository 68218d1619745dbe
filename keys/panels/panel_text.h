// Small text helpers the key panels share.
#pragma once

#include <string>
#include <string_view>

namespace korvane::keys::panels {

// "prefix" followed by the decimal number ("key_ComBox_check_" 3 → "key_ComBox_check_3").
std::string indexedName(std::string_view prefix, int number);

// A language text with a count put in: the first "%d" is replaced by the number (the text is
// never used as a printf format). Without "%d" the number is appended after a space.
std::string formatCount(std::string_view text, long long count);

}  // namespace korvane::keys::panels
