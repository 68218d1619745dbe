#include "lighting/light_tables.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace korvane::lighting {
namespace {

TEST(LightTables, BrightnessLevelsAsFirmwareExpects) {
    EXPECT_EQ(BrightnessLevels, (std::array<std::uint8_t, 6>{0, 55, 110, 150, 205, 255}));
}

TEST(LightTables, ColourWheelSpotValues) {
    struct Case {
        std::size_t index;
        Rgb colour;
    };
    const Case cases[] = {
        {0, {255, 1, 0}},   {31, {255, 255, 0}}, {32, {248, 255, 0}},  {51, {47, 255, 0}},
        {63, {0, 255, 0}},  {64, {0, 255, 1}},   {95, {0, 255, 255}},  {96, {0, 248, 255}},
        {127, {0, 0, 255}}, {128, {1, 0, 255}},  {159, {255, 0, 255}}, {160, {255, 0, 248}},
        {191, {255, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        EXPECT_EQ(ColourWheel[c.index], c.colour);
    }
}

// Around the whole circle, including 191 -> 0, exactly one channel changes per step and every
// hue keeps one channel full and one channel off.
TEST(LightTables, ColourWheelMovesOneChannelAtATime) {
    for (std::size_t i = 0; i < ColourWheel.size(); ++i) {
        SCOPED_TRACE(i);
        const Rgb& a = ColourWheel[i];
        const Rgb& b = ColourWheel[(i + 1) % ColourWheel.size()];
        const int changed = (a.red != b.red) + (a.green != b.green) + (a.blue != b.blue);
        EXPECT_EQ(changed, 1);
        EXPECT_TRUE(a.red == 255 || a.green == 255 || a.blue == 255);
        EXPECT_TRUE(a.red == 0 || a.green == 0 || a.blue == 0);
    }
}

TEST(LightTables, PulseCurveRisesThenMirrors) {
    EXPECT_EQ(PulseCurve[0], 0);
    EXPECT_EQ(PulseCurve[10], 10);
    EXPECT_EQ(PulseCurve[11], 12);
    EXPECT_EQ(PulseCurve[62], 248);
    EXPECT_EQ(PulseCurve[63], 255);
    for (std::size_t i = 0; i < 64; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(PulseCurve[i], PulseCurve[127 - i]);
        if (i > 0) {
            EXPECT_GT(PulseCurve[i], PulseCurve[i - 1]);
        }
    }
}

TEST(LightTables, BreathingCurve96RisesFrom22To255AndBack) {
    EXPECT_EQ(BreathingCurve96.front(), 22);
    EXPECT_EQ(BreathingCurve96[47], 255);
    EXPECT_EQ(BreathingCurve96[48], 255);
    EXPECT_EQ(BreathingCurve96.back(), 22);
    for (std::size_t i = 0; i < 48; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(BreathingCurve96[i], BreathingCurve96[95 - i]);
        if (i > 0) {
            EXPECT_GT(BreathingCurve96[i], BreathingCurve96[i - 1]);
        }
    }
}

TEST(LightTables, StepTicksRowsAreSpeedPeriodsThenZeros) {
    const std::array<std::uint8_t, 15> row = {28, 23, 18, 13, 7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    for (std::size_t r = 0; r < StepTicks.size(); ++r) {
        SCOPED_TRACE(r);
        EXPECT_EQ(StepTicks[r], row);
    }
    EXPECT_EQ(SpeedStepTicks, (std::array<std::uint8_t, 5>{28, 23, 18, 13, 7}));
}

TEST(LightTables, BasicColours) {
    EXPECT_EQ(BasicColours[0], (Rgb{0, 255, 180}));
    EXPECT_EQ(BasicColours[1], (Rgb{0, 255, 0}));
    EXPECT_EQ(BasicColours[2], (Rgb{255, 255, 255}));
    EXPECT_EQ(BasicColours[3], (Rgb{255, 0, 0}));
}

TEST(LightTables, LookupsClampOutOfRangeInput) {
    struct Case {
        std::uint8_t input;
        std::uint8_t brightness;
        std::uint8_t ticks;
    };
    const Case cases[] = {
        {0, 0, 28}, {2, 110, 18}, {4, 205, 7}, {5, 255, 7}, {6, 255, 7}, {255, 255, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.input));
        EXPECT_EQ(brightnessForLevel(c.input), c.brightness);
        EXPECT_EQ(stepTicksForSpeed(c.input), c.ticks);
    }
    EXPECT_EQ(wheelColour(192), ColourWheel[0]);
    EXPECT_EQ(wheelColour(192 * 3 + 64), ColourWheel[64]);
}

}  // namespace
}  // namespace korvane::lighting
