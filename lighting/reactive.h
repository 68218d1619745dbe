// Work area of the reactive effects: one intensity byte per LED and a 23-entry ring whose
// non-zero entries light the first LEDs again as it turns.
//
// Operation        function
//   FadeLed        fadeLed (fadeStep is the byte rule alone)
//   LightFirstNine lightFirstNine
//   RotateRing     rotateRing (rotateRingFirst turns only the first entries)
//   ClearReactive  clearReactive
//
// Not locked: the caller serialises access, as for the colour array.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace korvane::lighting {

inline constexpr std::size_t kReactiveLedCount = 170;
inline constexpr std::size_t kReactiveRingSize = 23;
// FadeLed's mode with its own, steeper rule (the keyboard's audio mode).
inline constexpr int kFadeModeAudio = 29;

struct ReactiveArea {
    std::array<std::uint8_t, kReactiveLedCount> intensity{};
    std::array<std::uint8_t, kReactiveRingSize> ring{};
};

// The next intensity after one fade step of `value` under `mode` (0, 29 or any other). The
// step is picked by bit tests and subtracted as a byte, so mode 29 can wrap for values whose
// tested bit is below the step (for example 0x10 − 45 = 0xE3).
std::uint8_t fadeStep(std::uint8_t value, int mode);

// Applies fadeStep to intensity[index]; an index outside the area is ignored.
void fadeLed(ReactiveArea& area, std::size_t index, int mode);

// For i = 0…8: a non-zero ring entry i sets intensity i + 1 to 255.
void lightFirstNine(ReactiveArea& area);

// Turns the whole ring by one place: up (non-zero direction) moves every entry one place
// higher and the last becomes the first; down moves every entry one place lower and the first
// becomes the last.
void rotateRing(ReactiveArea& area, bool up);

// The same over the first `count` entries only (count above the ring size turns the whole ring).
void rotateRingFirst(ReactiveArea& area, std::size_t count, bool up);

// Sets every intensity and every ring entry to 0.
void clearReactive(ReactiveArea& area);

}  // namespace korvane::lighting
