#include "keys/key_tables.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace korvane::keys {
namespace {

TEST(KeyboardTable, SectionsHoldTheirKindsOfRows) {
    const uint8_t modifierVks[] = {0xA2, 0xA0, 0xA4, 0x5B, 0xA3, 0xA1, 0xA5, 0x5C};
    for (std::size_t k = 0; k < kModifierRowCount; ++k) {
        EXPECT_EQ(KeyboardTable[k].code, (KeyAssignment{0x20, uint8_t(1u << k), 0})) << k;
        EXPECT_EQ(KeyboardTable[k].virtualKey, modifierVks[k]) << k;
    }
    for (std::size_t r = kFirstUsageRow; r < kFirstConsumerRow; ++r) {
        EXPECT_EQ(KeyboardTable[r].code.type, type::kKeyboard) << r;
        EXPECT_EQ(KeyboardTable[r].code.first, 0) << r;
    }
    for (std::size_t r = kFirstConsumerRow; r < kFirstSystemRow; ++r) {
        EXPECT_EQ(KeyboardTable[r].code.type, type::kMedia) << r;
    }
    for (std::size_t r = kFirstSystemRow; r < kFirstMacroKeyRow; ++r) {
        EXPECT_EQ(KeyboardTable[r].code.type, type::kSystem) << r;
    }
    for (uint8_t m = 0; m < 5; ++m) {
        EXPECT_EQ(KeyboardTable[kFirstMacroKeyRow + m].code,
                  (KeyAssignment{0xD0, 0xA2, uint8_t(m + 1)}));
    }
    EXPECT_EQ(KeyboardTable[kFnRow].code, (KeyAssignment{0xA0, 0x01, 0}));
    EXPECT_EQ(KeyboardTable[kGmRow].code, (KeyAssignment{0xA0, 0x1B, 0}));
}

TEST(KeyboardTable, KeyRowsCoverEachUsageOnce) {
    std::set<int> expected;
    for (int u = 0x04; u <= 0x65; ++u) {
        expected.insert(u);
    }
    for (int u : {0x85, 0x87, 0x88, 0x89, 0x8A, 0x8B, 0x90, 0x91}) {
        expected.insert(u);
    }
    std::multiset<int> seen;
    for (std::size_t r = kFirstUsageRow; r < kFirstConsumerRow; ++r) {
        seen.insert(KeyboardTable[r].code.second);
    }
    EXPECT_EQ(std::set<int>(seen.begin(), seen.end()), expected);
    EXPECT_EQ(seen.size(), expected.size());  // no usage twice
}

TEST(KeyboardTable, LanguageKeysAreKeyboardKeyNames) {
    std::set<std::string_view> keys;
    for (std::size_t r = 0; r < KeyboardTable.size(); ++r) {
        const std::string_view key = KeyboardTable[r].languageKey;
        keys.insert(key);
        if (key != "wed_stop") {
            EXPECT_EQ(key.substr(0, 13), "keyboard_key_") << r;
        }
    }
    EXPECT_EQ(keys.size(), KeyboardTable.size());  // every row has its own name
}

struct RowCase {
    std::size_t row;
    KeyAssignment code;
    uint8_t virtualKey;
    std::string_view key;
};

TEST(KeyboardTable, RowsInTheirPlaces) {
    const RowCase cases[] = {
        {8, {0x20, 0, 0x04}, 0x41, "keyboard_key_A"},
        {33, {0x20, 0, 0x1D}, 0x5A, "keyboard_key_Z"},
        {42, {0x20, 0, 0x26}, 0x39, "keyboard_key_9"},
        {43, {0x20, 0, 0x27}, 0x30, "keyboard_key_0"},
        {48, {0x20, 0, 0x2C}, 0x20, "keyboard_key_Space"},
        {53, {0x20, 0, 0x31}, 0xDC, "keyboard_key_xiegang"},
        {54, {0x20, 0, 0x33}, 0xBA, "keyboard_key_;"},
        {60, {0x20, 0, 0x39}, 0x14, "keyboard_key_Caplk"},
        {72, {0x20, 0, 0x45}, 0x7B, "keyboard_key_F12"},
        {78, {0x20, 0, 0x4B}, 0x21, "keyboard_key_Page Up"},
        {86, {0x20, 0, 0x53}, 0x90, "keyboard_key_Num Lock"},
        {101, {0x20, 0, 0x62}, 0x60, "keyboard_key_Num 0"},
        {102, {0x20, 0, 0x63}, 0x6E, "keyboard_key_Decimal"},
        {103, {0x20, 0, 0x65}, 0x5D, "keyboard_key_App"},
        {104, {0x20, 0, 0x64}, 0xE2, "keyboard_key_K45"},
        {112, {0x20, 0, 0x90}, 0x15, "keyboard_key_K151"},
        {113, {0x20, 0, 0x32}, kNoVirtualKey, "keyboard_key_K42"},
        {114, {0x30, 0x92, 0x01}, 0xB7, "keyboard_key_Launch App2"},
        {130, {0x30, 0x26, 0x02}, 0xA9, "wed_stop"},
        {131, {0x30, 0x83, 0x01}, 0xB5, "keyboard_key_Launch Media Select"},
        {133, {0x40, 0x02, 0}, 0x5F, "keyboard_key_Sleep"},
    };
    for (const RowCase& c : cases) {
        EXPECT_EQ(KeyboardTable[c.row].code, c.code) << c.row;
        EXPECT_EQ(KeyboardTable[c.row].virtualKey, c.virtualKey) << c.row;
        EXPECT_EQ(KeyboardTable[c.row].languageKey, c.key) << c.row;
    }
}

TEST(KeyTables, PanelListsInTheirOrder) {
    EXPECT_EQ(MouseButtonTable[1].code, (KeyAssignment{0x10, 0x04, 0}));
    EXPECT_EQ(MouseButtonTable[4].languageKey, "mouse_key_back");
    EXPECT_EQ(MediaTable[0].code, (KeyAssignment{0x30, 0x83, 0x01}));
    EXPECT_EQ(MediaTable[17].languageKey, "media_mail");
    EXPECT_EQ(CombinationKeyTable[4].code, (KeyAssignment{0x20, 0x10, 0x06}));
    EXPECT_EQ(CombinationKeyTable[10].languageKey, "custem_magnify");
    EXPECT_EQ(GunKeyTable[3].code, (KeyAssignment{0x72, 3, 0}));
    EXPECT_EQ(tableForFunction(1).size(), 5u);
    EXPECT_EQ(tableForFunction(7).size(), 18u);
    EXPECT_EQ(tableForFunction(11).size(), 11u);
    EXPECT_TRUE(tableForFunction(6).empty());
}

TEST(KeyTables, LookupsByUsageBitAndVirtualKey) {
    EXPECT_EQ(keyboardRowForUsage(0x04), 8u);
    EXPECT_EQ(keyboardRowForUsage(0x32), 113u);
    EXPECT_FALSE(keyboardRowForUsage(0x00));
    EXPECT_FALSE(keyboardRowForUsage(0xE0));  // modifiers are not usage rows
    EXPECT_EQ(modifierRowForBit(0x40), 6u);
    EXPECT_FALSE(modifierRowForBit(0x03));
    EXPECT_EQ(keyboardRowForVirtualKey(0x0D), 44u);  // Enter before Num Enter
    EXPECT_FALSE(keyboardRowForVirtualKey(kNoVirtualKey));
}

TEST(KeyTables, NameOfAnyAssignment) {
    const std::pair<KeyAssignment, std::string_view> cases[] = {
        {{0x20, 0, 0x04}, "keyboard_key_A"},
        {{0x20, 0x20, 0}, "keyboard_key_RShift"},
        {{0x20, 0x10, 0x06}, "custem_copy"},
        {{0x20, 0x01, 0x04}, ""},  // Ctrl+A has no row
        {{0x10, 0x04, 0}, "mouse_key_middle"},
        {{0x13, 0x03, 0}, "mouse_key_DPI_loop"},
        {{0x72, 2, 0}, "gun_3_txt"},
        {{0x30, 0xE9, 0x00}, "keyboard_key_Volume Up"},
        {{0x30, 0x83, 0x01}, "keyboard_key_Launch Media Select"},
        {{0x40, 0x04, 0}, "keyboard_key_Wakeup"},
        {{0xA0, 0x1B, 0}, "keyboard_key_GM"},
        {{0xD0, 0xA2, 3}, "keyboard_key_M3"},
        {{0x70, 1, 0}, ""},
        {{0x11, 0x35, 0x8A}, ""},
    };
    for (const auto& [code, key] : cases) {
        EXPECT_EQ(keyNameKey(code), key) << std::hex << code.packed();
    }
}

}  // namespace
}  // namespace korvane::keys
