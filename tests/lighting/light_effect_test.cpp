#include "lighting/light_effect.h"

#include <gtest/gtest.h>

namespace korvane::lighting {
namespace {

TEST(LightEffect, PacksFourWordsLowestByteFirst) {
    struct Case {
        const char* name;
        LightEffect effect;
        LightWords words;
    };
    const Case cases[] = {
        {"all zero", LightEffect{}, LightWords{0, 0, 0, 0}},
        {"every byte distinct",
         LightEffect{0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D,
                     0x0E},
         LightWords{0x04030201, 0x08070605, 0x0C0B0A09, 0x0E0D}},
        {"mouse breathing in orange",
         LightEffect{.SelectItem = 2,
                     .Light = 5,
                     .Speed = 4,
                     .Fx = 1,
                     .MultiColor = 0,
                     .Red = 255,
                     .Green = 128,
                     .Blue = 0},
         LightWords{0x01040502, 0x0080FF00, 0, 0}},
        {"keyboard sub-mode and groups",
         LightEffect{.SelectItem = 17, .ZZCCLedMode = 3, .CustomGroup = 2, .OldLedmode = 25},
         LightWords{17, 0, 0x03000000, 0x1902}},
        {"all ones",
         LightEffect{255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255},
         LightWords{0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFF}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(packLightEffect(c.effect), c.words);
        EXPECT_EQ(unpackLightEffect(c.words), c.effect);
        EXPECT_EQ(lightEffectFromBytes(lightEffectBytes(c.effect)), c.effect);
    }
}

TEST(LightEffect, Word4KeepsOnlySixteenBits) {
    const LightEffect effect = unpackLightEffect(LightWords{0, 0, 0, 0xABCD1234});
    EXPECT_EQ(effect.CustomGroup, 0x34);
    EXPECT_EQ(effect.OldLedmode, 0x12);
    EXPECT_EQ(packLightEffect(effect).word4, 0x1234u);
}

TEST(LightEffect, BytesFollowRecordOrder) {
    const LightEffect effect{.SelectItem = 9, .Blue = 7, .ListPresent = 1, .OldLedmode = 4};
    const auto bytes = lightEffectBytes(effect);
    EXPECT_EQ(bytes[0], 9);
    EXPECT_EQ(bytes[7], 7);
    EXPECT_EQ(bytes[10], 1);
    EXPECT_EQ(bytes[13], 4);
}

TEST(LightEffect, ArgbColourIsOpaqueRrGgBb) {
    EXPECT_EQ(argbColour(0x12, 0x34, 0x56), 0xFF123456u);
    EXPECT_EQ(argbColour(0, 0, 0), 0xFF000000u);
    EXPECT_EQ(argbColour(LightEffect{.Red = 255, .Green = 1, .Blue = 2}), 0xFFFF0102u);
}

}  // namespace
}  // namespace korvane::lighting
