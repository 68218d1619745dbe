#include "lighting/light_tables.h"

#include <algorithm>

namespace korvane::lighting {
namespace {

constexpr std::array<std::uint8_t, 64> kPulseRise = {
    0,   1,   2,   3,   4,   5,   6,   7,   8,   9,   10,  12,  14,  16,  18,  20,
    22,  24,  27,  30,  33,  36,  39,  42,  45,  49,  53,  57,  61,  65,  69,  73,
    77,  81,  85,  89,  94,  99,  104, 109, 114, 119, 124, 129, 134, 140, 146, 152,
    158, 164, 170, 176, 182, 188, 194, 200, 206, 213, 220, 227, 234, 241, 248, 255};

// The two ramps of the colour wheel; the falling one is not the mirror of the rising one.
constexpr std::array<std::uint8_t, 32> kWheelUp = {
    1,  3,  5,  7,   10,  14,  18,  22,  26,  32,  38,  44,  50,  57,  65,  73,
    81, 89, 99, 109, 119, 129, 140, 152, 164, 176, 188, 200, 213, 227, 241, 255};
constexpr std::array<std::uint8_t, 32> kWheelDown = {
    248, 234, 220, 206, 194, 182, 170, 158, 146, 134, 124, 114, 104, 94, 85, 77,
    69,  61,  53,  47,  41,  35,  29,  24,  20,  16,  12,  8,   6,   4,  2,  0};

// Rising half of the 96-entry curve: kPulseRise resampled to 48 points (linear interpolation)
// and scaled from 0–255 to 22–255, rounded.
constexpr std::array<std::uint8_t, 48> kBreathRise = {
    22,  23,  24,  26,  27,  28,  29,  31,  32,  35,  37,  40,  42,  45,  49,  52,
    56,  60,  64,  68,  73,  78,  83,  88,  93,  98,  103, 109, 115, 121, 127, 133,
    139, 146, 153, 160, 168, 175, 182, 190, 197, 205, 212, 221, 229, 238, 246, 255};

template <std::size_t N>
constexpr std::array<std::uint8_t, 2 * N> mirrored(const std::array<std::uint8_t, N>& rise) {
    std::array<std::uint8_t, 2 * N> curve{};
    for (std::size_t i = 0; i < N; ++i) {
        curve[i] = rise[i];
        curve[2 * N - 1 - i] = rise[i];
    }
    return curve;
}

constexpr std::array<Rgb, kColourWheelSize> makeColourWheel() {
    std::array<Rgb, kColourWheelSize> wheel{};
    for (std::size_t i = 0; i < 32; ++i) {
        const std::uint8_t u = kWheelUp[i];
        const std::uint8_t d = kWheelDown[i];
        wheel[i] = {255, u, 0};
        wheel[32 + i] = {d, 255, 0};
        wheel[64 + i] = {0, 255, u};
        wheel[96 + i] = {0, d, 255};
        wheel[128 + i] = {u, 0, 255};
        wheel[160 + i] = {255, 0, d};
    }
    return wheel;
}

constexpr std::array<std::array<std::uint8_t, kStepTicksColumns>, kStepTicksRows> makeStepTicks() {
    std::array<std::array<std::uint8_t, kStepTicksColumns>, kStepTicksRows> rows{};
    for (auto& row : rows) {
        row = {28, 23, 18, 13, 7};  // the remaining ten stay 0
    }
    return rows;
}

}  // namespace

constinit const std::array<std::uint8_t, kBrightnessLevelCount> BrightnessLevels = {0,   55,  110,
                                                                                    150, 205, 255};

constinit const std::array<std::uint8_t, kPulseCurveSize> PulseCurve = mirrored(kPulseRise);

constinit const std::array<Rgb, kColourWheelSize> ColourWheel = makeColourWheel();

constinit const std::array<std::array<std::uint8_t, kStepTicksColumns>, kStepTicksRows> StepTicks =
    makeStepTicks();

constinit const std::array<std::uint8_t, kBreathingCurve96Size> BreathingCurve96 =
    mirrored(kBreathRise);

constinit const std::array<Rgb, kBasicColourCount> BasicColours = {
    Rgb{0, 255, 180}, Rgb{0, 255, 0}, Rgb{255, 255, 255}, Rgb{255, 0, 0}};

constinit const std::array<std::uint8_t, kSpeedCount> SpeedStepTicks = {28, 23, 18, 13, 7};

std::uint8_t brightnessForLevel(std::uint8_t level) {
    return BrightnessLevels[std::min<std::size_t>(level, kMaxLevel)];
}

std::uint8_t stepTicksForSpeed(std::uint8_t speed) {
    return SpeedStepTicks[std::min<std::size_t>(speed, kMaxSpeed)];
}

const Rgb& wheelColour(std::size_t index) {
    return ColourWheel[index % kColourWheelSize];
}

}  // namespace korvane::lighting
