// Fixed lighting tables shared by the software effects of every device.
//
// BrightnessLevels, PulseCurve, ColourWheel and StepTicks are the firmware-compatible tables;
// BreathingCurve96 is the shorter breathing curve of the wave effects; BasicColours are the four
// colours the "basic" pulse and blink effects cycle through; SpeedStepTicks is the step period
// (in preview ticks) for speed 0–4.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace korvane::lighting {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr std::size_t kBrightnessLevelCount = 6;
inline constexpr std::size_t kPulseCurveSize = 128;
inline constexpr std::size_t kColourWheelSize = 192;
inline constexpr std::size_t kBreathingCurve96Size = 96;
inline constexpr std::size_t kBasicColourCount = 4;
inline constexpr std::size_t kSpeedCount = 5;
inline constexpr std::size_t kStepTicksRows = 5;
inline constexpr std::size_t kStepTicksColumns = 15;

inline constexpr std::uint8_t kMaxLevel = kBrightnessLevelCount - 1;
inline constexpr std::uint8_t kMaxSpeed = kSpeedCount - 1;

// Indexed by the Light value 0–5.
extern const std::array<std::uint8_t, kBrightnessLevelCount> BrightnessLevels;

// 128-entry breathing curve: 0 rising to 255 over entries 0–63, mirrored over 64–127.
extern const std::array<std::uint8_t, kPulseCurveSize> PulseCurve;

// 192 hues in six segments of 32: red, yellow, green, cyan, blue, magenta, back to red.
extern const std::array<Rgb, kColourWheelSize> ColourWheel;

// Row = sync class, column = Speed; 28, 23, 18, 13, 7 followed by ten zeros in every row.
extern const std::array<std::array<std::uint8_t, kStepTicksColumns>, kStepTicksRows> StepTicks;

// 96-entry breathing curve of the wave effects: 22 rising to 255 over entries 0–47, mirrored
// over 48–95 (the PulseCurve's shape lifted to start at 22; see docs/lighting.md).
extern const std::array<std::uint8_t, kBreathingCurve96Size> BreathingCurve96;

// (0,255,180), (0,255,0), (255,255,255), (255,0,0).
extern const std::array<Rgb, kBasicColourCount> BasicColours;

// Step period in preview ticks for speed 0–4: 28, 23, 18, 13, 7.
extern const std::array<std::uint8_t, kSpeedCount> SpeedStepTicks;

// Bounds-safe lookups: a level above 5 reads as 5, a speed above 4 as 4, an index past the end
// of the wheel or a curve wraps around.
std::uint8_t brightnessForLevel(std::uint8_t level);
std::uint8_t stepTicksForSpeed(std::uint8_t speed);
const Rgb& wheelColour(std::size_t index);

}  // namespace korvane::lighting
