#include "lighting/effect_frames.h"

#include <gtest/gtest.h>

#include <vector>

namespace korvane::lighting {
namespace {

LedColour led(const Rgb& rgb, std::uint8_t level) {
    return LedColour{rgb.red, rgb.green, rgb.blue, level};
}

void expectAll(const std::vector<LedColour>& colours, const LedColour& expected) {
    for (std::size_t i = 0; i < colours.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(colours[i], expected);
    }
}

TEST(StepPhase, WalksBothWaysAndWraps) {
    struct Case {
        std::uint8_t phase;
        std::size_t range;
        bool forward;
        std::uint8_t expected;
    };
    const Case cases[] = {
        {0, 128, false, 127},
        {127, 128, false, 126},
        {1, 128, false, 0},
        {126, 128, true, 127},
        {127, 128, true, 0},
        {0, 192, true, 1},
        {191, 192, true, 0},
        {0, 192, false, 191},
        {0, 96, false, 95},
        // a phase left over from a longer range restarts inside the new one
        {150, 96, true, 0},
        {150, 96, false, 95},
        {96, 96, false, 95},
        {0, 256, false, 255},
        {255, 256, true, 0},
        {7, 0, true, 0},
        {7, 1000, true, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << int(c.phase) << " over " << c.range
                                          << (c.forward ? " forward" : " backward"));
        EXPECT_EQ(stepPhase(c.phase, c.range, c.forward), c.expected);
    }
}

TEST(FramePulseWheel, DirectionClearedWalksDownFromZero) {
    EffectState state;
    std::vector<LedColour> colours(4);
    std::vector<int> phases;
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(framePulseWheel(state, colours), 4u);
        phases.push_back(state.phase);
    }
    EXPECT_EQ(phases, (std::vector<int>{127, 126, 125}));
}

// The colour index moves on by 16 each time the phase comes back to 0, in either direction,
// and starts again at 0 when it would reach 192.
TEST(FramePulseWheel, ColourIndexAdvancesOnEveryWrap) {
    for (const std::uint8_t direction : {0, 1}) {
        SCOPED_TRACE(int(direction));
        EffectState state;
        state.direction = direction;
        std::vector<LedColour> colours(1);
        std::vector<int> indexes;
        for (int frame = 1; frame <= 128 * 12; ++frame) {
            framePulseWheel(state, colours);
            if (frame % 128 == 0) {
                EXPECT_EQ(state.phase, 0);
                indexes.push_back(state.colourIndex);
            } else {
                EXPECT_NE(state.phase, 0);
            }
        }
        EXPECT_EQ(indexes, (std::vector<int>{16, 32, 48, 64, 80, 96, 112, 128, 144, 160, 176, 0}));
    }
}

TEST(FramePulseWheel, LevelFollowsCurveAndBrightness) {
    struct Case {
        std::uint8_t startPhase;  // stepped forward once before painting
        std::uint8_t level;
        std::uint8_t expected;
    };
    const Case cases[] = {
        {62, 5, 254},             // curve 255 × 255 / 256
        {62, 3, 149},             // 255 × 150 / 256
        {62, 0, 0},   {9, 5, 9},  // curve 10
        {62, 9, 254},             // level clamps to 5
        {127, 5, 0},              // wraps to phase 0, curve 0
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << int(c.startPhase) << " level " << int(c.level));
        EffectState state;
        state.direction = 1;
        state.phase = c.startPhase;
        state.level = c.level;
        state.colour = {10, 20, 30};
        std::vector<LedColour> colours(3);
        framePulseWheel(state, colours);
        expectAll(colours, LedColour{10, 20, 30, c.expected});
    }
}

TEST(FramePulseWheel, MultiColourTakesWheelAtColourIndex) {
    EffectState state;
    state.direction = 1;
    state.multiColour = 1;
    state.level = 5;
    state.phase = 127;
    state.colourIndex = 32;
    std::vector<LedColour> colours(2);
    framePulseWheel(state, colours);  // wraps to 0: index 48
    expectAll(colours, led(ColourWheel[48], 0));
    framePulseWheel(state, colours);
    expectAll(colours, led(ColourWheel[48], 0));  // curve[1] × 255 / 256 = 0
}

