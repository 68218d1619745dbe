#include "keys/panels/key_set_control.h"

#include <gtest/gtest.h>

#include "keys/key_capture.h"
#include "keys/key_coding.h"
#include "keys/key_tables.h"
#include "tests/keys/panels/panel_test_support.h"

namespace korvane::keys::panels {
namespace {

using testing::buildPanel;
using testing::child;

class KeySetPanel : public ::testing::Test {
  protected:
    KeySetPanel()
        : root_(buildPanel(kKeySetControlSkin, function::kCount)),
          panel_(root_.get(), services_.bundle(), &device_) {
        panel_.SetKind(2);
        panel_.SetMacroNames({"m0", "m1", "m2"});
    }

    ui::MemoryControl& c(std::string_view name) { return child(*root_, name); }
    int function() {
        const int item = c("keyset_function_combo").currentIndex();
        return item < 0 ? -1 : readDecimal(c("keyset_function_combo").itemData(item));
    }
    int modifierOption() {
        for (int i = 0; i < kModifierOptionCount; ++i) {
            if (c("key_ComBox_check_" + std::to_string(i)).selected()) {
                return i;
            }
        }
        return -1;
    }
    // Picks function `f` in the list as the user does.
    void chooseFunction(int f) {
        for (int i = 0; i < c("keyset_function_combo").itemCount(); ++i) {
            if (c("keyset_function_combo").itemData(i) == std::to_string(f)) {
                c("keyset_function_combo").userSelectItem(i);
                panel_.OnFunctionSelected();
            }
        }
    }
    // Shows `a` on a key whose default is left click, then builds it again.
    KeyAssignment roundTrip(const KeyAssignment& a) {
        panel_.SetKey(profile::KeyListEntry{3, a, 3, KeyAssignment{0x10, 0x01, 0}});
        return panel_.BuildAssignment();
    }

