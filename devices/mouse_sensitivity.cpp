#include "devices/mouse_sensitivity.h"

#include <algorithm>

#include "keys/key_coding.h"

namespace korvane::devices::mouse {

namespace {

std::uint16_t le16(std::span<const std::uint8_t> bytes, std::size_t at) {
    if (bytes.size() < at + 2) {
        return 0;
    }
    return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

}  // namespace

SensitivityScale SensitivityScale::fromDeviceInfo(std::span<const std::uint8_t> info) {
    SensitivityScale scale;
    scale.sensor = le16(info, 9);
    scale.step = info.size() > 11 ? info[11] : 0;
    scale.stepCount = le16(info, 12);
    scale.lowest = le16(info, 14);
    return scale;
}

int SensitivityScale::shownValue(int index) const {
    const int p = step;
    const int l = lowest;
    if (twoSlope() && index > kTwoSlopeKnee) {
        return p * kTwoSlopeKnee + (index - kTwoSlopeKnee) * kTwoSlopeUpperStep + l;
    }
    return index * p + l;
}

int SensitivityScale::indexForValue(int value) const {
    if (step == 0) {
        return 0;
    }
    // 64-bit: a typed value may be anything up to INT_MAX.
    const long long v = std::max<long long>(value, lowest) - lowest;
    const long long p = step;
    long long index = v / p;
    if (twoSlope()) {
        const long long knee = p * kTwoSlopeKnee;
        index = v < knee + kTwoSlopeUpperStep ? std::min<long long>(index, kTwoSlopeKnee)
                                              : kTwoSlopeKnee + (v - knee) / kTwoSlopeUpperStep;
    }
    return static_cast<int>(std::clamp<long long>(index, 0, stepCount));
}

int SensitivityScale::indexForText(std::string_view text) const {
    return indexForValue(keys::readDecimal(text));
}

}  // namespace korvane::devices::mouse
