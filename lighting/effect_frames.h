// Software lighting effects shared by every device: each frame function advances the effect
// state by one step and fills the whole colour array.
//
// Operation                 function
//   FramePulseWheel         framePulseWheel
//   FramePulseBasic         framePulseBasic
//   FrameStatic             frameStatic
//   FrameWheel              frameWheel
//   FrameBlinkWheel         frameBlinkWheel
//   FrameBlinkBasic         frameBlinkBasic
//   FrameOff                frameOff
//   SetLightEffect          applyLightWords (the state part)
//   SetSyncColour           setSyncColour
//   GetSyncColour           getSyncColour
//
// Every frame function fills every entry of `colours` and returns its size (the LED count).
// Nothing here locks: the caller owns the state and the array and serialises access to them
// (the preview thread, the sync thread and the window thread all touch them).
// Out-of-range state (level > 5, speed > 4, a phase or colour index outside its table) is
// tolerated: levels and speeds clamp, an index outside its table starts again at 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "lighting/light_effect.h"
#include "lighting/light_tables.h"

namespace korvane::lighting {

// One entry of a device's colour array. `level` scales all three channels when streamed.
struct LedColour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t level = 0;

    friend bool operator==(const LedColour&, const LedColour&) = default;
};

// The lighting state a device keeps for its software effects.
struct EffectState {
    std::uint8_t effect = 0;       // light mode (SelectItem)
    std::uint8_t level = 0;        // 0–5
    std::uint8_t speed = 0;        // 0–4
    std::uint8_t direction = 0;    // non-zero: phases step forwards
    std::uint8_t multiColour = 0;  // non-zero: colours come from ColourWheel
    Rgb colour;                    // the fixed colour
    std::uint32_t word3 = 0;       // kept as given, not used by the frames
    std::uint32_t word4 = 0;
    std::uint8_t phase = 0;
    std::uint8_t colourIndex = 0;
    bool blinkOn = false;
    std::uint64_t lastBlinkMs = 0;  // time of the last blink change, on the caller's clock
};

// Stores the four lighting words into the state (word1 = effect, level, speed, direction;
// word2 = multicolour, red, green, blue; words 3 and 4 as given). Phase, colour index and blink
// state are left alone.
void applyLightWords(EffectState& state, const LightWords& words);

// Steps a phase over [0, range): forwards p + 1 (back to 0 at range), backwards p − 1 (0 goes to
// range − 1). A phase already outside the range restarts at 0 forwards and at range − 1
// backwards. range 0 gives 0; a range above 256 acts as 256.
std::uint8_t stepPhase(std::uint8_t phase, std::size_t range, bool forward);

// value × level / 256 — the scaling used for curves and for the streamed bytes.
constexpr std::uint8_t scaleByte(std::uint8_t value, std::uint8_t level) {
    return static_cast<std::uint8_t>((static_cast<unsigned>(value) * level) >> 8);
}

// Blink period in milliseconds for a speed: SpeedStepTicks[speed] × 200.
std::uint64_t blinkPeriodMs(std::uint8_t speed);

std::size_t framePulseWheel(EffectState& state, std::span<LedColour> colours);
std::size_t framePulseBasic(EffectState& state, std::span<LedColour> colours);
std::size_t frameStatic(const EffectState& state, std::span<LedColour> colours);
std::size_t frameWheel(EffectState& state, std::span<LedColour> colours);
std::size_t frameBlinkWheel(EffectState& state, std::span<LedColour> colours, std::uint64_t nowMs);
std::size_t frameBlinkBasic(EffectState& state, std::span<LedColour> colours, std::uint64_t nowMs);
std::size_t frameOff(std::span<LedColour> colours);

// Building blocks of the device-specific wave and reactive frames.

// Steps the phase of a wave: over 192 (ColourWheel) with multicolour, over 96
// (BreathingCurve96) without.
void stepWavePhase(EffectState& state);
// Colour of wave position p (a column or an LED): with multicolour ColourWheel entry
// (phase + 1 + 7p) mod 192 at the level's brightness; without, the fixed colour with the
// brightness scaled by BreathingCurve96 entry (phase + 1 + 7p) mod 96.
LedColour waveColour(const EffectState& state, std::size_t position);

// Colour of group g of a reactive frame: the fixed colour without multicolour; with it
// ColourWheel[(phase + 12g) mod 192] — unless `keep` is set and `current` (the group's first
// LED as it stands) is given, whose colour then stays.
Rgb reactiveColour(const EffectState& state, std::size_t group, bool keep,
                   const LedColour* current);

// Sync colours are packed as red | green << 8 | blue << 16 | level << 24.
std::uint32_t packSyncColour(const LedColour& colour);
LedColour unpackSyncColour(std::uint32_t packed);
// Stores into colours[index]; an index outside the array is ignored.
void setSyncColour(std::span<LedColour> colours, std::size_t index, std::uint32_t packed);
// Reads colours[index] packed; 0 for an index outside the array.
std::uint32_t getSyncColour(std::span<const LedColour> colours, std::size_t index);

}  // namespace korvane::lighting
