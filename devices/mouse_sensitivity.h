// Sensitivity stages are stored and sent as indexes; the page shows them as values. The scale
// comes from the device information (bytes 9–10 sensor, 11 step, 12–13 step count, 14–15 lowest
// value). Sensor 0x3325 has two slopes: the step up to index 48, 200 per index above it.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace korvane::devices::mouse {

inline constexpr std::uint16_t kTwoSlopeSensor = 0x3325;
inline constexpr int kTwoSlopeKnee = 48;
inline constexpr int kTwoSlopeUpperStep = 200;

struct SensitivityScale {
    std::uint16_t sensor = 0;
    std::uint8_t step = 0;        // P
    std::uint16_t stepCount = 0;  // S: the sliders' maximum index
    std::uint16_t lowest = 0;     // L

    // Reads the scale from the 34-byte device information (zeros when it is shorter).
    static SensitivityScale fromDeviceInfo(std::span<const std::uint8_t> info);

    bool twoSlope() const { return sensor == kTwoSlopeSensor; }

    // The value index `index` shows: index × P + L, or for sensor 0x3325 above the knee
    // P × 48 + (index − 48) × 200 + L.
    int shownValue(int index) const;

    // The index of a typed value: the index that shows it, or the nearest index below that
    // shows less (the inverse of shownValue). Values below L read as L; the result stays within
    // 0…S (0 when the scale is unknown, i.e. P is 0).
    int indexForValue(int value) const;
    // The same for an edit's text (read as a decimal number; empty or not a number is 0).
    int indexForText(std::string_view text) const;

    // Largest value an edit can show: S × P (the edit's range as the page sets it).
    int editMaximum() const { return static_cast<int>(stepCount) * step; }

    friend bool operator==(const SensitivityScale&, const SensitivityScale&) = default;
};

}  // namespace korvane::devices::mouse
