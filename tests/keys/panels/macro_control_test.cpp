#include "keys/panels/macro_control.h"

#include <gtest/gtest.h>

#include "keys/macro_files.h"
#include "tests/keys/panels/panel_test_support.h"

namespace korvane::keys::panels {
namespace {

using korvane::testing::readText;
using korvane::testing::writeText;
using testing::buildPanel;
using testing::child;

class MacroPanel : public ::testing::Test {
  protected:
    MacroPanel()
        : root_(buildPanel(kMacroControlSkin, 0)),
          panel_(root_.get(), services_.bundle(), &device_) {
        panel_.SetFolder(device_.folder.path());
    }

    ui::MemoryControl& c(std::string_view name) { return child(*root_, name); }
    const std::filesystem::path& folder() { return device_.folder.path(); }

    // macro.config with these names (identifiers g0, g1, …), each with `events` key events.
    void writeMacros(const std::vector<std::string>& names, int events = 0) {
        for (std::size_t i = 0; i < names.size(); ++i) {
            const std::string guid = "g" + std::to_string(i);
            ASSERT_TRUE(writeMacroListEntry(folder(), i, {names[i], guid}));
            std::vector<Json::Value> rows;
            for (int e = 0; e < events; ++e) {
                rows.push_back(eventToJson({10, uint8_t(4 + e % 20), e % 2 == 0, uint16_t(e)}));
            }
            ASSERT_TRUE(writeMacroFile(folder() / (guid + ".mac"), names[i], guid, rows));
        }
    }
    std::vector<std::string> listTexts() {
        std::vector<std::string> texts;
        for (int i = 0; i < c("macro_name_list").itemCount(); ++i) {
            texts.push_back(c("macro_name_list").itemText(i));
        }
        return texts;
    }
    Json::Value savedEvents(int macro) {
        const auto file = panel_.library().eventFile(static_cast<std::size_t>(macro));
        return files::ReadJsonDocument(*file)["Events"];
    }

