#include "devices/mouse_frames.h"

#include <algorithm>

namespace korvane::devices::mouse {

using lighting::EffectState;
using lighting::LedColour;
using lighting::ReactiveArea;

constinit const std::array<LedGroup, kMouseColumnCount> MouseLedGroups = {{
    {{0, 13, 0}, 2},
    {{1, 12, 0}, 2},
    {{2, 11, 0}, 2},
    {{3, 10, 0}, 2},
    {{4, 9, 0}, 2},
    {{5, 8, 0}, 2},
    {{6, 14, 7}, 3},
}};

namespace {

void paintGroup(std::span<LedColour> colours, const LedGroup& group, const LedColour& colour) {
    for (const std::uint8_t led : group.members()) {
        if (led < colours.size()) {
            colours[led] = colour;
        }
    }
}

// The columns cover LEDs 0–14; anything past them in a longer array is dark.
void darkenBeyondColumns(std::span<LedColour> colours) {
    if (colours.size() > kMouseLedCount) {
        std::fill(colours.begin() + kMouseLedCount, colours.end(), LedColour{});
    }
}

}  // namespace

std::size_t frameWave(EffectState& state, std::span<LedColour> colours) {
    lighting::stepWavePhase(state);
    for (std::size_t column = 0; column < MouseLedGroups.size(); ++column) {
        paintGroup(colours, MouseLedGroups[column], lighting::waveColour(state, column));
    }
    darkenBeyondColumns(colours);
    return colours.size();
}

std::size_t frameReactive(EffectState& state, ReactiveArea& area, std::span<LedColour> colours) {
    const bool up = state.direction != 0;
    state.phase = lighting::stepPhase(state.phase, lighting::kColourWheelSize, up);
    lighting::lightFirstNine(area);
    lighting::rotateRing(area, up);

    const std::size_t endColumn = up ? 0 : kMouseColumnCount - 1;
    const bool keep = area.intensity[endColumn] != 0;
    const std::uint8_t brightness = lighting::brightnessForLevel(state.level);
    for (std::size_t column = 0; column < MouseLedGroups.size(); ++column) {
        const LedGroup& group = MouseLedGroups[column];
        lighting::fadeLed(area, column, state.effect);
        const std::uint8_t first = group.leds[0];
        const LedColour* current = first < colours.size() ? &colours[first] : nullptr;
        const lighting::Rgb rgb = lighting::reactiveColour(state, column, keep, current);
        paintGroup(colours, group,
                   LedColour{rgb.red, rgb.green, rgb.blue,
                             lighting::scaleByte(brightness, area.intensity[column])});
    }
    darkenBeyondColumns(colours);
    return colours.size();
}

std::size_t frameFadeLeds(const EffectState& state, FadeLedsState& fade, ReactiveArea& area,
                          std::span<LedColour> colours) {
    const std::uint8_t brightness = lighting::brightnessForLevel(state.level);
    for (std::size_t i = 0; i < colours.size(); ++i) {
        if (i >= area.intensity.size()) {
            colours[i] = LedColour{};
            continue;
        }
        std::uint8_t& intensity = area.intensity[i];
        switch (fade.direction[i]) {
            case FadeDirection::Rising:
                intensity = static_cast<std::uint8_t>(std::min(intensity + 15, 255));
                if (intensity == 255) {
                    fade.direction[i] = FadeDirection::Falling;
                }
                break;
            case FadeDirection::Falling:
                intensity = static_cast<std::uint8_t>(std::max(intensity - 15, 0));
                break;
            case FadeDirection::Idle:
                break;
        }
        const lighting::Rgb rgb =
            state.multiColour != 0 ? lighting::wheelColour(fade.hue[i]) : state.colour;
        colours[i] =
            LedColour{rgb.red, rgb.green, rgb.blue, lighting::scaleByte(brightness, intensity)};
    }
    return colours.size();
}

bool flashFadeLeds(const EffectState& state, FadeLedsState& fade, ReactiveArea& area,
                   std::size_t ledCount, std::mt19937& random) {
    if (state.effect != kFadeLedsMode) {
        return false;
    }
    std::uniform_int_distribution<unsigned> hues(0, lighting::kColourWheelSize - 1);
    const std::size_t count = std::min(ledCount, area.intensity.size());
    for (std::size_t i = 0; i < count; ++i) {
        fade.hue[i] = static_cast<std::uint8_t>(hues(random));
        fade.direction[i] = FadeDirection::Rising;
        area.intensity[i] = 255;
    }
    return true;
}

}  // namespace korvane::devices::mouse
