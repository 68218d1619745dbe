#include "devices/pad_frames.h"

#include <gtest/gtest.h>

#include <vector>

namespace korvane::devices::pad {
namespace {

using lighting::ColourWheel;
using lighting::EffectState;
using lighting::LedColour;
using lighting::ReactiveArea;
using lighting::Rgb;

LedColour led(const Rgb& rgb, std::uint8_t level) {
    return LedColour{rgb.red, rgb.green, rgb.blue, level};
}

std::vector<LedColour> markedColours(std::size_t count) {
    std::vector<LedColour> colours(count);
    for (std::size_t i = 0; i < count; ++i) {
        colours[i] =
            LedColour{static_cast<std::uint8_t>(10 + i), static_cast<std::uint8_t>(i), 77, 1};
    }
    return colours;
}

TEST(PadLedPairs, MirrorPairsCoverLedsOneToFourteen) {
    std::array<int, kPadLedCount> seen{};
    for (const LedPair& pair : PadLedPairs) {
        EXPECT_EQ(pair.first + pair.second, 15);
        ++seen[pair.first];
        ++seen[pair.second];
    }
    EXPECT_EQ(seen[0], 0);
    for (std::size_t i = 1; i < kPadLedCount; ++i) {
        EXPECT_EQ(seen[i], 1) << i;
    }
    EXPECT_EQ(PadLedPairs[0].first, 1);
    EXPECT_EQ(PadLedPairs[6].second, 8);
}

TEST(PadFrameWave, PhaseAt191ColoursLedZeroWithEntryZero) {
    struct Start {
        std::uint8_t phase;
        std::uint8_t direction;
    };
    for (const Start start : {Start{0, 0}, Start{190, 1}}) {
        SCOPED_TRACE(int(start.direction));
        EffectState state;
        state.multiColour = 1;
        state.level = 5;
        state.phase = start.phase;
        state.direction = start.direction;
        std::vector<LedColour> colours(kPadLedCount);
        EXPECT_EQ(frameWave(state, colours), kPadLedCount);
        ASSERT_EQ(state.phase, 191);
        EXPECT_EQ(colours[0], led(ColourWheel[0], 255));
        EXPECT_EQ(colours[1], led(ColourWheel[7], 255));
        EXPECT_EQ(colours[14], led(ColourWheel[98], 255));
    }
}

TEST(PadFrameWave, SingleColourUsesBreathingCurve) {
    EffectState state;
    state.colour = {3, 2, 1};
    state.level = 5;
    state.direction = 1;
    state.phase = 94;
    std::vector<LedColour> colours(kPadLedCount);
    frameWave(state, colours);
    EXPECT_EQ(state.phase, 95);
    EXPECT_EQ(colours[0], (LedColour{3, 2, 1, 21}));  // curve entry 0 (22) × 255 / 256
    EXPECT_EQ(colours[1],
              (LedColour{3, 2, 1, lighting::scaleByte(255, lighting::BreathingCurve96[7])}));
}

TEST(PadFrameReactive, RingMovesOnEverySecondFrame) {
    EffectState state;
    state.effect = 7;
    state.level = 5;
    ReactiveArea area;
    area.ring[0] = 1;
    std::uint32_t counter = 0;
    std::vector<LedColour> colours(kPadLedCount);

    frameReactive(state, area, counter, colours);
    EXPECT_EQ(area.intensity[1], 0);
    EXPECT_EQ(area.ring[0], 1);

    frameReactive(state, area, counter, colours);
    EXPECT_EQ(area.intensity[1], 215);  // lit, then faded once
    EXPECT_EQ(area.ring[1], 1);         // flag clear: towards the higher places
    EXPECT_EQ(colours[2].level, 214);   // pair 1 is LEDs 2 and 13
    EXPECT_EQ(colours[13].level, 214);

    frameReactive(state, area, counter, colours);
    EXPECT_EQ(area.intensity[1], 175);
    EXPECT_EQ(area.intensity[2], 0);
    EXPECT_EQ(counter, 3u);
}

TEST(PadFrameReactive, TurnsOnlyTheFirstEightRingEntries) {
    struct Case {
        std::uint8_t direction;
        std::size_t from;
        std::size_t to;
    };
    const Case cases[] = {{0, 7, 0}, {0, 3, 4}, {1, 0, 7}, {1, 3, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << int(c.direction) << ": " << c.from);
        EffectState state;
        state.effect = 7;
        state.direction = c.direction;
        ReactiveArea area;
        area.ring[c.from] = 1;
        area.ring[8] = 5;
        area.ring[22] = 6;
        std::uint32_t counter = 1;  // the next frame moves the ring
        std::vector<LedColour> colours(kPadLedCount);
        frameReactive(state, area, counter, colours);
        EXPECT_EQ(area.ring[c.to], 1);
        EXPECT_EQ(area.ring[8], 5);
        EXPECT_EQ(area.ring[22], 6);
    }
}

TEST(PadFrameReactive, PairsKeepColoursWhileEndPairIsLit) {
    struct Case {
        const char* name;
        std::uint8_t direction;
        std::size_t litPair;
        bool keep;
    };
    const Case cases[] = {
        {"flag clear, pair 6 lit", 0, 6, true},
        {"flag clear, pair 0 lit", 0, 0, false},
        {"flag set, pair 0 lit", 1, 0, true},
        {"flag set, pair 6 lit", 1, 6, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EffectState state;
        state.effect = 7;
        state.level = 5;
        state.multiColour = 1;
        state.direction = c.direction;
        ReactiveArea area;
        area.intensity[c.litPair] = 100;
        std::uint32_t counter = 0;
        std::vector<LedColour> colours = markedColours(kPadLedCount + 1);
        const std::vector<LedColour> before = colours;
        frameReactive(state, area, counter, colours);
        const unsigned phase = c.direction != 0 ? 1 : 191;
        for (std::size_t i = 0; i < kPadPairCount; ++i) {
            SCOPED_TRACE(i);
            const LedPair& pair = PadLedPairs[i];
            const LedColour& first = before[pair.first];
            const Rgb expected = c.keep ? Rgb{first.red, first.green, first.blue}
                                        : ColourWheel[(phase + 12 * i) % 192];
            const std::uint8_t level = i == c.litPair ? 69 : 0;  // 100 − 30, × 255 / 256
            EXPECT_EQ(colours[pair.first], led(expected, level));
            EXPECT_EQ(colours[pair.second], led(expected, level));
        }
        EXPECT_EQ(colours[0], LedColour{});   // in no pair
        EXPECT_EQ(colours[15], LedColour{});  // past the pad
    }
}

TEST(PadFrameFade, WholeRingTurnsWithTheFlagEverySecondFrame) {
    struct Case {
        std::uint8_t direction;
        std::size_t from;
        std::size_t to;
    };
    const Case cases[] = {{1, 22, 0}, {1, 10, 11}, {0, 0, 22}, {0, 10, 9}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << int(c.direction) << ": " << c.from);
        EffectState state;
        state.effect = 6;
        state.direction = c.direction;
        ReactiveArea area;
        area.ring[c.from] = 1;
        std::uint32_t counter = 0;
        std::vector<LedColour> colours(kPadLedCount);
        frameFade(state, area, counter, colours);
        EXPECT_EQ(area.ring[c.from], 1);
        frameFade(state, area, counter, colours);
        EXPECT_EQ(area.ring[c.to], 1);
        EXPECT_EQ(area.ring[c.from], 0);
    }
}

TEST(PadFrameFade, LedsKeepColoursWhileTheEndLedIsLit) {
    struct Case {
        const char* name;
        std::uint8_t direction;
        std::size_t litLed;
        bool keep;
    };
    const Case cases[] = {
        {"flag set, first LED lit", 1, 0, true},
        {"flag set, last LED lit", 1, 14, false},
        {"flag clear, last LED lit", 0, 14, true},
        {"flag clear, first LED lit", 0, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EffectState state;
        state.effect = 6;
        state.level = 5;
        state.multiColour = 1;
        state.direction = c.direction;
        ReactiveArea area;
        area.intensity[c.litLed] = 255;
        std::uint32_t counter = 0;
        std::vector<LedColour> colours = markedColours(kPadLedCount);
        const std::vector<LedColour> before = colours;
        EXPECT_EQ(frameFade(state, area, counter, colours), kPadLedCount);
        const unsigned phase = c.direction != 0 ? 1 : 191;
        for (std::size_t i = 0; i < kPadLedCount; ++i) {
            SCOPED_TRACE(i);
            const Rgb expected = c.keep ? Rgb{before[i].red, before[i].green, before[i].blue}
                                        : ColourWheel[(phase + 12 * i) % 192];
            const std::uint8_t level = i == c.litLed ? 214 : 0;  // 255 − 40, × 255 / 256
            EXPECT_EQ(colours[i], led(expected, level));
        }
    }
}

TEST(PadFrames, OddArraySizesAreSafe) {
    EffectState state;
    state.effect = 6;
    state.multiColour = 1;
    ReactiveArea area;
    area.intensity.fill(255);
    std::uint32_t counter = 0;
    std::vector<LedColour> huge(300, LedColour{1, 1, 1, 1});
    EXPECT_EQ(frameFade(state, area, counter, huge), 300u);
    EXPECT_EQ(huge[170], LedColour{});
    EXPECT_EQ(huge[299], LedColour{});
    EXPECT_EQ(frameReactive(state, area, counter, huge), 300u);
    EXPECT_EQ(huge[200], LedColour{});
    std::vector<LedColour> small(3);
    EXPECT_EQ(frameReactive(state, area, counter, small), 3u);
    EXPECT_EQ(frameFade(state, area, counter, std::span<LedColour>{}), 0u);
    EXPECT_EQ(frameWave(state, std::span<LedColour>{}), 0u);
}

}  // namespace
}  // namespace korvane::devices::pad
