#pragma once

#include <cstdint>

// What a button or key does: three bytes (type, first parameter, second
// parameter), kept in files as one integer (type << 16) | (first << 8) | second.
namespace korvane::keys {

struct KeyAssignment {
    uint8_t type = 0;
    uint8_t first = 0;
    uint8_t second = 0;

    constexpr uint32_t packed() const {
        return (static_cast<uint32_t>(type) << 16) | (static_cast<uint32_t>(first) << 8) | second;
    }
    // Bits above the low 24 are ignored.
    static constexpr KeyAssignment fromPacked(uint32_t value) {
        return KeyAssignment{static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 8),
                             static_cast<uint8_t>(value)};
    }
    friend constexpr bool operator==(const KeyAssignment&, const KeyAssignment&) = default;
};

// Assignment types.
namespace type {
inline constexpr uint8_t kDefault = 0x00;
inline constexpr uint8_t kMouseButton = 0x10;
inline constexpr uint8_t kMouseSwing = 0x11;
inline constexpr uint8_t kWheel = 0x12;
inline constexpr uint8_t kSensitivity = 0x13;
inline constexpr uint8_t kFire = 0x14;
inline constexpr uint8_t kKeyboard = 0x20;
inline constexpr uint8_t kMedia = 0x30;
inline constexpr uint8_t kSystem = 0x40;
inline constexpr uint8_t kMacro = 0x70;
inline constexpr uint8_t kMacroRepeat = 0x71;
inline constexpr uint8_t kGun = 0x72;
inline constexpr uint8_t kSpecial = 0xA0;
inline constexpr uint8_t kCombinationPage = 0xB0;
inline constexpr uint8_t kKeyboardMacro = 0xD0;
}  // namespace type

constexpr bool isMacroAssignment(const KeyAssignment& a) {
    return a.type == type::kMacro || a.type == type::kMacroRepeat;
}

}  // namespace korvane::keys
