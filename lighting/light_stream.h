// The byte image that StreamLightFrame sends with the light data stream command: three bytes
// per LED at offset 3·i, each channel scaled by the entry's level (value × level / 256).
// LED 170 is never written: that index marks an empty key position.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "lighting/effect_frames.h"

namespace korvane::lighting {

inline constexpr std::size_t kLightStreamBufferSize = 512;
inline constexpr std::size_t kEmptyKeyLedIndex = 170;
static_assert(3 * kEmptyKeyLedIndex + 3 > kLightStreamBufferSize,
              "LED 170 onwards must not fit, so the empty key position is never written");

struct LightStreamFrame {
    std::array<std::uint8_t, kLightStreamBufferSize> bytes{};
    std::size_t length = 0;  // 3 × LED count, at most the buffer size

    std::span<const std::uint8_t> data() const { return {bytes.data(), length}; }
};

// Builds the frame from the colour array. Only LEDs 0–169 are written (LED 170 and later have
// no room), and the length is capped at the buffer size; unwritten bytes are 0.
LightStreamFrame buildLightStream(std::span<const LedColour> colours);

}  // namespace korvane::lighting
