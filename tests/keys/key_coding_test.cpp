#include "keys/key_coding.h"

#include <gtest/gtest.h>

#include <climits>

namespace korvane::keys {
namespace {

TEST(KeyCoding, SwingPacksDelaySpeedCountAndDirection) {
    const KeyAssignment a = encodeSwing({3, 5, 10, 1});
    EXPECT_EQ(a, (KeyAssignment{0x11, 0x35, 0x8A}));
    const Movement m = decodeSwing(a);
    EXPECT_EQ(m.delay, 3);
    EXPECT_EQ(m.speed, 5);
    EXPECT_EQ(m.count, 10);
    EXPECT_EQ(m.direction, 1);
    // Fields wider than their bits are cut, not carried into the neighbour.
    EXPECT_EQ(encodeSwing({0x1F, 0x12, 0x85, 0}), (KeyAssignment{0x11, 0xF2, 0x05}));
}

TEST(KeyCoding, WheelCountIsSigned) {
    EXPECT_EQ(encodeWheel({2, 4, 3, 1}), (KeyAssignment{0x12, 0x24, 0xFD}));
    EXPECT_EQ(encodeWheel({2, 4, 3, 0}), (KeyAssignment{0x12, 0x24, 0x03}));
    EXPECT_EQ(decodeWheel({0x12, 0x24, 0xFD}).count, 3);
    for (int direction = 0; direction <= 1; ++direction) {
        for (int count = direction; count <= 127 + direction; ++count) {
            const Movement m = decodeWheel(encodeWheel({1, 2, count, direction}));
            EXPECT_EQ(m.count, count) << direction;
            EXPECT_EQ(m.direction, direction) << count;
        }
    }
    // Backwards 0 cannot be told from −128.
    EXPECT_EQ(encodeWheel({0, 0, 0, 1}).second, 0x80);
    EXPECT_EQ(decodeWheel({0x12, 0, 0x80}).count, 128);
}

TEST(KeyCoding, FireCutsToBytes) {
    EXPECT_EQ(encodeFire(300, 2), (KeyAssignment{0x14, 44, 2}));
}

TEST(KeyCoding, ModifierOptions) {
    const std::pair<uint8_t, std::optional<int>> cases[] = {
        {0x01, 1},
        {0x02, 2},
        {0x04, 3},
        {0x08, 4},
        {0x10, 1},
        {0x20, 2},
        {0x40, 3},
        {0x80, 4},
        {0x00, std::nullopt},
        {0x11, std::nullopt},
        {0xFF, std::nullopt},
    };
    for (const auto& [modifier, option] : cases) {
        EXPECT_EQ(optionForModifier(modifier), option) << int(modifier);
    }
    EXPECT_EQ(modifierForOption(0), 0);
    EXPECT_EQ(modifierForOption(1), 0x01);
    EXPECT_EQ(modifierForOption(4), 0x08);
    EXPECT_EQ(modifierForOption(5), 0);
    EXPECT_EQ(modifierForOption(-1), 0);
    EXPECT_TRUE(isCombinationModifier(0x10));
    EXPECT_TRUE(isCombinationModifier(0x81));
    EXPECT_FALSE(isCombinationModifier(0x80));
    EXPECT_FALSE(isCombinationModifier(0x11));
}

TEST(KeyCoding, MacroRunModes) {
    EXPECT_EQ(encodeMacro(3, 2, 9), (KeyAssignment{0x70, 3, 2}));
    EXPECT_EQ(encodeMacro(3, kRunModeRepeat, 9), (KeyAssignment{0x71, 3, 9}));
}

TEST(KeyCoding, FunctionOfEachType) {
    const std::pair<uint8_t, std::optional<int>> cases[] = {
        {0x00, 0},
        {0x10, 1},
        {0x11, 2},
        {0x12, 3},
        {0x13, 4},
        {0x14, 5},
        {0x20, 6},
        {0x30, 7},
        {0x40, 8},
        {0x70, 9},
        {0x71, 9},
        {0x72, 10},
        {0xB0, 11},
        {0xA0, std::nullopt},
        {0xD0, std::nullopt},
        {0x15, std::nullopt},
    };
    for (const auto& [t, f] : cases) {
        EXPECT_EQ(functionForType(t), f) << int(t);
    }
}

TEST(KeyCoding, DecimalFieldsReadLikeStrtol) {
    const std::pair<std::string_view, int> cases[] = {
        {"12", 12},
        {"  7x", 7},
        {"-3", -3},
        {"+4", 4},
        {"", 0},
        {"abc", 0},
        {"99999999999999999999", INT_MAX},
        {"-99999999999999999999", INT_MIN},
    };
    for (const auto& [text, value] : cases) {
        EXPECT_EQ(readDecimal(text), value) << text;
    }
}

}  // namespace
}  // namespace korvane::keys
