#include "lighting/reactive.h"

#include <algorithm>

namespace korvane::lighting {
namespace {

std::uint8_t minus(std::uint8_t value, unsigned step) {
    return static_cast<std::uint8_t>(value - step);
}

}  // namespace

std::uint8_t fadeStep(std::uint8_t v, int mode) {
    if (mode == kFadeModeAudio) {
        if ((v & 0x90) != 0) {
            return minus(v, 45);
        }
        if ((v & 0x60) != 0) {
            return minus(v, 35);
        }
        return v != 0 ? minus(v, 1) : 0;
    }
    if ((v & 0x80) != 0) {
        return minus(v, 40);
    }
    if ((v & 0x40) != 0) {
        return minus(v, 30);
    }
    if ((v & 0x20) != 0) {
        return minus(v, mode == 0 ? 15 : 10);
    }
    if (v > 16) {
        return minus(v, 8);
    }
    return v != 0 ? minus(v, 1) : 0;
}

void fadeLed(ReactiveArea& area, std::size_t index, int mode) {
    if (index < area.intensity.size()) {
        area.intensity[index] = fadeStep(area.intensity[index], mode);
    }
}

void lightFirstNine(ReactiveArea& area) {
    for (std::size_t i = 0; i < 9; ++i) {
        if (area.ring[i] != 0) {
            area.intensity[i + 1] = 255;
        }
    }
}

void rotateRingFirst(ReactiveArea& area, std::size_t count, bool up) {
    const std::size_t n = std::min(count, area.ring.size());
    if (n < 2) {
        return;
    }
    const auto first = area.ring.begin();
    const auto end = first + static_cast<std::ptrdiff_t>(n);
    if (up) {
        std::rotate(first, end - 1, end);
    } else {
        std::rotate(first, first + 1, end);
    }
}

void rotateRing(ReactiveArea& area, bool up) {
    rotateRingFirst(area, area.ring.size(), up);
}

void clearReactive(ReactiveArea& area) {
    area.intensity.fill(0);
    area.ring.fill(0);
}

}  // namespace korvane::lighting
