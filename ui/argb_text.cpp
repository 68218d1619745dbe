#include "ui/argb_text.h"

#include <cstdio>

namespace korvane::ui {

std::optional<Argb> parseArgb(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    if (text.starts_with('#')) {
        text.remove_prefix(1);
    } else if (text.starts_with("0x") || text.starts_with("0X")) {
        text.remove_prefix(2);
    } else {
        return std::nullopt;
    }
    if (text.size() != 6 && text.size() != 8) {
        return std::nullopt;
    }
    Argb value = 0;
    for (char c : text) {
        int digit = 0;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else {
            return std::nullopt;
        }
        value = (value << 4) | static_cast<Argb>(digit);
    }
    if (text.size() == 6) {
        value |= 0xFF000000u;
    }
    return value;
}

std::string formatArgb(Argb colour) {
    char buffer[10];
    std::snprintf(buffer, sizeof buffer, "#%08X", static_cast<unsigned>(colour));
    return buffer;
}

}  // namespace korvane::ui
