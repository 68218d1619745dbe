// The mouse pad's own effect frames (light modes 0, 6 and 7) and its LED pairs.
//
// Operation          function
//   FrameWave        pad::frameWave
//   FrameReactive    pad::frameReactive
//   FrameFade        pad::frameFade
//
// Each fills every entry of the colour array and returns its size; the caller serialises
// access to the state, the work area, the frame counter and the array.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "lighting/effect_frames.h"
#include "lighting/reactive.h"

namespace korvane::devices::pad {

inline constexpr std::size_t kPadLedCount = 15;
inline constexpr std::size_t kPadPairCount = 7;
// FrameReactive turns only this many ring entries.
inline constexpr std::size_t kReactiveRingSpan = 8;

struct LedPair {
    std::uint8_t first = 0;
    std::uint8_t second = 0;
};

// (1,14) (2,13) (3,12) (4,11) (5,10) (6,9) (7,8); LED 0 belongs to no pair.
extern const std::array<LedPair, kPadPairCount> PadLedPairs;

// LED i takes wave position i (lighting::waveColour).
std::size_t frameWave(lighting::EffectState& state, std::span<lighting::LedColour> colours);

// Pair i fades intensity i. Every second frame (counted in frameCounter, shared with
// frameFade) the ring lights the first LEDs and its first 8 entries turn: towards the lower
// places with the direction flag set, towards the higher ones without. While the end pair is
// lit the pairs keep their colours. LEDs outside the pairs are dark.
std::size_t frameReactive(lighting::EffectState& state, lighting::ReactiveArea& area,
                          std::uint32_t& frameCounter, std::span<lighting::LedColour> colours);

// LED i fades intensity i. Every second frame the ring lights the first LEDs and turns whole,
// towards the higher places with the direction flag set. While the first LED (direction set) or
// the last LED (direction clear) is lit, every LED keeps its colour.
std::size_t frameFade(lighting::EffectState& state, lighting::ReactiveArea& area,
                      std::uint32_t& frameCounter, std::span<lighting::LedColour> colours);

}  // namespace korvane::devices::pad
