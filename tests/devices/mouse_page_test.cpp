// The mouse page's handlers, driven through the page built from the skin file.
#include <gtest/gtest.h>

#include "platform/files/json_document.h"
#include "tests/devices/mouse_test_support.h"

namespace korvane::devices {
namespace {

using testing::MouseRig;

ui::MemoryControl* memory(ui::Control* c) {
    return static_cast<ui::MemoryControl*>(c);
}

std::string n(std::string_view prefix, int i) {
    return std::string(prefix) + std::to_string(i);
}

void connectAndLoad(MouseRig& rig) {
    rig.connect();
    rig.mouse->ReadDeviceLayout();
    rig.mouse->ReloadProfile();
    rig.mouse->RefreshPage();
    rig.recorder.clear();
}

// Which of the five enable checks can be used.
std::vector<bool> usableChecks(MouseRig& rig) {
    std::vector<bool> usable;
    for (int i = 0; i < 5; ++i) {
        usable.push_back(rig.page->find(n("DPI_enable_check_", i))->enabled());
    }
    return usable;
}

TEST(MousePage, RefreshShowsTheProfile) {
    MouseRig rig;
    connectAndLoad(rig);
    const int stages[] = {7, 15, 31, 52, 68};
    const char* shown[] = {"400", "800", "1600", "3250", "6450"};
    const ui::Argb colours[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00, 0xFFFF00FF};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(rig.page->find(n("DPI_slider_", i))->value(), stages[i]);
        EXPECT_EQ(rig.page->find(n("DPI_edit_", i))->text(), shown[i]);
        EXPECT_EQ(rig.page->find(n("DPI_color_option_", i))->backgroundColour(), colours[i]);
        EXPECT_TRUE(rig.page->find(n("DPI_enable_check_", i))->selected());
        EXPECT_TRUE(rig.page->find(n("DPI_layout_", i))->enabled());
        EXPECT_EQ(rig.page->find(n("DPI_select_check_", i))->selected(), i == 1);
        EXPECT_EQ(
            rig.page->find(n("DPI_slider_", i))->attribute("thumbimage"),
            i == 1 ? "file='Control/SliderBar1_Thumb.png'" : "file='Control/SliderBar2_Thumb.png'");
    }
    EXPECT_EQ(usableChecks(rig), (std::vector<bool>{true, false, true, true, true}));
    EXPECT_TRUE(rig.page->find("polling_rate_option_3")->selected());
    EXPECT_EQ(rig.page->find("pointer_speed_slider")->value(), 10);
    EXPECT_EQ(rig.page->find("double_click_slider")->value(), 500);
    EXPECT_EQ(rig.page->find("scroll_speed_slider")->value(), 3);
    EXPECT_TRUE(rig.page->find("pointer_precision_check")->selected());
    EXPECT_FALSE(rig.page->find("scrolls_page_check")->selected());
}

TEST(MousePage, AtLeastOneStageStaysEnabled) {
    MouseRig rig;
    connectAndLoad(rig);
    // Active stage 1 cannot be switched off; switching off 0, 2 and 3 leaves 1 and 4.
    for (int i : {0, 2, 3}) {
        memory(rig.page->find(n("DPI_enable_check_", i)))->click();
        EXPECT_FALSE(rig.page->find(n("DPI_layout_", i))->enabled()) << i;
    }
    EXPECT_EQ(usableChecks(rig), (std::vector<bool>{true, false, true, true, true}));
    std::vector<uint8_t> block = rig.settings(0, 71);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(block[14 + 9 * i], i == 1 || i == 4 ? 1 : 0) << i;
    }
    // Making stage 4 active and switching stage 1 off leaves 4 alone, its check unusable.
    memory(rig.page->find("DPI_select_check_4"))->click();
    memory(rig.page->find("DPI_enable_check_1"))->click();
    EXPECT_EQ(usableChecks(rig), (std::vector<bool>{true, true, true, true, false}));
    EXPECT_EQ(rig.settings(14 + 9, 1)[0], 0);
    // Enabling one makes the others usable again (the active one stays fixed).
    memory(rig.page->find("DPI_enable_check_2"))->click();
    EXPECT_EQ(usableChecks(rig), (std::vector<bool>{true, true, true, true, false}));
    EXPECT_TRUE(rig.page->find("DPI_layout_2")->enabled());
    EXPECT_EQ(rig.settings(14 + 18, 1)[0], 1);
}

TEST(MousePage, LastEnabledStageOfAProfileCannotBeSwitchedOff) {
    MouseRig rig;
    Json::Value doc = files::ReadJsonDocument(rig.program_ / "DefaultData" / "mouse.Json");
    Json::Value& stages = doc["Device"][0]["DPIStages"];
    stages["StageActive"] = 0;
    for (Json::ArrayIndex i = 0; i < 5; ++i) {
        stages["StageDPIs"][i]["StageActive"] = i == 2 ? 1 : 0;
    }
    std::filesystem::create_directories(rig.deviceFolder());
    ASSERT_TRUE(files::WriteJsonDocument(rig.profileFile(), doc));
    connectAndLoad(rig);
    EXPECT_EQ(usableChecks(rig), (std::vector<bool>{false, true, false, true, true}));
}

