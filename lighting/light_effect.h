// The fourteen-byte lighting record every device keeps, and its four-word form.
//
// The record travels between the lighting panel, the profile and the devices as four words:
//   word1 = SelectItem | Light << 8 | Speed << 16 | Fx << 24
//   word2 = MultiColor | Red << 8 | Green << 16 | Blue << 24
//   word3 = bytes 8–10 | ZZCCLedMode << 24
//   word4 = CustomGroup | OldLedmode << 8            (16 bits; higher bits are ignored)
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace korvane::lighting {

inline constexpr std::size_t kLightEffectSize = 14;

struct LightEffect {
    std::uint8_t SelectItem = 0;  // effect mode: index into the device's mode list
    std::uint8_t Light = 0;       // brightness level, index into BrightnessLevels
    std::uint8_t Speed = 0;       // 0 = slowest
    std::uint8_t Fx = 0;          // direction: 1 = first option, 0 = second
    std::uint8_t MultiColor = 0;  // 1 = cycle through ColourWheel, 0 = use Red/Green/Blue
    std::uint8_t Red = 0;
    std::uint8_t Green = 0;
    std::uint8_t Blue = 0;
    std::uint8_t Spare8 = 0;       // not kept in profiles
    std::uint8_t Spare9 = 0;       // not kept in profiles
    std::uint8_t ListPresent = 0;  // set for records read from a "LightList" entry
    std::uint8_t ZZCCLedMode = 0;  // keyboard sub-mode
    std::uint8_t CustomGroup = 0;  // keyboard custom lighting group
    std::uint8_t OldLedmode = 0;   // mode to return to after a game-event change

    friend bool operator==(const LightEffect&, const LightEffect&) = default;
};

struct LightWords {
    std::uint32_t word1 = 0;
    std::uint32_t word2 = 0;
    std::uint32_t word3 = 0;
    std::uint32_t word4 = 0;

    friend bool operator==(const LightWords&, const LightWords&) = default;
};

LightWords packLightEffect(const LightEffect& effect);
LightEffect unpackLightEffect(const LightWords& words);

// Byte-wise form in record order (byte 0 = SelectItem … byte 13 = OldLedmode).
std::array<std::uint8_t, kLightEffectSize> lightEffectBytes(const LightEffect& effect);
LightEffect lightEffectFromBytes(const std::array<std::uint8_t, kLightEffectSize>& bytes);

// Colour as the controls show it: 0xFFRRGGBB.
std::uint32_t argbColour(std::uint8_t red, std::uint8_t green, std::uint8_t blue);
std::uint32_t argbColour(const LightEffect& effect);

}  // namespace korvane::lighting
