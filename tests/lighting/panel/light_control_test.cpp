// The lighting panel: the layout of every kind and mode, showing a record, the mode list, and
// what the panel does without its controls.
#include "lighting/panel/light_control.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>

#include "lighting/panel/panel_layout.h"
#include "tests/lighting/panel/light_test_support.h"
#include "ui/argb_text.h"

namespace korvane::lighting::panel {
namespace {

using test::makePanelTree;

// The layout tables, written out once more in their own compact form: the columns 7C, Col,
// Pal, Li, Sp, Fx, LC as '1', '0' or '-' (unchanged), then the extras.
struct Expected {
    std::string columns;
    bool sameMode = false;
    std::string fxLeft = {};  // empty: the kind's default texts
    std::string fxRight = {};
    bool speedHidden = false;
    bool zzcc = false;
    bool custom = false;
    bool audio = false;
    int page = 0;
};

struct TableRow {
    std::set<int> modes;  // empty: every mode the other rows do not name
    Expected expected;
};

Expected cols(const char* columns, bool sameMode = false) {
    return Expected{.columns = columns, .sameMode = sameMode};
}

Expected fxTexts(const char* columns, const char* left, const char* right) {
    return Expected{.columns = columns, .fxLeft = left, .fxRight = right};
}

const std::vector<TableRow>& keyboardTable() {
    constexpr bool S = true;
    static const std::vector<TableRow> rows = {
        {{1, 2}, cols("11111--")},
        {{3, 24}, fxTexts("11111--", "light_set_clockwise_text", "light_set_anticlockwise_text")},
        {{4}, cols("0001100", S)},
        {{5, 8, 10, 13, 14, 23, 25}, cols("111110-", S)},
        {{6}, cols("111100-", S)},
        {{7, 9, 15, 22}, cols("111110-")},
        {{11, 27}, cols("0001100")},
        {{12}, fxTexts("00011-1", "light_set_down_to_up_text", "light_set_up_to_down_text")},
        {{16}, cols("111100-")},
        {{17}, Expected{.columns = "0001100", .speedHidden = true, .zzcc = true}},
        {{18},
         fxTexts("0001011", "light_set_outside_to_inside_text",
                 "light_set_inside_to_outside_text")},
        {{20}, Expected{.columns = "011100-", .speedHidden = true, .custom = true}},
        {{21}, fxTexts("11111--", "light_set_up_to_down_text", "light_set_down_to_up_text")},
        {{26}, cols("1111101")},
        {{28}, cols("000000-", S)},
        {{29}, Expected{.columns = "11110--", .speedHidden = true, .audio = true, .page = 1}},
        {{30}, cols("0001000")},
        {{}, cols("000000-")},
    };
    return rows;
}

const std::vector<TableRow>& mouseTable() {
    constexpr bool S = true;
    static const std::vector<TableRow> rows = {
        {{0, 5}, cols("11111--")}, {{1}, cols("000110-", S)}, {{2, 4, 6}, cols("111110-", S)},
        {{3}, cols("011100-", S)}, {{7, 8}, cols("000110-")}, {{9}, cols("000000-", S)},
        {{}, cols("000000-")},
    };
    return rows;
}

const std::vector<TableRow>& padTable() {
    constexpr bool S = true;
    static const std::vector<TableRow> rows = {
        {{0}, cols("11111--")},    {{1}, cols("000110-", S)}, {{2, 4}, cols("111110-", S)},
        {{3}, cols("011100-", S)}, {{8}, cols("000000-", S)}, {{}, cols("000000-")},
    };
    return rows;
}

const Expected& expectedFor(const std::vector<TableRow>& table, int mode) {
    for (const TableRow& row : table) {
        if (row.modes.empty() || row.modes.count(mode) != 0) {
            return row.expected;
        }
    }
    return table.back().expected;
}

const char* const kColumns[] = {"deng_7color_check", "deng_color_layout", "colorpallet_layout",
                                "deng_light_layout", "deng_speed_layout", "deng_fx_layout",
                                "light_color_layout"};
const char* const kKeyboardRows[] = {"lightcustom_layout", "light_combo_ZZCCmodeSelectLayout",
                                     "light_combo_AudiomodeSelectLayout"};

// Puts every control the layout touches into one state, so that what the layout leaves alone
// shows.
void setPrior(ui::Control& root, bool state) {
    for (const char* name : kColumns) {
        root.find(name)->setEnabled(state);
    }
    for (const char* name : kKeyboardRows) {
        root.find(name)->setVisible(state);
    }
    root.find("deng_speed_layout")->setVisible(state);
    root.find("lighteffect_layout")->setEnabled(false);
    root.find("deng_same_mode")->setVisible(true);
    root.find("deng_FXL_check")->setText("prior");
    root.find("deng_FXR_check")->setText("prior");
    root.find("light_color_tablayout")->selectPage(1);
}

TEST(LightPanelLayout, EveryKindAndModeFollowsItsRow) {
    struct Kind {
        LightKind kind;
        const std::vector<TableRow>* table;
    };
    const Kind kinds[] = {{LightKind::Keyboard, &keyboardTable()},
                          {LightKind::Mouse, &mouseTable()},
                          {LightKind::MousePad, &padTable()},
                          {LightKind::Headset, &padTable()}};
    for (const Kind& k : kinds) {
        auto tree = makePanelTree();
        CLightControlUI panel(tree.get());
        panel.SetLightKind(k.kind);
        const bool keyboard = k.kind == LightKind::Keyboard;
        for (int mode = 0; mode <= 40; ++mode) {
            const Expected& want = expectedFor(*k.table, mode);
            for (bool prior : {false, true}) {
                for (int available : {0, 1}) {
                    SCOPED_TRACE(::testing::Message()
                                 << "kind " << static_cast<int>(k.kind) << " mode " << mode
                                 << " prior " << prior << " sync " << available);
                    setPrior(*tree, prior);
                    panel.SetSyncAvailable(available);
                    panel.ApplyLayout(mode);

                    EXPECT_TRUE(tree->find("lighteffect_layout")->enabled());
                    for (std::size_t c = 0; c < std::size(kColumns); ++c) {
                        const char column = want.columns[c];
                        bool expected = column == '1';
                        if (column == '-') {
                            // Fx starts enabled for every kind, LC for the keyboard.
                            expected = c == 5 || (c == 6 && keyboard) ? true : prior;
                        }
                        EXPECT_EQ(tree->find(kColumns[c])->enabled(), expected) << kColumns[c];
                    }
                    EXPECT_EQ(tree->find("deng_same_mode")->visible(),
                              want.sameMode && available != 0);
                    if (keyboard) {
                        EXPECT_EQ(tree->find("lightcustom_layout")->visible(), want.custom);
                        EXPECT_EQ(tree->find("light_combo_ZZCCmodeSelectLayout")->visible(),
                                  want.zzcc);
                        EXPECT_EQ(tree->find("light_combo_AudiomodeSelectLayout")->visible(),
                                  want.audio);
                        EXPECT_EQ(tree->find("deng_speed_layout")->visible(), !want.speedHidden);
                        EXPECT_EQ(tree->find("light_color_tablayout")->currentPage(), want.page);
                        const std::string left =
                            want.fxLeft.empty() ? "light_set_right_to_left_text" : want.fxLeft;
                        const std::string right =
                            want.fxRight.empty() ? "light_set_left_to_right_text" : want.fxRight;
                        EXPECT_EQ(tree->find("deng_FXL_check")->text(), left);
                        EXPECT_EQ(tree->find("deng_FXR_check")->text(), right);
                    } else {
                        // The keyboard's extras are left alone.
                        for (const char* name : kKeyboardRows) {
                            EXPECT_EQ(tree->find(name)->visible(), prior) << name;
                        }
                        EXPECT_EQ(tree->find("deng_speed_layout")->visible(), prior);
                        EXPECT_EQ(tree->find("deng_FXL_check")->text(), "prior");
                        EXPECT_EQ(tree->find("light_color_tablayout")->currentPage(), 1);
                    }
                }
            }
        }
    }
}

TEST(LightPanelLayout, AnUnknownKindChangesNothing) {
    auto tree = makePanelTree();
    CLightControlUI panel(tree.get());
    setPrior(*tree, false);
    panel.SetSyncAvailable(1);
    panel.ApplyLayout(2);
    EXPECT_FALSE(tree->find("lighteffect_layout")->enabled());
    EXPECT_FALSE(tree->find("deng_fx_layout")->enabled());
    EXPECT_TRUE(tree->find("deng_same_mode")->visible());
}

TEST(LightPanelLayout, SyncAvailabilityKeepsTheLowByteAndReappliesTheCurrentMode) {
    test::DeviceWithPanel d(LightKind::Mouse);
    d.panel.SelectMode(3);  // an S row
    auto& same = d.control("deng_same_mode");
    EXPECT_FALSE(same.visible());
    d.panel.SetSyncAvailable(1);
    EXPECT_TRUE(same.visible());
    d.panel.SetSyncAvailable(0x100);
    EXPECT_FALSE(d.panel.syncAvailable());
    EXPECT_FALSE(same.visible());
    d.panel.SetSyncAvailable(0x101);
    EXPECT_TRUE(same.visible());
    d.panel.SelectMode(7);  // not an S row
    EXPECT_FALSE(same.visible());
}

TEST(LightPanel, ShowsAWholeRecord) {
    test::DeviceWithPanel d(LightKind::Keyboard);
    d.control("light_combo_custommodeSelect").selectItem(5, ui::Notify::No);
    LightEffect e;
    e.SelectItem = 17;
    e.Light = 3;
    e.Speed = 1;
    e.Fx = 0;
    e.MultiColor = 1;
    e.Red = 0x12;
    e.Green = 0xAB;
    e.Blue = 7;
    e.ZZCCLedMode = 2;
    e.CustomGroup = 1;  // word 4 is not shown
    e.OldLedmode = 9;
    d.panel.ShowLightEffect(packLightEffect(e));

    EXPECT_EQ(d.panel.GetMode(), 17);
    EXPECT_EQ(d.panel.GetLight(), 3);
    EXPECT_EQ(d.panel.GetSpeed(), 1);
    EXPECT_EQ(d.panel.GetRedText(), "18");
    EXPECT_EQ(d.panel.GetGreenText(), "171");
    EXPECT_EQ(d.panel.GetBlueText(), "7");
    EXPECT_EQ(d.panel.GetPaletteColour(), 0xFF12AB07u);
    EXPECT_EQ(d.control("deng_Color_Pallet").attribute("selectcolor"), "#FF12AB07");
    EXPECT_EQ(d.control("deng_colordp_btn").backgroundColour(), 0xFF12AB07u);
    EXPECT_TRUE(d.panel.GetMultiColour());
    EXPECT_EQ(d.panel.GetZZCCMode(), 2);
    EXPECT_EQ(d.panel.GetCustomMode(), 5);
    EXPECT_FALSE(d.control("deng_FXL_check").selected());
    EXPECT_TRUE(d.control("deng_FXR_check").selected());
    // Mode 17's layout, applied after the direction options were set.
    EXPECT_TRUE(d.control("light_combo_ZZCCmodeSelectLayout").visible());
    EXPECT_FALSE(d.control("deng_speed_layout").visible());
    EXPECT_FALSE(d.control("deng_fx_layout").enabled());

    e.Fx = 1;
    e.MultiColor = 0;
    d.panel.ShowLightEffect(packLightEffect(e));
    EXPECT_TRUE(d.control("deng_FXL_check").selected());
    EXPECT_FALSE(d.control("deng_FXR_check").selected());
    EXPECT_FALSE(d.panel.GetMultiColour());
}

TEST(LightPanel, ShowingARecordSendsNoNotification) {
    test::DeviceWithPanel d(LightKind::Mouse);
    int notifications = 0;
    d.tree->setNotificationHandler([&](const ui::Notification&) { ++notifications; });
    LightEffect e{.SelectItem = 2, .Light = 4, .Speed = 4, .Fx = 1, .MultiColor = 1};
    d.panel.ShowLightEffect(packLightEffect(e));
    e.Fx = 0;
    d.panel.ShowLightEffect(packLightEffect(e));
    EXPECT_EQ(notifications, 0);
}

TEST(LightPanel, ModeListShowsLanguageTextsAndHidesInvisibleModes) {
    auto tree = makePanelTree();
    ui::Language language;
    ASSERT_TRUE(language.loadFromText(R"({"light_mode_wave": "Wave", "light_mode_off": "Off"})"));
    CLightControlUI panel(tree.get(), &language);
    panel.SetModeList({"light_mode_wave", "light_mode_none", "light_mode_off"}, {true, false}, 5,
                      4);
    ui::Control* combo = tree->find("light_combo_modeSelect");
    ASSERT_EQ(combo->itemCount(), 3);
    EXPECT_EQ(combo->itemText(0), "Wave");
    EXPECT_EQ(combo->itemData(0), "light_mode_wave");
    EXPECT_EQ(combo->itemText(1), "light_mode_none");  // no text: the key
    EXPECT_TRUE(combo->itemVisible(0));
    EXPECT_FALSE(combo->itemVisible(1));
    EXPECT_TRUE(combo->itemVisible(2));  // no visibility given
    EXPECT_EQ(tree->find("deng_light_slider")->maximum(), 5);
    EXPECT_EQ(tree->find("deng_speed_slider")->maximum(), 4);

    // A hidden mode still shows when a profile holds it.
    panel.SelectMode(1);
    EXPECT_EQ(panel.GetMode(), 1);

    // A refill replaces the items.
    panel.SetModeList({"light_mode_off"}, {true}, 4, 3);
    EXPECT_EQ(combo->itemCount(), 1);
    EXPECT_EQ(tree->find("deng_light_slider")->maximum(), 4);
}

TEST(LightPanel, SubCombosAreFilledWithTheirTexts) {
    auto tree = makePanelTree();
    ui::Language language;
    ASSERT_TRUE(language.loadFromText(R"({"light_custom_group_0": "Group 1"})"));
    CLightControlUI panel(tree.get(), &language);
    EXPECT_EQ(tree->find("light_combo_ZZCCmodeSelect")->itemCount(), 4);
    ui::Control* custom = tree->find("light_combo_custommodeSelect");
    ASSERT_EQ(custom->itemCount(), 8);
    EXPECT_EQ(custom->itemText(0), "Group 1");
    EXPECT_EQ(custom->itemText(7), "light_custom_group_7");
    custom->selectItem(3, ui::Notify::No);
    panel.ApplyLanguage();  // keeps the selection
    EXPECT_EQ(panel.GetCustomMode(), 3);
}

TEST(LightPanel, MissingControlsGiveNeutralValuesAndSettersDoNothing) {
    ui::MemoryControl empty("LightControl", "LightControlItem");
    for (ui::Control* root :
         {static_cast<ui::Control*>(&empty), static_cast<ui::Control*>(nullptr)}) {
        CLightControlUI panel(root);
        panel.SetLightKind(LightKind::Keyboard);
        panel.SetModeList({"a", "b"}, {true, true}, 5, 4);
        panel.ShowLightEffect(LightWords{0x01020304, 0x05060708, 0, 0});
        panel.SetSyncAvailable(1);
        panel.SetPaletteColour(0xFF112233);
        panel.SetFx(1);
        EXPECT_EQ(panel.GetMode(), -1);
        EXPECT_EQ(panel.GetLight(), 0);
        EXPECT_EQ(panel.GetSpeed(), 0);
        EXPECT_EQ(panel.GetRedText(), "");
        EXPECT_EQ(panel.GetGreenText(), "");
        EXPECT_EQ(panel.GetBlueText(), "");
        EXPECT_EQ(panel.GetPaletteColour(), 0xFF000000u);
        EXPECT_FALSE(panel.GetMultiColour());
        EXPECT_EQ(panel.GetZZCCMode(), -1);
        EXPECT_EQ(panel.GetCustomMode(), -1);
        EXPECT_EQ(panel.GetColourOption(3), 0u);
    }
}

TEST(LightPanel, PresetColoursAreTheOptionsBackgrounds) {
    auto tree = makePanelTree();
    CLightControlUI panel(tree.get());
    EXPECT_EQ(panel.GetColourOption(0), 0xFFFF0000u);
    EXPECT_EQ(panel.GetColourOption(5), 0xFF0000FFu);
    EXPECT_EQ(panel.GetColourOption(8), 0u);
    EXPECT_EQ(panel.GetColourOption(-1), 0u);
}

TEST(LightPanel, AControlThatGoesAwayIsNotTouchedAgain) {
    auto tree = makePanelTree();
    CLightControlUI panel(tree.get());
    panel.SetLight(3);
    ui::Control* layout = tree->find("deng_light_layout");
    auto* effect = static_cast<ui::MemoryControl*>(tree->find("lighteffect_layout"));
    auto removed = effect->take(layout);
    removed.reset();  // the slider is gone with its layout
    panel.SetLight(2);
    EXPECT_EQ(panel.GetLight(), 0);
}

}  // namespace
}  // namespace korvane::lighting::panel