    testing::Services services_;
    testing::FakeDevice device_;
    std::unique_ptr<ui::MemoryControl> root_;
    CKeySetControlUI panel_;
};

TEST_F(KeySetPanel, FunctionListCarriesFunctionNumbers) {
    ASSERT_EQ(c("keyset_function_combo").itemCount(), 11);
    for (int i = 0; i < 11; ++i) {
        EXPECT_EQ(c("keyset_function_combo").itemData(i), std::to_string(i + 1));
        EXPECT_TRUE(c("keyset_function_combo").itemVisible(i));
    }
    EXPECT_EQ(c("keyset_media_combo").itemCount(), 18);
    EXPECT_EQ(c("keyset_combokey_combo").itemText(4), "Copy");  // translated
    EXPECT_EQ(c("keyset_macro_over_combo").itemCount(), kRunModeCount);
}

TEST_F(KeySetPanel, KeyboardHasNoSensitivityOrGunKeys) {
    panel_.SetKind(1);
    for (int i = 0; i < 11; ++i) {
        const int f = i + 1;
        EXPECT_EQ(c("keyset_function_combo").itemVisible(i), f != 4 && f != 10) << f;
    }
    panel_.SetKind(2);
    EXPECT_TRUE(c("keyset_function_combo").itemVisible(3));
}

TEST_F(KeySetPanel, DefaultAssignmentOpensOnPageZero) {
    const KeyAssignment fallback{0x20, 0, 0x04};
    panel_.SetKey(profile::KeyListEntry{0, fallback, 0, fallback});
    EXPECT_FALSE(c("keyset_layout").visible());
    EXPECT_EQ(function(), -1);
    EXPECT_EQ(c("keyset_keyboard_text_edit").text(), "");
    EXPECT_EQ(panel_.BuildAssignment(), fallback);
}

TEST_F(KeySetPanel, EveryRowOfTheListPagesRoundTrips) {
    for (int f : {function::kMouseButton, function::kSensitivity, function::kMedia,
                  function::kSystem, function::kGun, function::kCombination}) {
        for (const KeyRow& row : tableForFunction(f)) {
            if (row.code == KeyAssignment{0x10, 0x01, 0}) {
                continue;  // the default: page 0
            }
            EXPECT_EQ(roundTrip(row.code), row.code) << f << ": " << row.languageKey;
            EXPECT_EQ(function(), f) << row.languageKey;
            EXPECT_TRUE(c("keyset_layout").visible());
            EXPECT_EQ(c("function_switch_tablayout").currentPage(), f);
        }
    }
}

TEST_F(KeySetPanel, SwingFieldsAndRoundTrip) {
    EXPECT_EQ(roundTrip({0x11, 0x35, 0x8A}), (KeyAssignment{0x11, 0x35, 0x8A}));
    EXPECT_EQ(function(), function::kSwing);
    EXPECT_EQ(c("keyset_mouseswing_delay_edit").text(), "3");
    EXPECT_EQ(c("keyset_mouseswing_speed_edit").text(), "5");
    EXPECT_EQ(c("keyset_mouseswing_num_edit").text(), "10");
    EXPECT_EQ(c("keyset_mouseswing_combo").currentIndex(), 1);

    // Built from what the user types.
    chooseFunction(function::kSwing);
    c("keyset_mouseswing_delay_edit").setText("3");
    c("keyset_mouseswing_speed_edit").setText("5");
    c("keyset_mouseswing_num_edit").setText("10");
    c("keyset_mouseswing_combo").userSelectItem(1);
    EXPECT_EQ(panel_.BuildAssignment(), (KeyAssignment{0x11, 0x35, 0x8A}));
    EXPECT_EQ(panel_.key().assignment, (KeyAssignment{0x11, 0x35, 0x8A}));
}

TEST_F(KeySetPanel, WheelBackwardsShowsItsCount) {
    EXPECT_EQ(roundTrip({0x12, 0x24, 0xFD}), (KeyAssignment{0x12, 0x24, 0xFD}));
    EXPECT_EQ(c("keyset_mousewheel_num_edit").text(), "3");
    EXPECT_EQ(c("keyset_mousewheel_combo").currentIndex(), 1);
    chooseFunction(function::kWheel);
    c("keyset_mousewheel_num_edit").setText("3");
    c("keyset_mousewheel_combo").userSelectItem(1);
    c("keyset_mousewheel_delay_edit").setText("0");
    c("keyset_mousewheel_speed_edit").setText("0");
    EXPECT_EQ(panel_.BuildAssignment(), (KeyAssignment{0x12, 0x00, 0xFD}));
    for (const KeyAssignment a : {KeyAssignment{0x12, 0xFF, 0x7F}, KeyAssignment{0x12, 0x11, 0x80},
                                  KeyAssignment{0x12, 0x01, 0x81}}) {
        EXPECT_EQ(roundTrip(a), a) << std::hex << a.packed();
    }
}

TEST_F(KeySetPanel, FireKey) {
    EXPECT_EQ(roundTrip({0x14, 0x78, 0x02}), (KeyAssignment{0x14, 0x78, 0x02}));
    EXPECT_EQ(c("keyset_mousefire_interval_edit").text(), "120");
    c("keyset_mousefire_interval_edit").setText("999");
    panel_.OnEditKillFocus("keyset_mousefire_interval_edit");
    EXPECT_EQ(c("keyset_mousefire_interval_edit").text(), "255");
}

TEST_F(KeySetPanel, KeyboardModifiers) {
    EXPECT_EQ(roundTrip({0x20, 0x01, 0x04}), (KeyAssignment{0x20, 0x01, 0x04}));
    EXPECT_EQ(modifierOption(), 1);
    EXPECT_EQ(c("keyset_keyboard_text_edit").text(), "A");
    EXPECT_EQ(function(), function::kKeyboard);

    // Two modifier bits cannot be shown: option 0, the key stays.
    EXPECT_EQ(roundTrip({0x20, 0x11, 0x04}), (KeyAssignment{0x20, 0x00, 0x04}));
    EXPECT_EQ(modifierOption(), 0);
    // A right modifier shows its option and comes back as the left one.
    EXPECT_EQ(roundTrip({0x20, 0x40, 0x2C}), (KeyAssignment{0x20, 0x04, 0x2C}));
    EXPECT_EQ(modifierOption(), 3);
    EXPECT_EQ(c("keyset_keyboard_text_edit").text(), "Space");
    // A modifier alone.
    EXPECT_EQ(roundTrip({0x20, 0x08, 0x00}), (KeyAssignment{0x20, 0x08, 0x00}));
    EXPECT_EQ(c("keyset_keyboard_text_edit").text(), "");
}

TEST_F(KeySetPanel, KeyboardKeyWithoutARowBecomesEmpty) {
    for (const KeyAssignment a : {KeyAssignment{0x20, 0, 0}, KeyAssignment{0x20, 0, 0xE8}}) {
        panel_.SetKey(profile::KeyListEntry{1, a, 1, KeyAssignment{0x10, 0x01, 0}});
        EXPECT_EQ(panel_.key().assignment, (KeyAssignment{0x20, 0, 0}));
        EXPECT_EQ(c("keyset_keyboard_text_edit").text(), "");
        EXPECT_EQ(modifierOption(), 0);
    }
}

TEST_F(KeySetPanel, CombinationPage) {
    EXPECT_EQ(roundTrip({0x20, 0x10, 0x06}), (KeyAssignment{0x20, 0x10, 0x06}));
    EXPECT_EQ(function(), function::kCombination);
    EXPECT_EQ(c("keyset_combokey_combo").currentIndex(), 4);
    EXPECT_EQ(c("function_switch_tablayout").currentPage(), function::kCombination);
    // The page itself, with nothing chosen.
    panel_.SetKey(profile::KeyListEntry{1, {0xB0, 0, 0}, 1, {0x10, 0x01, 0}});
    EXPECT_EQ(function(), function::kCombination);
    EXPECT_EQ(c("keyset_combokey_combo").currentIndex(), -1);
}

TEST_F(KeySetPanel, Macros) {
    EXPECT_EQ(roundTrip({0x70, 2, 3}), (KeyAssignment{0x70, 2, 3}));
    EXPECT_EQ(c("keyset_macro_combo").currentIndex(), 2);
    EXPECT_EQ(c("keyset_macro_over_combo").currentIndex(), 3);
    EXPECT_FALSE(c("keyset_macro_cycle_layout").visible());

    EXPECT_EQ(roundTrip({0x71, 1, 7}), (KeyAssignment{0x71, 1, 7}));
    EXPECT_EQ(c("keyset_macro_over_combo").currentIndex(), kRunModeRepeat);
    EXPECT_TRUE(c("keyset_macro_cycle_layout").visible());
    EXPECT_EQ(c("keyset_macro_cycle_edit").text(), "7");

    // Beyond the list: nothing selected, and building keeps the current assignment.
    EXPECT_EQ(roundTrip({0x70, 5, 1}), (KeyAssignment{0x70, 5, 1}));
    EXPECT_EQ(c("keyset_macro_combo").currentIndex(), -1);
    EXPECT_EQ(c("keyset_macro_over_combo").currentIndex(), -1);

    // Choosing repeat shows the count; the run mode list decides the type.
    c("keyset_macro_combo").userSelectItem(0);
    c("keyset_macro_over_combo").userSelectItem(kRunModeRepeat);
    panel_.OnRunModeSelected();
    EXPECT_TRUE(c("keyset_macro_cycle_layout").visible());
    c("keyset_macro_cycle_edit").setText("12");
    EXPECT_EQ(panel_.BuildAssignment(), (KeyAssignment{0x71, 0, 12}));
}

TEST_F(KeySetPanel, TypedKeysAreCapturedWhileTheFieldHasTheFocus) {
    panel_.SetKey(profile::KeyListEntry{2, {0x10, 0x02, 0}, 2, {0x10, 0x01, 0}});
    chooseFunction(function::kKeyboard);
    EXPECT_FALSE(panel_.OnKeyCaptured(30));  // no focus yet
    c("keyset_keyboard_text_edit").setFocus();
    EXPECT_TRUE(panel_.OnKeyCaptured(evdevCodeForX11Keycode(37)));  // left Ctrl
    EXPECT_TRUE(panel_.OnKeyCaptured(30));                          // A
    EXPECT_FALSE(panel_.OnKeyCaptured(115));                        // volume up: not a key
    EXPECT_FALSE(panel_.OnKeyCaptured(0));
    EXPECT_EQ(c("keyset_keyboard_text_edit").text(), "A");
    EXPECT_EQ(modifierOption(), 1);
    EXPECT_EQ(panel_.BuildAssignment(), (KeyAssignment{0x20, 0x01, 0x04}));
    // An emptied field means no key.
    c("keyset_keyboard_text_edit").setText("");
    EXPECT_EQ(panel_.BuildAssignment(), (KeyAssignment{0x20, 0x01, 0x00}));
}

TEST_F(KeySetPanel, ButtonsHandTheResultToTheDevice) {
    panel_.SetKey(profile::KeyListEntry{6, {0x10, 0x02, 0}, 6, {0x10, 0x01, 0}});
    chooseFunction(function::kMouseButton);
    c("keyset_mousekey_combo").userSelectItem(1);
    panel_.SaveKey();
    ASSERT_EQ(device_.stored.size(), 1u);
    EXPECT_EQ(device_.stored[0].first, 6u);
    EXPECT_EQ(device_.stored[0].second, (KeyAssignment{0x10, 0x04, 0}));
    EXPECT_FALSE(root_->visible());

    panel_.Open();
    panel_.Cancel();
    EXPECT_EQ(c("keyset_mousekey_combo").currentIndex(), 1);  // the current one again
    EXPECT_FALSE(root_->visible());
    panel_.RestoreDefault();
    EXPECT_FALSE(c("keyset_layout").visible());
    EXPECT_EQ(device_.stored.size(), 1u);
}

TEST_F(KeySetPanel, SavingToTheDeviceTellsWhenMacrosDoNotFit) {
    device_.uploadResult = 3;
    panel_.SaveToDevice();
    device_.uploadResult = -1;
    panel_.SaveToDevice();
    device_.uploadResult = 0;
    panel_.SaveToDevice();
    const auto& shown = services_.messages.presented();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].text, "Too large by 3 units");
    EXPECT_FALSE(shown[0].textIsKey);
    EXPECT_EQ(shown[1].text, "message_text_7");
    EXPECT_TRUE(shown[1].textIsKey);
    EXPECT_EQ(device_.calls, (std::vector<std::string>{"upload", "keys", "save", "upload", "keys",
                                                       "save", "upload", "keys", "save"}));
}

