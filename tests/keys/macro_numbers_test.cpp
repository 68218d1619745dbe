#include "keys/macro_numbers.h"

#include <gtest/gtest.h>

namespace korvane::keys {
namespace {

constexpr KeyAssignment kFallback{0x10, 0x01, 0};

TEST(MacroNumbers, DeletingMacroOneOfThree) {
    struct Case {
        KeyAssignment before;
        KeyAssignment after;
        bool changed;
    };
    const Case cases[] = {
        {{0x70, 1, 2}, kFallback, true},  // bound to the deleted macro: default
        {{0x71, 1, 9}, kFallback, true},
        {{0x70, 2, 3}, {0x70, 1, 3}, true},  // later macro: one number down
        {{0x71, 2, 9}, {0x71, 1, 9}, true},
        {{0x70, 0, 1}, {0x70, 0, 1}, false},  // earlier macro: unchanged
        {{0x20, 2, 4}, {0x20, 2, 4}, false},  // not a macro
        {{0x72, 2, 0}, {0x72, 2, 0}, false},
    };
    for (const Case& c : cases) {
        KeyAssignment a = c.before;
        EXPECT_EQ(renumberAfterDelete(a, kFallback, 1), c.changed) << std::hex << c.before.packed();
        EXPECT_EQ(a, c.after) << std::hex << c.before.packed();
    }
    KeyAssignment alreadyDefault = kFallback;
    alreadyDefault.type = 0x70;
    KeyAssignment fallback = alreadyDefault;
    EXPECT_FALSE(renumberAfterDelete(alreadyDefault, fallback, 1));
}

TEST(MacroNumbers, UploadPlacesInFirstSeenOrder) {
    MacroUploadNumbering numbering(8);
    const KeyAssignment keys[] = {
        {0x70, 7, 1}, {0x71, 2, 5}, {0x20, 0, 4}, {0x70, 7, 0}, {0x70, 4, 3}};
    std::vector<KeyAssignment> written;
    for (const KeyAssignment& k : keys) {
        written.push_back(numbering.map(k, kFallback));
    }
    EXPECT_EQ(numbering.used(), (std::vector<int>{7, 2, 4}));
    EXPECT_EQ(written, (std::vector<KeyAssignment>{
                           {0x70, 0, 1}, {0x71, 1, 5}, {0x20, 0, 4}, {0x70, 0, 0}, {0x70, 2, 3}}));
}

TEST(MacroNumbers, MissingMacrosFallBackAndAreNotUploaded) {
    MacroUploadNumbering numbering(6);
    EXPECT_EQ(numbering.map({0x70, 5, 0}, kFallback), (KeyAssignment{0x70, 0, 0}));
    EXPECT_EQ(numbering.map({0x70, 2, 0}, kFallback), (KeyAssignment{0x70, 1, 0}));
    EXPECT_EQ(numbering.map({0x70, 5, 0}, kFallback), (KeyAssignment{0x70, 0, 0}));
    EXPECT_EQ(numbering.map({0x71, 7, 3}, kFallback), kFallback);
    EXPECT_EQ(numbering.used(), (std::vector<int>{5, 2}));
}

}  // namespace
}  // namespace korvane::keys