TEST(FramePulseBasic, CyclesTheFourBasicColours) {
    EffectState state;
    state.direction = 1;
    state.level = 5;
    state.colour = {1, 2, 3};  // ignored
    state.colourIndex = 50;    // left over from a wheel effect
    std::vector<LedColour> colours(2);
    std::vector<Rgb> seen;
    for (int frame = 1; frame <= 128 * 5; ++frame) {
        framePulseBasic(state, colours);
        if (frame % 128 == 0) {
            seen.push_back({colours[0].red, colours[0].green, colours[0].blue});
            EXPECT_EQ(colours[0].level, 0);
        }
    }
    const std::vector<Rgb> expected = {BasicColours[1], BasicColours[2], BasicColours[3],
                                       BasicColours[0], BasicColours[1]};
    EXPECT_EQ(seen, expected);
}

TEST(FrameStatic, FixedColourAtLevelBrightness) {
    EffectState state;
    state.colour = {200, 100, 50};
    state.level = 2;
    state.phase = 17;
    std::vector<LedColour> colours(5, LedColour{9, 9, 9, 9});
    EXPECT_EQ(frameStatic(state, colours), 5u);
    expectAll(colours, LedColour{200, 100, 50, 110});
    EXPECT_EQ(state.phase, 17);
    state.level = 200;
    frameStatic(state, colours);
    expectAll(colours, LedColour{200, 100, 50, 255});
}

TEST(FrameWheel, PhaseIsTheHue) {
    EffectState state;
    state.level = 4;
    std::vector<LedColour> colours(3);
    frameWheel(state, colours);
    EXPECT_EQ(state.phase, 191);
    expectAll(colours, led(ColourWheel[191], 205));
    state.direction = 1;
    frameWheel(state, colours);
    EXPECT_EQ(state.phase, 0);
    expectAll(colours, led(ColourWheel[0], 205));
}

TEST(FrameBlinkWheel, TogglesAfterSpeedPeriodOfInjectedTime) {
    struct Case {
        std::uint8_t speed;
        std::uint64_t periodMs;
    };
    const Case cases[] = {{0, 5600}, {1, 4600}, {2, 3600}, {3, 2600}, {4, 1400}, {9, 1400}};
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.speed));
        EXPECT_EQ(blinkPeriodMs(c.speed), c.periodMs);
        EffectState state;
        state.speed = c.speed;
        state.level = 5;
        state.multiColour = 1;
        state.lastBlinkMs = 10'000;
        std::vector<LedColour> colours(2, LedColour{1, 1, 1, 1});

        frameBlinkWheel(state, colours, 10'000 + c.periodMs - 1);
        EXPECT_FALSE(state.blinkOn);
        expectAll(colours, LedColour{});

        const std::uint64_t on = 10'000 + c.periodMs;
        frameBlinkWheel(state, colours, on);
        EXPECT_TRUE(state.blinkOn);
        EXPECT_EQ(state.lastBlinkMs, on);
        EXPECT_EQ(state.colourIndex, 16);
        expectAll(colours, led(ColourWheel[16], 255));

        frameBlinkWheel(state, colours, on + c.periodMs - 1);
        EXPECT_TRUE(state.blinkOn);
        frameBlinkWheel(state, colours, on + c.periodMs);
        EXPECT_FALSE(state.blinkOn);
        EXPECT_EQ(state.colourIndex, 32);
        expectAll(colours, LedColour{});
    }
}

TEST(FrameBlinkWheel, SingleColourAndIndexWrap) {
    EffectState state;
    state.speed = 4;
    state.level = 1;
    state.colour = {7, 8, 9};
    state.colourIndex = 176;
    std::vector<LedColour> colours(1);
    frameBlinkWheel(state, colours, 1'000'000);
    EXPECT_TRUE(state.blinkOn);
    EXPECT_EQ(state.colourIndex, 0);
    expectAll(colours, LedColour{7, 8, 9, 55});
}

