#include "lighting/effect_frames.h"

#include <algorithm>

namespace korvane::lighting {
namespace {

constexpr std::size_t kPulseRange = kPulseCurveSize;
constexpr std::size_t kWheelRange = kColourWheelSize;
constexpr std::uint8_t kWheelIndexStep = 16;

std::size_t fill(std::span<LedColour> colours, const Rgb& rgb, std::uint8_t level) {
    std::fill(colours.begin(), colours.end(), LedColour{rgb.red, rgb.green, rgb.blue, level});
    return colours.size();
}

// Colour index through the wheel in steps of 16, starting again at 0 when it would reach 192.
std::uint8_t nextWheelIndex(std::uint8_t index) {
    const unsigned next = static_cast<unsigned>(index) + kWheelIndexStep;
    return next >= kWheelRange ? 0 : static_cast<std::uint8_t>(next);
}

std::uint8_t nextBasicIndex(std::uint8_t index) {
    return static_cast<std::uint8_t>((static_cast<unsigned>(index) + 1) % kBasicColourCount);
}

std::uint8_t validIndex(std::uint8_t index, std::size_t size) {
    return index < size ? index : 0;
}

Rgb wheelOrFixed(const EffectState& state) {
    return state.multiColour != 0 ? ColourWheel[state.colourIndex] : state.colour;
}

// Shared by both pulse frames: step over the pulse curve and report whether it wrapped to 0.
bool stepPulse(EffectState& state) {
    state.phase = stepPhase(state.phase, kPulseRange, state.direction != 0);
    return state.phase == 0;
}

std::uint8_t pulseLevel(const EffectState& state) {
    return scaleByte(PulseCurve[state.phase], brightnessForLevel(state.level));
}

// Shared by both blink frames: flips the blink state once the period has passed.
bool blinkDue(EffectState& state, std::uint64_t nowMs) {
    if (nowMs - state.lastBlinkMs < blinkPeriodMs(state.speed)) {
        return false;
    }
    state.blinkOn = !state.blinkOn;
    state.lastBlinkMs = nowMs;
    return true;
}

}  // namespace

void applyLightWords(EffectState& state, const LightWords& words) {
    const LightEffect e = unpackLightEffect(words);
    state.effect = e.SelectItem;
    state.level = e.Light;
    state.speed = e.Speed;
    state.direction = e.Fx;
    state.multiColour = e.MultiColor;
    state.colour = Rgb{e.Red, e.Green, e.Blue};
    state.word3 = words.word3;
    state.word4 = words.word4;
}

std::uint8_t stepPhase(std::uint8_t phase, std::size_t range, bool forward) {
    if (range == 0) {
        return 0;
    }
    const auto last = static_cast<std::uint8_t>(std::min<std::size_t>(range, 256) - 1);
    if (forward) {
        return phase >= last ? 0 : static_cast<std::uint8_t>(phase + 1);
    }
    return (phase == 0 || phase > last) ? last : static_cast<std::uint8_t>(phase - 1);
}

std::uint64_t blinkPeriodMs(std::uint8_t speed) {
    return static_cast<std::uint64_t>(stepTicksForSpeed(speed)) * 200;
}

std::size_t framePulseWheel(EffectState& state, std::span<LedColour> colours) {
    state.colourIndex = validIndex(state.colourIndex, kWheelRange);
    if (stepPulse(state)) {
        state.colourIndex = nextWheelIndex(state.colourIndex);
    }
    return fill(colours, wheelOrFixed(state), pulseLevel(state));
}

std::size_t framePulseBasic(EffectState& state, std::span<LedColour> colours) {
    state.colourIndex = validIndex(state.colourIndex, kBasicColourCount);
    if (stepPulse(state)) {
        state.colourIndex = nextBasicIndex(state.colourIndex);
    }
    return fill(colours, BasicColours[state.colourIndex], pulseLevel(state));
}

std::size_t frameStatic(const EffectState& state, std::span<LedColour> colours) {
    return fill(colours, state.colour, brightnessForLevel(state.level));
}

std::size_t frameWheel(EffectState& state, std::span<LedColour> colours) {
    state.phase = stepPhase(state.phase, kWheelRange, state.direction != 0);
    return fill(colours, ColourWheel[state.phase], brightnessForLevel(state.level));
}

std::size_t frameBlinkWheel(EffectState& state, std::span<LedColour> colours, std::uint64_t nowMs) {
    state.colourIndex = validIndex(state.colourIndex, kWheelRange);
    if (blinkDue(state, nowMs)) {
        state.colourIndex = nextWheelIndex(state.colourIndex);
    }
    if (!state.blinkOn) {
        return frameOff(colours);
    }
    return fill(colours, wheelOrFixed(state), brightnessForLevel(state.level));
}

std::size_t frameBlinkBasic(EffectState& state, std::span<LedColour> colours, std::uint64_t nowMs) {
    state.colourIndex = validIndex(state.colourIndex, kBasicColourCount);
    if (blinkDue(state, nowMs)) {
        state.colourIndex = nextBasicIndex(state.colourIndex);
    }
    if (!state.blinkOn) {
        return frameOff(colours);
    }
    return fill(colours, BasicColours[state.colourIndex], brightnessForLevel(state.level));
}

std::size_t frameOff(std::span<LedColour> colours) {
    return fill(colours, Rgb{}, 0);
}

void stepWavePhase(EffectState& state) {
    const std::size_t range = state.multiColour != 0 ? kWheelRange : kBreathingCurve96Size;
    state.phase = stepPhase(state.phase, range, state.direction != 0);
}

LedColour waveColour(const EffectState& state, std::size_t position) {
    const std::uint8_t brightness = brightnessForLevel(state.level);
    const std::size_t range = state.multiColour != 0 ? kWheelRange : kBreathingCurve96Size;
    const std::size_t index = (state.phase + 1 + 7 * (position % range)) % range;
    if (state.multiColour != 0) {
        const Rgb& rgb = ColourWheel[index];
        return LedColour{rgb.red, rgb.green, rgb.blue, brightness};
    }
    return LedColour{state.colour.red, state.colour.green, state.colour.blue,
                     scaleByte(brightness, BreathingCurve96[index])};
}

Rgb reactiveColour(const EffectState& state, std::size_t group, bool keep,
                   const LedColour* current) {
    if (state.multiColour == 0) {
        return state.colour;
    }
    if (keep && current != nullptr) {
        return Rgb{current->red, current->green, current->blue};
    }
    return ColourWheel[(state.phase + 12 * (group % kWheelRange)) % kWheelRange];
}

std::uint32_t packSyncColour(const LedColour& c) {
    return static_cast<std::uint32_t>(c.red) | static_cast<std::uint32_t>(c.green) << 8 |
           static_cast<std::uint32_t>(c.blue) << 16 | static_cast<std::uint32_t>(c.level) << 24;
}

LedColour unpackSyncColour(std::uint32_t packed) {
    return LedColour{static_cast<std::uint8_t>(packed), static_cast<std::uint8_t>(packed >> 8),
                     static_cast<std::uint8_t>(packed >> 16),
                     static_cast<std::uint8_t>(packed >> 24)};
}

void setSyncColour(std::span<LedColour> colours, std::size_t index, std::uint32_t packed) {
    if (index < colours.size()) {
        colours[index] = unpackSyncColour(packed);
    }
}

std::uint32_t getSyncColour(std::span<const LedColour> colours, std::size_t index) {
    return index < colours.size() ? packSyncColour(colours[index]) : 0;
}

}  // namespace korvane::lighting