    testing::Services services_;
    testing::FakeDevice device_;
    std::unique_ptr<ui::MemoryControl> root_;
    CMacroControlUI panel_;
};

TEST_F(MacroPanel, LoadsTheListAndTheFirstMacrosEvents) {
    writeMacros({"one", "two"}, 3);
    panel_.LoadList();
    EXPECT_EQ(listTexts(), (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(c("macro_name_list").itemData(1), "g1");
    EXPECT_EQ(panel_.SelectedMacro(), 0);
    ASSERT_EQ(panel_.EventCount(), 3);
    EXPECT_EQ(c("macro_action_list").itemText(0), "A  down  0 ms");
    EXPECT_EQ(c("macro_action_list").itemData(1),
              R"({"Action":"up","Button":5,"Delay":"1","Type":10})");
    EXPECT_TRUE(c("macro_btn_name_sub").enabled());
}

TEST_F(MacroPanel, AddNamesTheFirstFreeNumber) {
    writeMacros({"macro_1", "macro_3"});
    panel_.LoadList();
    EXPECT_EQ(panel_.Add(), "macro_2");
    EXPECT_EQ(panel_.SelectedMacro(), 2);
    EXPECT_EQ(panel_.Add(), "macro_4");
    EXPECT_EQ(readMacroList(folder()).size(), 4u);
    EXPECT_EQ(device_.calls, (std::vector<std::string>{"names", "names"}));
}

TEST_F(MacroPanel, RenameSaysWhyNot) {
    writeMacros({"one", "two"});
    panel_.LoadList();
    c("macro_edit_macroname").setText("  ");
    EXPECT_EQ(panel_.Rename(), "IsEmpty");
    c("macro_edit_macroname").setText("TWO");
    EXPECT_EQ(panel_.Rename(), "");
    c("macro_edit_macroname").setText("three");
    EXPECT_EQ(panel_.Rename(), "three");
    EXPECT_EQ(c("macro_edit_macroname").text(), "");
    EXPECT_EQ(listTexts(), (std::vector<std::string>{"three", "two"}));
    EXPECT_EQ(readMacroList(folder())[0].name, "three");
}

TEST_F(MacroPanel, DeleteRenumbersTheOtherProfiles) {
    writeMacros({"m0", "m1", "m2"});
    const KeyAssignment def{0x10, 0x01, 0};
    const std::vector<std::pair<KeyAssignment, KeyAssignment>> keys = {
        {{0x70, 1, 2}, def}, {{0x71, 2, 5}, def}, {{0x70, 0, 1}, def}, {{0x20, 0, 4}, def}};
    const auto selected = device_.addProfile("selected", keys);
    const auto other = device_.addProfile("other", keys);
    const auto untouched = device_.addProfile("untouched", {{{0x70, 0, 0}, def}});
    const auto gone = device_.folder / "gone.Json";
    device_.profiles.push_back(gone);
    device_.profile.setProfileFilePath(selected);
    const std::string selectedBefore = readText(selected);
    const std::string untouchedBefore = readText(untouched);
    panel_.LoadList();

    // Cancelled: nothing happens.
    c("macro_name_list").selectItem(1, ui::Notify::No);
    EXPECT_FALSE(panel_.Delete());
    EXPECT_EQ(readMacroList(folder()).size(), 3u);

    services_.messages.setDefaultAnswer(1);
    ASSERT_TRUE(panel_.Delete());
    EXPECT_EQ(services_.messages.presented().back().text, "message_text_4");
    EXPECT_EQ(listTexts(), (std::vector<std::string>{"m0", "m2"}));
    EXPECT_EQ(panel_.SelectedMacro(), 0);
    EXPECT_FALSE(std::filesystem::exists(folder() / "g1.mac"));

    const Json::Value list = files::ReadJsonDocument(other)["Device"][0]["KeyList"];
    EXPECT_EQ(list[0]["Assignment"].asUInt(), def.packed());                          // was macro 1
    EXPECT_EQ(list[1]["Assignment"].asUInt(), (KeyAssignment{0x71, 1, 5}.packed()));  // was 2
    EXPECT_EQ(list[2]["Assignment"].asUInt(), (KeyAssignment{0x70, 0, 1}.packed()));
    EXPECT_EQ(list[3]["Assignment"].asUInt(), (KeyAssignment{0x20, 0, 4}.packed()));
    EXPECT_EQ(files::ReadJsonDocument(other)["profilename"].asString(), "other");
    // The selected profile is the device's to change; unchanged profiles are not rewritten,
    // and a listed profile that is gone is not created.
    EXPECT_EQ(readText(selected), selectedBefore);
    EXPECT_EQ(readText(untouched), untouchedBefore);
    EXPECT_FALSE(std::filesystem::exists(gone));
    EXPECT_EQ(device_.calls, (std::vector<std::string>{"deleted 1"}));
}

TEST_F(MacroPanel, DeletingTheLastMacroDisablesItsControls) {
    writeMacros({"only"}, 2);
    panel_.LoadList();
    services_.messages.setDefaultAnswer(1);
    ASSERT_TRUE(panel_.Delete());
    EXPECT_EQ(panel_.EventCount(), 0);
    for (const char* name : {"macro_action_layout", "mouse_move_layout", "macro_btn_export",
                             "macro_btn_name_sub", "macro_btn_name_edit"}) {
        EXPECT_FALSE(c(name).enabled()) << name;
    }
    EXPECT_FALSE(panel_.Delete());  // nothing selected: not even a question
    EXPECT_EQ(services_.messages.presented().size(), 1u);
    panel_.Add();
    EXPECT_TRUE(c("macro_btn_name_sub").enabled());
}

TEST_F(MacroPanel, SaveWritesDelaysAsDecimalText) {
    writeMacros({"m"}, 3);
    panel_.LoadList();
    c("macro_action_list").userSelectItem(0);
    panel_.OnEventSelected();
    EXPECT_EQ(c("macro_delay").text(), "0");
    c("macro_delay").setText("");
    panel_.OnDelayEdited();
    c("macro_action_list").userSelectItem(1);
    panel_.OnEventSelected();
    c("macro_delay").setText("12a34567");
    panel_.OnDelayEdited();
    EXPECT_EQ(c("macro_delay").text(), "65535");  // "123456" is above the limit
    c("macro_action_list").userSelectItem(2);
    panel_.OnEventSelected();
    c("macro_delay").setText("0042");
    panel_.OnDelayEdited();
    ASSERT_TRUE(panel_.Save());

    const Json::Value events = savedEvents(0);
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0]["Delay"].asString(), "0");
    EXPECT_EQ(events[1]["Delay"].asString(), "65535");
    EXPECT_EQ(events[2]["Delay"].asString(), "42");
    EXPECT_EQ(events[2]["Button"].asInt(), 6);
    EXPECT_EQ(files::ReadJsonDocument(*panel_.library().eventFile(0))["Version"].asInt(), 64);
}

TEST_F(MacroPanel, StoredDelaysAboveTheLimitShowAsTheLimit) {
    writeMacros({"m"});
    writeText(folder() / "g0.mac",
              R"({"Events":[{"Type":10,"Button":4,"Action":"down","Delay":"99999"}]})");
    panel_.LoadList();
    EXPECT_EQ(panel_.DelayAt(0), "65535");
}

TEST_F(MacroPanel, EditingMovesAndDeletesRows) {
    writeMacros({"m"}, 4);  // buttons 4, 5, 6, 7
    panel_.LoadList();
    auto buttons = [&] {
        std::vector<int> b;
        for (int i = 0; i < panel_.EventCount(); ++i) {
            b.push_back(panel_.EventAt(i)->button);
        }
        return b;
    };
    c("macro_action_list").userSelectItem(2);
    panel_.MoveUp();
    EXPECT_EQ(buttons(), (std::vector<int>{4, 6, 5, 7}));
    EXPECT_EQ(panel_.SelectedEvent(), 1);
    panel_.MoveTop();
    EXPECT_EQ(buttons(), (std::vector<int>{6, 4, 5, 7}));
    panel_.MoveTop();  // already first: nothing
    panel_.MoveBottom();
    EXPECT_EQ(buttons(), (std::vector<int>{4, 5, 7, 6}));
    EXPECT_EQ(panel_.SelectedEvent(), 3);
    panel_.MoveDown();  // already last
    c("macro_action_list").userSelectItem(0);
    panel_.MoveDown();
    EXPECT_EQ(buttons(), (std::vector<int>{5, 4, 7, 6}));
    panel_.DeleteEvent();
    EXPECT_EQ(buttons(), (std::vector<int>{5, 7, 6}));
    EXPECT_EQ(c("macro_action_list").itemCount(), 3);
    panel_.Cancel();
    EXPECT_EQ(buttons(), (std::vector<int>{4, 5, 6, 7}));
    panel_.DeleteAll();
    EXPECT_EQ(panel_.EventCount(), 0);
}

TEST_F(MacroPanel, InsertedMovementsAndMenuClicks) {
    writeMacros({"m"}, 2);
    panel_.LoadList();
    c("macro_action_list").userSelectItem(0);
    c("mouse_x_left_edit").setText("300");
    ASSERT_TRUE(panel_.InsertMove(CMacroControlUI::Direction::Left));
    EXPECT_EQ(panel_.EventAt(1), (MacroEvent{4, 255, true, 0}));
    c("macro_check_time").setSelected(true);
    c("macro_fixed_time_edit").setText("80000");
    c("mouse_y_down_edit").setText("9");
    ASSERT_TRUE(panel_.InsertMove(CMacroControlUI::Direction::Down));
    EXPECT_EQ(panel_.EventAt(2), (MacroEvent{5, 9, false, 65535}));
    EXPECT_EQ(c("macro_fixed_time_edit").text(), "65535");

    c("macro_fixed_time_edit").setText("20");
    ASSERT_TRUE(panel_.AddMouseEvents("forward_click"));
    EXPECT_EQ(panel_.EventAt(3), (MacroEvent{1, 0x10, true, 20}));
    EXPECT_EQ(panel_.EventAt(4), (MacroEvent{1, 0x10, false, 20}));
    EXPECT_FALSE(panel_.AddMouseEvents("wheel_click"));
    EXPECT_FALSE(panel_.AddMouseEvents("left_press"));
    EXPECT_EQ(panel_.EventCount(), 6);
    EXPECT_EQ(panel_.EventAt(5)->button, 5);  // the original second row, still last
}

TEST_F(MacroPanel, NoMoreThanFourThousandEvents) {
    writeMacros({"m"}, kMaxMacroEvents - 1);
    panel_.LoadList();
    ASSERT_EQ(panel_.EventCount(), kMaxMacroEvents - 1);
    EXPECT_FALSE(panel_.AddMouseEvents("left_click"));  // two do not fit
    ASSERT_TRUE(panel_.InsertMove(CMacroControlUI::Direction::Up));
    EXPECT_EQ(panel_.EventCount(), kMaxMacroEvents);
    EXPECT_FALSE(panel_.InsertMove(CMacroControlUI::Direction::Up));
    EXPECT_FALSE(panel_.AddMouseEvents("left_up"));
    panel_.SetRecording(true);
    EXPECT_FALSE(panel_.RecordEvent({10, 4, true, 0}, CMacroControlUI::Place::Append, 1, 0));
    EXPECT_EQ(panel_.EventCount(), kMaxMacroEvents);
    ASSERT_TRUE(panel_.Save());
    EXPECT_EQ(savedEvents(0).size(), std::size_t(kMaxMacroEvents));
}

TEST_F(MacroPanel, RecordingFillsInTheDelays) {
    writeMacros({"m"});
    panel_.LoadList();
    EXPECT_EQ(panel_.StartRecording(), 1);
    EXPECT_FALSE(c("macro_action_list").enabled());
    EXPECT_FALSE(c("macro_name_tab").enabled());
    EXPECT_FALSE(c("macro_btn_starredio").visible());
    EXPECT_TRUE(c("macro_btn_stopredio").visible());
    const MacroEvent keys[] = {{10, 4, true, 0}, {10, 5, true, 0}, {10, 6, true, 0}};
    std::int64_t tick = 1000;
    for (const MacroEvent& key : keys) {
        ASSERT_TRUE(panel_.RecordEvent(key, CMacroControlUI::Place::Append, 1, tick));
        tick += 250;
    }
    EXPECT_EQ(panel_.DelayAt(0), "250");
    EXPECT_EQ(panel_.DelayAt(1), "250");
    EXPECT_EQ(panel_.DelayAt(2), "0");
    panel_.StopRecording();
    EXPECT_TRUE(c("macro_action_list").enabled());
    EXPECT_TRUE(c("macro_btn_starredio").visible());
    EXPECT_EQ(savedEvents(0).size(), 3u);
}

TEST_F(MacroPanel, RecordingBeforeAfterAndReplace) {
    writeMacros({"m"}, 2);  // buttons 4 (down), 5 (up)
    panel_.LoadList();
    c("macro_check_time").setSelected(true);
    c("macro_fixed_time_edit").setText("30");
    EXPECT_EQ(panel_.StartRecording(), 2);
    c("macro_action_list").selectItem(1, ui::Notify::No);
    using Place = CMacroControlUI::Place;
    ASSERT_TRUE(panel_.RecordEvent({10, 20, true, 0}, Place::Before, 2, 0));
    ASSERT_TRUE(panel_.RecordEvent({10, 21, true, 0}, Place::Before, 2, 5));
    EXPECT_EQ(panel_.SelectedEvent(), 3);  // the selected row moved down and stays selected
    EXPECT_EQ(panel_.EventAt(1)->button, 20);
    EXPECT_EQ(panel_.EventAt(2)->button, 21);
    EXPECT_EQ(panel_.DelayAt(1), "30");
    EXPECT_EQ(panel_.EventAt(3)->button, 5);

    c("macro_action_list").selectItem(0, ui::Notify::No);
    ASSERT_TRUE(panel_.RecordEvent({1, 2, true, 0}, Place::After, 3, 10));
    ASSERT_TRUE(panel_.RecordEvent({1, 2, false, 0}, Place::After, 3, 20));
    EXPECT_EQ(panel_.EventAt(1), (MacroEvent{1, 2, true, 0}));
    EXPECT_EQ(panel_.EventAt(2), (MacroEvent{1, 2, false, 0}));

    c("macro_action_list").selectItem(0, ui::Notify::No);
    const std::string delay = panel_.DelayAt(0);
    ASSERT_TRUE(panel_.RecordEvent({9, 0x02, false, 0}, Place::Replace, 3, 30));
    EXPECT_EQ(panel_.EventAt(0)->type, 9);
    EXPECT_EQ(panel_.EventAt(0)->button, 0x02);
    EXPECT_EQ(panel_.DelayAt(0), delay);
    EXPECT_EQ(panel_.EventCount(), 6);
}

TEST_F(MacroPanel, ImportAndExportThroughTheDialogs) {
    writeMacros({"combo"}, 1);
    panel_.LoadList();
    korvane::testing::TempFolder outside;
    writeText(outside / "combo.mac",
              R"({"Events":[{"Type":10,"Button":9,"Action":"down","Delay":"7"}]})");
    writeText(outside / "broken.mac", R"({"Events":[{"Type":"ten"}]})");

    services_.files.setDefaultAnswer(outside / "combo.mac");
    EXPECT_EQ(panel_.ImportWithDialog(), "combo_2");
    EXPECT_EQ(panel_.SelectedMacro(), 1);
    EXPECT_EQ(panel_.EventAt(0), (MacroEvent{10, 9, true, 7}));
    EXPECT_EQ(services_.files.presented().back().filters[0].displayName, "Macro Files(*.mac)");
    EXPECT_EQ(device_.calls, (std::vector<std::string>{"names"}));

    EXPECT_EQ(panel_.Import(outside / "broken.mac"), "");
    EXPECT_EQ(services_.messages.presented().back().text, "macro_import_bad_event");
    EXPECT_EQ(listTexts().size(), 2u);

    services_.files.setDefaultAnswer(outside / "out.mac");
    ASSERT_TRUE(panel_.ExportWithDialog());
    EXPECT_EQ(readText(outside / "out.mac"), readText(outside / "combo.mac"));
    services_.files.setDefaultAnswer(std::nullopt);
    EXPECT_EQ(panel_.ImportWithDialog(), "");
}

}  // namespace
}  // namespace korvane::keys::panels
