// The mouse's own effect frames (light modes 0, 5 and 6) and its LED columns.
//
// Operation              function
//   FrameWave            mouse::frameWave
//   FrameReactive        mouse::frameReactive
//   FrameFadeLeds        mouse::frameFadeLeds
//   notification 0x0403  mouse::flashFadeLeds (flashes every LED in light mode 6)
//
// Like the shared frames (lighting/effect_frames.h) each fills every entry of the colour array
// and returns its size; the caller serialises access to the state, the work areas and the array
// (flashFadeLeds runs on the notification thread, the frames on the preview thread).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <random>
#include <span>

#include "lighting/effect_frames.h"
#include "lighting/reactive.h"

namespace korvane::devices::mouse {

inline constexpr std::size_t kMouseLedCount = 15;
inline constexpr std::size_t kMouseColumnCount = 7;
inline constexpr std::uint8_t kFadeLedsMode = 6;
inline constexpr std::uint16_t kFlashNotification = 0x0403;

// LEDs lit together, front to back.
struct LedGroup {
    std::array<std::uint8_t, 3> leds{};
    std::uint8_t count = 0;

    std::span<const std::uint8_t> members() const { return {leds.data(), count}; }
};

// (0,13) (1,12) (2,11) (3,10) (4,9) (5,8) (6,14,7)
extern const std::array<LedGroup, kMouseColumnCount> MouseLedGroups;

// Per-LED state of FrameFadeLeds; the intensities live in the reactive work area.
enum class FadeDirection : std::uint8_t { Idle = 0, Rising = 1, Falling = 2 };

struct FadeLedsState {
    std::array<FadeDirection, lighting::kReactiveLedCount> direction{};
    std::array<std::uint8_t, lighting::kReactiveLedCount> hue{};
};

// Multicolour: hues move across the columns 7 wheel places apart; single colour: the breathing
// curve does, 7 places apart. Entries outside the columns are dark.
std::size_t frameWave(lighting::EffectState& state, std::span<lighting::LedColour> colours);

// Column i fades intensity i; the ring feeds new light in from the end given by the direction
// flag. While the end column is lit, the columns keep their colours.
std::size_t frameReactive(lighting::EffectState& state, lighting::ReactiveArea& area,
                          std::span<lighting::LedColour> colours);

// Rising LEDs climb 15 per frame to 255 and then fall 15 per frame to 0; idle LEDs stay dark.
std::size_t frameFadeLeds(const lighting::EffectState& state, FadeLedsState& fade,
                          lighting::ReactiveArea& area, std::span<lighting::LedColour> colours);

// In light mode 6 gives each of the first ledCount LEDs a random hue 0–191, intensity 255 and
// the rising state; returns whether it did (other modes ignore the notification).
bool flashFadeLeds(const lighting::EffectState& state, FadeLedsState& fade,
                   lighting::ReactiveArea& area, std::size_t ledCount, std::mt19937& random);

}  // namespace korvane::devices::mouse
