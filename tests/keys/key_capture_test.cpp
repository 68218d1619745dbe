#include "keys/key_capture.h"

#include <gtest/gtest.h>

#include <map>

#include "keys/key_tables.h"

namespace korvane::keys {
namespace {

TEST(KeyCapture, EveryKeyRowHasItsOwnCode) {
    std::map<int, std::size_t> owner;
    for (std::size_t row = 0; row < kRecognitionRowCount; ++row) {
        const auto code = evdevCodeForRow(row);
        ASSERT_TRUE(code) << row;
        EXPECT_TRUE(owner.emplace(*code, row).second) << "code " << *code << " twice";
        EXPECT_EQ(rowForEvdevCode(*code), row);
    }
    for (std::size_t row = kFirstConsumerRow; row < kFirstMacroKeyRow; ++row) {
        const auto code = evdevCodeForRow(row);
        ASSERT_TRUE(code) << row;
        EXPECT_TRUE(owner.emplace(*code, row).second) << "code " << *code << " twice";
        EXPECT_EQ(rowForEvdevCode(*code), row);
    }
}

TEST(KeyCapture, KeysFromTheWindow) {
    struct Case {
        int code;
        std::string_view key;
    };
    const Case cases[] = {
        {evdevCodeForX11Keycode(38), "keyboard_key_A"},  // X11 keycode of A
        {29, "keyboard_key_LCtrl"},
        {126, "keyboard_key_RWin"},
        {96, "keyboard_key_Num Enter"},
        {28, "keyboard_key_Enter"},
        {43, "keyboard_key_xiegang"},  // also the ISO # key: K42 has no code of its own
        {86, "keyboard_key_K45"},
        {95, "keyboard_key_K107"},
        {119, "keyboard_key_Pause"},
        {115, "keyboard_key_Volume Up"},
        {157, "keyboard_key_Computer"},
        {142, "keyboard_key_Sleep"},
    };
    for (const Case& c : cases) {
        const auto row = rowForEvdevCode(c.code);
        ASSERT_TRUE(row) << c.code;
        EXPECT_EQ(KeyboardTable[*row].languageKey, c.key) << c.code;
    }
    for (int code : {0, -8, 84, 240, 0x10000}) {
        EXPECT_FALSE(rowForEvdevCode(code)) << code;
    }
    EXPECT_FALSE(evdevCodeForRow(113));
    EXPECT_FALSE(evdevCodeForRow(kFnRow));
}

TEST(KeyCapture, ScanCodesOfTheRecognitionTable) {
    // Linux numbers the original PC keys by their set-1 scan code.
    for (std::size_t row = 0; row < kRecognitionRowCount; ++row) {
        const auto scan = scanCodeForRow(row);
        ASSERT_TRUE(scan);
        const int code = *evdevCodeForRow(row);
        if (!scan->extended && code < 0x59) {
            EXPECT_EQ(scan->code, code) << row;
        }
        EXPECT_EQ(rowForScanCode(*scan), row);
    }
    EXPECT_EQ(scanCodeForRow(0), (ScanCode{0x1D, false}));
    EXPECT_EQ(scanCodeForRow(4), (ScanCode{0x1D, true}));
    EXPECT_EQ(KeyboardTable[*rowForScanCode({0x45, false})].languageKey, "keyboard_key_Pause");
    EXPECT_EQ(KeyboardTable[*rowForScanCode({0x45, true})].languageKey, "keyboard_key_Num Lock");
    EXPECT_FALSE(scanCodeForRow(113));
    EXPECT_FALSE(rowForScanCode({0x2B, true}));
}

}  // namespace
}  // namespace korvane::keys
