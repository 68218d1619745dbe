#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace korvane::sim {

// Lower-case hex digits, two per byte, no separators ("00ff1c").
inline std::string toHex(std::span<const uint8_t> bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(bytes.size() * 2);
    for (uint8_t b : bytes) {
        text.push_back(kDigits[b >> 4]);
        text.push_back(kDigits[b & 0x0F]);
    }
    return text;
}

}  // namespace korvane::sim
