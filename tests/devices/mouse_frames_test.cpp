#include "devices/mouse_frames.h"

#include <gtest/gtest.h>

#include <vector>

namespace korvane::devices::mouse {
namespace {

using lighting::BreathingCurve96;
using lighting::ColourWheel;
using lighting::EffectState;
using lighting::LedColour;
using lighting::ReactiveArea;
using lighting::Rgb;

LedColour led(const Rgb& rgb, std::uint8_t level) {
    return LedColour{rgb.red, rgb.green, rgb.blue, level};
}

// Distinct colours so that a kept colour can be told from a computed one.
std::vector<LedColour> markedColours(std::size_t count) {
    std::vector<LedColour> colours(count);
    for (std::size_t i = 0; i < count; ++i) {
        colours[i] =
            LedColour{static_cast<std::uint8_t>(10 + i), static_cast<std::uint8_t>(i), 99, 1};
    }
    return colours;
}

TEST(MouseLedGroups, SevenColumnsCoverFifteenLedsOnce) {
    std::array<int, kMouseLedCount> seen{};
    for (const LedGroup& group : MouseLedGroups) {
        for (const std::uint8_t l : group.members()) {
            ASSERT_LT(l, kMouseLedCount);
            ++seen[l];
        }
    }
    for (const int count : seen) {
        EXPECT_EQ(count, 1);
    }
    EXPECT_EQ(MouseLedGroups[0].members()[1], 13);
    EXPECT_EQ(MouseLedGroups[6].count, 3);
    EXPECT_EQ(MouseLedGroups[6].members()[1], 14);
    EXPECT_EQ(MouseLedGroups[6].members()[2], 7);
}

TEST(MouseFrameWave, MultiColourColumnsSevenWheelPlacesApart) {
    struct Start {
        std::uint8_t phase;
        std::uint8_t direction;
    };
    // Both land on phase 191, so column c shows wheel entry 7c.
    for (const Start start : {Start{190, 1}, Start{0, 0}}) {
        SCOPED_TRACE(int(start.direction));
        EffectState state;
        state.multiColour = 1;
        state.level = 4;
        state.phase = start.phase;
        state.direction = start.direction;
        std::vector<LedColour> colours(kMouseLedCount);
        EXPECT_EQ(frameWave(state, colours), kMouseLedCount);
        EXPECT_EQ(state.phase, 191);
        const std::pair<int, int> ledToWheel[] = {
            {0, 0},  {13, 0}, {1, 7},  {12, 7}, {2, 14}, {11, 14}, {3, 21}, {10, 21},
            {4, 28}, {9, 28}, {5, 35}, {8, 35}, {6, 42}, {14, 42}, {7, 42},
        };
        for (const auto& [l, wheel] : ledToWheel) {
            SCOPED_TRACE(l);
            EXPECT_EQ(colours[l], led(ColourWheel[wheel], 205));
        }
    }
}

TEST(MouseFrameWave, SingleColourBreathesAlongColumns) {
    EffectState state;
    state.colour = {5, 6, 7};
    state.level = 3;
    state.direction = 1;
    std::vector<LedColour> colours(kMouseLedCount);
    frameWave(state, colours);
    EXPECT_EQ(state.phase, 1);
    // column 0 reads curve entry 2 (24), column 6 entry 44 (229); brightness 150
    EXPECT_EQ(colours[0], (LedColour{5, 6, 7, 14}));
    EXPECT_EQ(colours[13], (LedColour{5, 6, 7, 14}));
    EXPECT_EQ(colours[7], (LedColour{5, 6, 7, 134}));
    EXPECT_EQ(BreathingCurve96[2], 24);
    EXPECT_EQ(BreathingCurve96[44], 229);

    state.phase = 95;  // single colour steps over 96: wraps to 0
    frameWave(state, colours);
    EXPECT_EQ(state.phase, 0);
    state.phase = 150;  // left over from the 192 range
    frameWave(state, colours);
    EXPECT_EQ(state.phase, 0);
}

TEST(MouseFrameWave, AnyArraySizeIsFilled) {
    EffectState state;
    state.multiColour = 1;
    state.level = 5;
    std::vector<LedColour> longer(20, LedColour{1, 1, 1, 1});
    EXPECT_EQ(frameWave(state, longer), 20u);
    for (std::size_t i = kMouseLedCount; i < longer.size(); ++i) {
        EXPECT_EQ(longer[i], LedColour{}) << i;
    }
    std::vector<LedColour> shorter(4);
    EXPECT_EQ(frameWave(state, shorter), 4u);
    EXPECT_EQ(frameWave(state, std::span<LedColour>{}), 0u);
}

TEST(MouseFrameReactive, RingFeedsColumnsInTheFlagsDirection) {
    EffectState state;
    state.effect = 5;
    state.level = 5;
    state.direction = 1;
    ReactiveArea area;
    area.ring[0] = 1;
    std::vector<LedColour> colours(kMouseLedCount);
    for (std::size_t frame = 1; frame <= 6; ++frame) {
        SCOPED_TRACE(frame);
        frameReactive(state, area, colours);
        EXPECT_EQ(area.ring[frame], 1);
        EXPECT_EQ(area.intensity[frame], 215);  // lit to 255, faded once (mode 5)
        const LedGroup& column = MouseLedGroups[frame];
        EXPECT_EQ(colours[column.leds[0]].level, 214);
        EXPECT_EQ(colours[column.leds[1]].level, 214);
        if (frame > 1) {
            EXPECT_LT(area.intensity[frame - 1], 215);
        }
    }

    // Without the flag the ring turns the other way: the entry leaves the first nine.
    EffectState back;
    back.effect = 5;
    ReactiveArea other;
    other.ring[0] = 1;
    frameReactive(back, other, colours);
    EXPECT_EQ(other.ring[22], 1);
    EXPECT_EQ(other.intensity[1], 215);
}

TEST(MouseFrameReactive, ColumnsKeepColoursWhileEndColumnIsLit) {
    struct Case {
        const char* name;
        std::uint8_t direction;
        std::size_t litColumn;
        bool keep;
    };
    const Case cases[] = {
        {"flag clear, column 6 lit", 0, 6, true},
        {"flag clear, column 0 lit", 0, 0, false},
        {"flag set, column 0 lit", 1, 0, true},
        {"flag set, column 6 lit", 1, 6, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EffectState state;
        state.effect = 5;
        state.level = 5;
        state.multiColour = 1;
        state.direction = c.direction;
        ReactiveArea area;
        area.intensity[c.litColumn] = 200;
        std::vector<LedColour> colours = markedColours(kMouseLedCount);
        const std::vector<LedColour> before = colours;
        frameReactive(state, area, colours);
        const unsigned phase = c.direction != 0 ? 1 : 191;
        EXPECT_EQ(state.phase, phase);
        for (std::size_t column = 0; column < kMouseColumnCount; ++column) {
            SCOPED_TRACE(column);
            const LedGroup& group = MouseLedGroups[column];
            const LedColour& first = before[group.leds[0]];
            const Rgb expected = c.keep ? Rgb{first.red, first.green, first.blue}
                                        : ColourWheel[(phase + 12 * column) % 192];
            const std::uint8_t level = column == c.litColumn ? 159 : 0;  // 200 − 40, × 255 / 256
            for (const std::uint8_t l : group.members()) {
                EXPECT_EQ(colours[l], led(expected, level)) << "led " << int(l);
            }
        }
    }
}

TEST(MouseFrameReactive, SingleColourIgnoresKeepRule) {
    EffectState state;
    state.effect = 5;
    state.level = 2;
    state.colour = {1, 2, 3};
    ReactiveArea area;
    area.intensity[6] = 255;
    std::vector<LedColour> colours = markedColours(kMouseLedCount + 2);
    EXPECT_EQ(frameReactive(state, area, colours), kMouseLedCount + 2);
    EXPECT_EQ(colours[6], (LedColour{1, 2, 3, 92}));  // 110 × 215 / 256
    EXPECT_EQ(colours[0], (LedColour{1, 2, 3, 0}));
    EXPECT_EQ(colours[15], LedColour{});
    EXPECT_EQ(colours[16], LedColour{});
}

TEST(MouseFrameFadeLeds, RisesThenFallsByFifteen) {
    EffectState state;
    state.effect = kFadeLedsMode;
    state.level = 5;
    state.colour = {9, 8, 7};
    FadeLedsState fade;
    ReactiveArea area;
    fade.direction[3] = FadeDirection::Rising;
    std::vector<LedColour> colours(kMouseLedCount);
    std::vector<int> levels;
    for (int frame = 0; frame < 36; ++frame) {
        frameFadeLeds(state, fade, area, colours);
        levels.push_back(area.intensity[3]);
        EXPECT_EQ(colours[3], (LedColour{9, 8, 7, lighting::scaleByte(255, area.intensity[3])}));
        EXPECT_EQ(colours[4], (LedColour{9, 8, 7, 0}));
    }
    std::vector<int> expected;
    for (int v = 15; v <= 255; v += 15)
        expected.push_back(v);
    for (int v = 240; v >= 0; v -= 15)
        expected.push_back(v);
    expected.push_back(0);
    expected.push_back(0);
    EXPECT_EQ(levels, expected);
    EXPECT_EQ(fade.direction[3], FadeDirection::Falling);
}

TEST(MouseFlashNotification, FlashesEveryLedOnlyInFadeMode) {
    std::mt19937 random(1234);
    EffectState state;
    state.effect = 5;
    FadeLedsState fade;
    ReactiveArea area;
    EXPECT_FALSE(flashFadeLeds(state, fade, area, kMouseLedCount, random));
    EXPECT_EQ(area.intensity[0], 0);
    EXPECT_EQ(fade.direction[0], FadeDirection::Idle);

    state.effect = kFadeLedsMode;
    state.level = 5;
    state.multiColour = 1;
    EXPECT_TRUE(flashFadeLeds(state, fade, area, kMouseLedCount, random));
    for (std::size_t i = 0; i < kMouseLedCount; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(area.intensity[i], 255);
        EXPECT_LT(fade.hue[i], 192);
        EXPECT_EQ(fade.direction[i], FadeDirection::Rising);
    }
    EXPECT_EQ(area.intensity[kMouseLedCount], 0);

    std::vector<LedColour> colours(kMouseLedCount);
    frameFadeLeds(state, fade, area, colours);  // full, turns to falling
    for (std::size_t i = 0; i < kMouseLedCount; ++i) {
        EXPECT_EQ(colours[i], led(ColourWheel[fade.hue[i]], 254)) << i;
    }
    frameFadeLeds(state, fade, area, colours);
    EXPECT_EQ(area.intensity[0], 240);

    // A count past the work area is bounded.
    EXPECT_TRUE(flashFadeLeds(state, fade, area, 100'000, random));
    EXPECT_EQ(area.intensity[169], 255);
    std::vector<LedColour> huge(200, LedColour{1, 1, 1, 1});
    EXPECT_EQ(frameFadeLeds(state, fade, area, huge), 200u);
    EXPECT_EQ(huge[199], LedColour{});
}

}  // namespace
}  // namespace korvane::devices::mouse
