#include "devices/pad_frames.h"

namespace korvane::devices::pad {

using lighting::EffectState;
using lighting::LedColour;
using lighting::ReactiveArea;

constinit const std::array<LedPair, kPadPairCount> PadLedPairs = {{
    {1, 14},
    {2, 13},
    {3, 12},
    {4, 11},
    {5, 10},
    {6, 9},
    {7, 8},
}};

namespace {

bool inPair(std::size_t led) {
    for (const LedPair& pair : PadLedPairs) {
        if (pair.first == led || pair.second == led) {
            return true;
        }
    }
    return false;
}

// The ring moves on every second frame only.
bool ringFrame(std::uint32_t& frameCounter) {
    ++frameCounter;
    return frameCounter % 2 == 0;
}

void paint(std::span<LedColour> colours, std::size_t led, const LedColour& colour) {
    if (led < colours.size()) {
        colours[led] = colour;
    }
}

LedColour withLevel(const lighting::Rgb& rgb, std::uint8_t level) {
    return LedColour{rgb.red, rgb.green, rgb.blue, level};
}

}  // namespace

std::size_t frameWave(EffectState& state, std::span<LedColour> colours) {
    lighting::stepWavePhase(state);
    for (std::size_t i = 0; i < colours.size(); ++i) {
        colours[i] = lighting::waveColour(state, i);
    }
    return colours.size();
}

std::size_t frameReactive(EffectState& state, ReactiveArea& area, std::uint32_t& frameCounter,
                          std::span<LedColour> colours) {
    const bool direction = state.direction != 0;
    state.phase = lighting::stepPhase(state.phase, lighting::kColourWheelSize, direction);
    if (ringFrame(frameCounter)) {
        lighting::lightFirstNine(area);
        lighting::rotateRingFirst(area, kReactiveRingSpan, !direction);
    }

    const std::size_t endPair = direction ? 0 : kPadPairCount - 1;
    const bool keep = area.intensity[endPair] != 0;
    const std::uint8_t brightness = lighting::brightnessForLevel(state.level);
    for (std::size_t i = 0; i < PadLedPairs.size(); ++i) {
        const LedPair& pair = PadLedPairs[i];
        lighting::fadeLed(area, i, state.effect);
        const LedColour* current = pair.first < colours.size() ? &colours[pair.first] : nullptr;
        const LedColour colour = withLevel(lighting::reactiveColour(state, i, keep, current),
                                           lighting::scaleByte(brightness, area.intensity[i]));
        paint(colours, pair.first, colour);
        paint(colours, pair.second, colour);
    }
    for (std::size_t led = 0; led < colours.size(); ++led) {
        if (!inPair(led)) {
            colours[led] = LedColour{};
        }
    }
    return colours.size();
}

std::size_t frameFade(EffectState& state, ReactiveArea& area, std::uint32_t& frameCounter,
                      std::span<LedColour> colours) {
    const bool direction = state.direction != 0;
    state.phase = lighting::stepPhase(state.phase, lighting::kColourWheelSize, direction);
    if (ringFrame(frameCounter)) {
        lighting::lightFirstNine(area);
        lighting::rotateRing(area, direction);
    }
    if (colours.empty()) {
        return 0;
    }

    const std::size_t endLed = direction ? 0 : colours.size() - 1;
    const bool keep = endLed < area.intensity.size() && area.intensity[endLed] != 0;
    const std::uint8_t brightness = lighting::brightnessForLevel(state.level);
    for (std::size_t i = 0; i < colours.size(); ++i) {
        if (i >= area.intensity.size()) {
            colours[i] = LedColour{};
            continue;
        }
        lighting::fadeLed(area, i, state.effect);
        colours[i] = withLevel(lighting::reactiveColour(state, i, keep, &colours[i]),
                               lighting::scaleByte(brightness, area.intensity[i]));
    }
    return colours.size();
}

}  // namespace korvane::devices::pad