TEST(MousePage, SelectingAStageMakesItActiveAndStoresEveryPosition) {
    MouseRig rig;
    connectAndLoad(rig);
    rig.page->find("DPI_slider_0")->setValue(9);  // moved without a release
    memory(rig.page->find("DPI_select_check_3"))->click();
    EXPECT_EQ(rig.mouse->profileData().activeStage(), 3);
    const std::vector<uint8_t> block = rig.settings(0, 71);
    EXPECT_EQ(block[12], 3);
    EXPECT_EQ(block[14 + 2], 9);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(rig.page->find(n("DPI_select_check_", i))->selected(), i == 3) << i;
        EXPECT_EQ(
            rig.page->find(n("DPI_slider_", i))->attribute("thumbimage"),
            i == 3 ? "file='Control/SliderBar1_Thumb.png'" : "file='Control/SliderBar2_Thumb.png'")
            << i;
    }
    EXPECT_EQ(usableChecks(rig), (std::vector<bool>{true, true, true, false, true}));
    const Json::Value entry = files::ReadJsonDocument(rig.profileFile())["Device"][0];
    EXPECT_EQ(entry["DPIStages"]["StageActive"].asInt(), 3);
    EXPECT_EQ(entry["DPIStages"]["StageDPIs"][0]["StageDPIX"].asInt(), 9);
}

TEST(MousePage, TypedSensitivityIsConvertedShownAndStored) {
    struct Case {
        const char* typed;
        int index;
        const char* shown;
    };
    const Case cases[] = {{"2700", 49, "2650"},
                          {"2650", 49, "2650"},
                          {"30", 0, "50"},
                          {"", 0, "50"},
                          {"1234567", 96, "12050"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        MouseRig rig;
        connectAndLoad(rig);
        ui::Control* edit = rig.page->find("DPI_edit_1");
        edit->setText(c.typed);
        edit->emitNotification(ui::notify::kKillFocus);
        EXPECT_EQ(edit->text(), c.shown);
        EXPECT_EQ(rig.page->find("DPI_slider_1")->value(), c.index);
        const std::vector<uint8_t> stage = rig.settings(14 + 9, 9);
        EXPECT_EQ(stage[2] | (stage[3] << 8), c.index);
    }
}

TEST(MousePage, StageColourAndPointerSettings) {
    MouseRig rig;
    connectAndLoad(rig);
    rig.mouse->SetStageColour(2, 0xFF102030);
    EXPECT_EQ(rig.page->find("DPI_color_option_2")->backgroundColour(), 0xFF102030u);
    EXPECT_EQ(rig.settings(14 + 18 + 6, 3), (std::vector<uint8_t>{0x10, 0x20, 0x30}));

    // Pointer settings go into the profile only.
    rig.recorder.clear();
    memory(rig.page->find("pointer_speed_slider"))->userSetValue(15);
    memory(rig.page->find("scrolls_page_check"))->click();
    memory(rig.page->find("double_click_slider"))->userSetValue(700);
    EXPECT_TRUE(rig.codesSent().empty());
    const Json::Value system =
        files::ReadJsonDocument(rig.profileFile())["Device"][0]["SystemStages"];
    EXPECT_EQ(system["MouseSpeed"].asInt(), 15);
    EXPECT_EQ(system["ScorllPage"].asInt(), 1);
    EXPECT_EQ(system["DoubleClickTime"].asInt(), 700);
    EXPECT_EQ(system["WheelScorlllinse"].asInt(), 3);
}

TEST(MousePage, BrentaControlsOnlyShowTheirNumbers) {
    MouseRig rig;
    auto& extra = rig.page->add("QWidget", "brenta_row");
    auto& slider = extra.add("QSlider", "brenta_DPI_slider_1");
    slider.setRange(0, 10000);
    auto& edit = extra.add("QLineEdit", "brenta_DPI_edit_1");
    connectAndLoad(rig);
    slider.userSetValue(1234, true);
    EXPECT_EQ(edit.text(), "1234");
    const struct {
        const char* typed;
        int value;
    } cases[] = {{"9000", 6500}, {"100", 200}, {"3200", 3200}, {"x", 200}};
    for (const auto& c : cases) {
        edit.setText(c.typed);
        edit.emitNotification(ui::notify::kKillFocus);
        EXPECT_EQ(edit.text(), std::to_string(c.value));
        EXPECT_EQ(slider.value(), c.value);
    }
    EXPECT_TRUE(rig.codesSent().empty());
    // Notifications of other controls are not the mouse's.
    rig.handled.clear();
    memory(rig.page->find("windowdeviceset_0"))->click();
    EXPECT_EQ(rig.handled, std::vector<bool>{false});
}

}  // namespace
}  // namespace korvane::devices