TEST(FrameBlinkBasic, EachChangeTakesTheNextBasicColour) {
    EffectState state;
    state.speed = 4;
    state.level = 5;
    state.multiColour = 1;  // the basic colours are used either way
    std::vector<LedColour> colours(1);
    std::uint64_t now = 0;
    std::vector<int> indexes;
    for (int change = 0; change < 5; ++change) {
        now += blinkPeriodMs(state.speed);
        frameBlinkBasic(state, colours, now);
        indexes.push_back(state.colourIndex);
        if (state.blinkOn) {
            EXPECT_EQ(colours[0], led(BasicColours[state.colourIndex], 255));
        } else {
            EXPECT_EQ(colours[0], LedColour{});
        }
    }
    EXPECT_EQ(indexes, (std::vector<int>{1, 2, 3, 0, 1}));
}

TEST(FrameOff, DarkensEverything) {
    std::vector<LedColour> colours(6, LedColour{255, 255, 255, 255});
    EXPECT_EQ(frameOff(colours), 6u);
    expectAll(colours, LedColour{});
}

TEST(EffectFrames, EmptyArrayStillStepsTheState) {
    EffectState state;
    std::span<LedColour> none;
    EXPECT_EQ(framePulseWheel(state, none), 0u);
    EXPECT_EQ(state.phase, 127);
    EXPECT_EQ(frameWheel(state, none), 0u);
    EXPECT_EQ(frameBlinkWheel(state, none, 100'000), 0u);
    EXPECT_TRUE(state.blinkOn);
    EXPECT_EQ(frameOff(none), 0u);
}

TEST(EffectFrames, ApplyLightWordsStoresSettingsButKeepsProgress) {
    EffectState state;
    state.phase = 40;
    state.colourIndex = 64;
    state.blinkOn = true;
    applyLightWords(state, LightWords{0x01030402, 0x30201001, 0xAA, 0xBB});
    EXPECT_EQ(state.effect, 2);
    EXPECT_EQ(state.level, 4);
    EXPECT_EQ(state.speed, 3);
    EXPECT_EQ(state.direction, 1);
    EXPECT_EQ(state.multiColour, 1);
    EXPECT_EQ(state.colour, (Rgb{0x10, 0x20, 0x30}));
    EXPECT_EQ(state.word3, 0xAAu);
    EXPECT_EQ(state.word4, 0xBBu);
    EXPECT_EQ(state.phase, 40);
    EXPECT_EQ(state.colourIndex, 64);
    EXPECT_TRUE(state.blinkOn);
}

TEST(EffectFrames, WaveColourOffsetsSevenPlacesPerPosition) {
    EffectState state;
    state.level = 5;
    state.multiColour = 1;
    state.phase = 191;
    EXPECT_EQ(waveColour(state, 0), led(ColourWheel[0], 255));
    EXPECT_EQ(waveColour(state, 1), led(ColourWheel[7], 255));
    EXPECT_EQ(waveColour(state, 28), led(ColourWheel[4], 255));  // 192 + 196 wraps

    state.multiColour = 0;
    state.colour = {1, 2, 3};
    state.phase = 46;  // position 0 reads curve entry 47 (255)
    EXPECT_EQ(waveColour(state, 0), (LedColour{1, 2, 3, 254}));
    state.phase = 95;  // position 0 reads entry 0 (22), position 1 entry 7
    EXPECT_EQ(waveColour(state, 0), (LedColour{1, 2, 3, 21}));
    EXPECT_EQ(waveColour(state, 1), (LedColour{1, 2, 3, scaleByte(255, BreathingCurve96[7])}));
}

TEST(SyncColour, PackedAsRgbAndLevelAndBoundsChecked) {
    std::vector<LedColour> colours(3);
    setSyncColour(colours, 1, 0x80302010);
    EXPECT_EQ(colours[1], (LedColour{0x10, 0x20, 0x30, 0x80}));
    EXPECT_EQ(getSyncColour(colours, 1), 0x80302010u);
    setSyncColour(colours, 3, 0xFFFFFFFF);
    setSyncColour(colours, static_cast<std::size_t>(-1), 0xFFFFFFFF);
    EXPECT_EQ(colours[0], LedColour{});
    EXPECT_EQ(colours[2], LedColour{});
    EXPECT_EQ(getSyncColour(colours, 3), 0u);
}

}  // namespace
}  // namespace korvane::lighting