TEST_F(KeySetPanel, NumberFieldsAreLimited) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"keyset_mouseswing_delay_edit", "15"},
        {"keyset_mouseswing_num_edit", "127"},
        {"keyset_mousewheel_num_edit", "128"},
        {"keyset_macro_cycle_edit", "255"},
    };
    for (const auto& [name, limit] : cases) {
        c(name).setText("70000");
        panel_.OnEditKillFocus(name);
        EXPECT_EQ(c(name).text(), limit) << name;
        c(name).setText("-4x");
        panel_.OnEditKillFocus(name);
        EXPECT_EQ(c(name).text(), "0") << name;
    }
}

TEST(KeySetPanelWithoutSkin, MissingControlsAreTolerated) {
    testing::Services services;
    ui::MemoryControl root("Container", "empty");
    CKeySetControlUI panel(&root, services.bundle());
    panel.SetKind(1);
    panel.SetMacroNames({"a"});
    panel.SetKey(profile::KeyListEntry{0, {0x20, 0x01, 0x04}, 0, {}});
    EXPECT_EQ(panel.BuildAssignment(), KeyAssignment{});
    EXPECT_FALSE(panel.OnKeyCaptured(30));
    panel.SaveKey();
    panel.SaveToDevice();
}

}  // namespace
}  // namespace korvane::keys::panels
