// The handlers of the panel's notifications: the field each changes, the common tail and its
// order, what ends a synchronisation, the colour edits' text rules, and the routing by name.
#include "lighting/panel/light_handlers.h"

#include <gtest/gtest.h>

#include "tests/lighting/panel/light_test_support.h"
#include "tests/lighting/panel/target_harness.h"

namespace korvane::lighting::panel {
namespace {

using test::DeviceWithPanel;
using Log = std::vector<std::string>;

const std::string kWrite = "WriteDeviceSettings(0,0,1,1920,1080)";
const Log kTail = {"SetLightEffect", "SaveProfile", "LoadProfile", kWrite};

class Handlers : public ::testing::Test {
  protected:
    Handlers() : sync(families), handlers(sync, [] { return ScreenSize{1920, 1080}; }) {}

    // A keyboard in mode 5 with colour (10, 20, 30), synchronised, its panel showing the record.
    DeviceWithPanel& makeDevice(LightKind kind = LightKind::Keyboard) {
        devices.push_back(std::make_unique<DeviceWithPanel>(kind));
        DeviceWithPanel& d = *devices.back();
        LightEffect e{.SelectItem = 5,
                      .Light = 3,
                      .Speed = 2,
                      .Fx = 1,
                      .MultiColor = 1,
                      .Red = 10,
                      .Green = 20,
                      .Blue = 30,
                      .ZZCCLedMode = 1,
                      .CustomGroup = 2,
                      .OldLedmode = 4};
        d.device.setRecord(e);
        d.panel.ShowLightEffect(packLightEffect(e));
        d.device.setSyncActive(true);
        return d;
    }

    LightFamilies families;
    LightSync sync;
    LightPanelHandlers handlers;
    std::vector<std::unique_ptr<DeviceWithPanel>> devices;
};

// Every device the panel works with, the test device and the real ones (target_harness.h).
class HandlerContract : public ::testing::TestWithParam<test::HarnessFactory> {
  protected:
    HandlerContract() : sync(families), handlers(sync, [] { return ScreenSize{1920, 1080}; }) {}

    LightFamilies families;
    LightSync sync;
    LightPanelHandlers handlers;
};

TEST_P(HandlerContract, EachChangeSetsItsFieldAndEndsTheSynchronisationOrNot) {
    using Harness = test::TargetHarness;
    struct Case {
        const char* what;
        std::function<void(Harness&)> user;  // what the user did on the panel
        std::function<void(LightPanelHandlers&, LightingTarget*)> handle;
        std::function<void(LightEffect&)> change;  // the expected change of the record
        bool keepsSync;
        bool keyboardOnly = false;
    };
    const Case cases[] = {
        {"mode",
         [](Harness& h) { h.control("light_combo_modeSelect").selectItem(23, ui::Notify::No); },
         [](LightPanelHandlers& h, LightingTarget* t) { h.OnModeSelect(t); },
         [](LightEffect& e) { e.SelectItem = 23; }, false},
        {"light", [](Harness& h) { h.control("deng_light_slider").setValue(5); },
         [](LightPanelHandlers& h, LightingTarget* t) { h.OnLightChange(t); },
         [](LightEffect& e) { e.Light = 5; }, false},
        {"speed", [](Harness& h) { h.control("deng_speed_slider").setValue(0); },
         [](LightPanelHandlers& h, LightingTarget* t) { h.OnSpeedChange(t); },
         [](LightEffect& e) { e.Speed = 0; }, false},
        {"multicolour",
         [](Harness& h) { h.control("deng_7color_check").setSelected(false, ui::Notify::No); },
         [](LightPanelHandlers& h, LightingTarget* t) { h.OnMultiColour(t); },
         [](LightEffect& e) { e.MultiColor = 0; }, false},
        {"fx right",
         [](Harness& h) { h.control("deng_FXR_check").setSelected(true, ui::Notify::No); },
         [](LightPanelHandlers& h, LightingTarget* t) { h.OnFx(t, false); },
         [](LightEffect& e) { e.Fx = 0; }, false},
        {"palette",
         [](Harness& h) {
             h.control("deng_Color_Pallet").setAttribute("selectcolor", "#FF804020");
         },
         [](LightPanelHandlers& h, LightingTarget* t) { h.OnPaletteColour(t); },
         [](LightEffect& e) {
             e.Red = 0x80;
             e.Green = 0x40;
             e.Blue = 0x20;
             e.MultiColor = 0;
         },
         false},
        {"green edit", [](Harness& h) { h.control("deng_edit_G").setText("200"); },
         [](LightPanelHandlers& h, LightingTarget* t) { h.OnColourEdit(t, Component::Green); },
         [](LightEffect& e) {
             e.Green = 200;
             e.MultiColor = 0;
         },
         false},
        {"preset", [](Harness&) {},
         [](LightPanelHandlers& h, LightingTarget* t) { h.OnPresetColour(t, 5); },
         [](LightEffect& e) {
             e.Red = 0;
             e.Green = 0;
             e.Blue = 0xFF;
             e.MultiColor = 0;
         },
         true},
        {"sub-mode",
         [](Harness& h) { h.control("light_combo_ZZCCmodeSelect").selectItem(3, ui::Notify::No); },
         [](LightPanelHandlers& h, LightingTarget* t) { h.OnZZCCModeSelect(t); },
         [](LightEffect& e) { e.ZZCCLedMode = 3; }, true, true},
    };
    const LightEffect start{.SelectItem = 5,
                            .Light = 3,
                            .Speed = 2,
                            .Fx = 1,
                            .MultiColor = 1,
                            .Red = 10,
                            .Green = 20,
                            .Blue = 30,
                            .ZZCCLedMode = 1,
                            .CustomGroup = 2,
                            .OldLedmode = 4};
    const LightKind kind = GetParam().onlyKind.value_or(LightKind::Keyboard);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.keyboardOnly && kind != LightKind::Keyboard) {
            continue;
        }
        auto harness = GetParam().make(kind);
        LightingTarget& device = harness->device();
        const LightWords words = packLightEffect(start);
        device.SetLightEffect(words.word1, words.word2, words.word3, words.word4);
        harness->panel().ShowLightEffect(words);
        device.setSyncActive(true);
        if (auto* recording = dynamic_cast<test::TestLightTarget*>(&device)) {
            recording->log.clear();
        }

        LightEffect expected = start;
        c.change(expected);
        c.user(*harness);
        c.handle(handlers, &device);
        EXPECT_EQ(unpackLightEffect(device.GetLightEffect()), expected);
        EXPECT_EQ(device.syncActive(), c.keepsSync);
        if (auto* recording = dynamic_cast<test::TestLightTarget*>(&device)) {
            EXPECT_EQ(recording->log, kTail);
        }
    }
}

TEST_P(HandlerContract, SameModeGivesEveryOpenDeviceItsFamilysMode) {
    // A family serving one kind stands for that kind; the test device for the other.
    auto make = [&](LightKind kind) -> std::unique_ptr<test::TargetHarness> {
        if (GetParam().serves(kind)) return GetParam().make(kind);
        return std::make_unique<test::TestDeviceHarness>(kind);
    };
    auto keyboard = make(LightKind::Keyboard);
    auto mouse = make(LightKind::Mouse);
    families.add(LightFamily::Keyboards, &keyboard->device());
    families.add(LightFamily::Mice, &mouse->device());
    const LightWords words = packLightEffect(LightEffect{.SelectItem = 23, .Light = 4, .Red = 7});
    keyboard->device().SetLightEffect(words.word1, words.word2, words.word3, words.word4);

    handlers.OnSameMode(&keyboard->device());
    EXPECT_EQ(sync.syncClass(), SyncClass::Blink);
    EXPECT_EQ(unpackLightEffect(keyboard->device().GetLightEffect()).SelectItem, 23);
    const LightEffect m = unpackLightEffect(mouse->device().GetLightEffect());
    EXPECT_EQ(m.SelectItem, 4);
    EXPECT_EQ(m.Light, 4);
    EXPECT_EQ(m.Red, 7);
    EXPECT_TRUE(keyboard->device().syncActive());
    EXPECT_TRUE(mouse->device().syncActive());
    EXPECT_EQ(mouse->panel().GetMode(), 4);
}

INSTANTIATE_TEST_SUITE_P(Devices, HandlerContract, ::testing::ValuesIn(test::targetHarnesses()),
                         [](const ::testing::TestParamInfo<test::HarnessFactory>& param) {
                             return param.param.name;
                         });

TEST_F(Handlers, TheFlagIsClearedBeforeTheTail) {
    DeviceWithPanel& d = makeDevice();
    d.device.logSync = true;
    d.control("deng_speed_slider").setValue(1);
    handlers.OnSpeedChange(&d.device);
    EXPECT_EQ(d.device.log,
              (Log{"setSyncActive(0)", "SetLightEffect", "SaveProfile", "LoadProfile", kWrite}));
}

TEST_F(Handlers, PresetColourKeepsTheSynchronisationAndShowsTheColourAfterTheReload) {
    DeviceWithPanel& d = makeDevice();
    std::string editAtReload;
    d.device.onLoadProfile = [&] { editAtReload = d.panel.GetRedText(); };
    handlers.OnPresetColour(&d.device, 6);  // 0xFF8000FF

    LightEffect e = d.device.record();
    EXPECT_EQ(e.Red, 0x80);
    EXPECT_EQ(e.Green, 0x00);
    EXPECT_EQ(e.Blue, 0xFF);
    EXPECT_EQ(e.MultiColor, 0);
    EXPECT_TRUE(d.device.syncActive());
    EXPECT_EQ(d.device.log, kTail);
    EXPECT_EQ(editAtReload, "10");  // the panel shows the colour only after LoadProfile
    EXPECT_EQ(d.panel.GetRedText(), "128");
    EXPECT_EQ(d.panel.GetGreenText(), "0");
    EXPECT_EQ(d.panel.GetBlueText(), "255");
    EXPECT_FALSE(d.panel.GetMultiColour());
    EXPECT_EQ(d.panel.GetPaletteColour(), 0xFF8000FFu);
    EXPECT_EQ(d.control("deng_colordp_btn").backgroundColour(), 0xFF8000FFu);
}

TEST_F(Handlers, PaletteColourShowsTextsAndPreviewAfterTheReload) {
    DeviceWithPanel& d = makeDevice();
    d.control("deng_Color_Pallet").setAttribute("selectcolor", "#FF010203");
    std::string editAtReload;
    d.device.onLoadProfile = [&] { editAtReload = d.panel.GetBlueText(); };
    handlers.OnPaletteColour(&d.device);
    EXPECT_EQ(editAtReload, "30");
    EXPECT_EQ(d.panel.GetRedText(), "1");
    EXPECT_EQ(d.panel.GetBlueText(), "3");
    EXPECT_FALSE(d.panel.GetMultiColour());
    EXPECT_EQ(d.control("deng_colordp_btn").backgroundColour(), 0xFF010203u);
}

TEST_F(Handlers, ColourEditsClampAndReplaceTheirText) {
    struct Case {
        const char* text;
        std::uint8_t stored;
        const char* textAfter;
    };
    const Case cases[] = {
        {"300", 255, "255"}, {"256", 255, "255"}, {"255", 255, "255"},
        {"", 0, "0"},        {"42", 42, "42"},    {" 7x", 7, " 7x"},
        {"abc", 0, "abc"},   {"-1", 255, "-1"},   {"99999999999", 255, "255"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        DeviceWithPanel& d = makeDevice();
        d.control("deng_edit_B").setText(c.text);
        handlers.OnColourEdit(&d.device, Component::Blue);
        const LightEffect e = d.device.record();
        EXPECT_EQ(e.Blue, c.stored);
        EXPECT_EQ(e.Red, 10);
        EXPECT_EQ(e.MultiColor, 0);
        EXPECT_EQ(d.panel.GetBlueText(), c.textAfter);
        EXPECT_EQ(d.panel.GetPaletteColour(), argbColour(10, 20, c.stored));
        EXPECT_FALSE(d.device.syncActive());
    }
}

TEST_F(Handlers, KeyboardSubModeAndCustomGroupKeepTheSynchronisation) {
    DeviceWithPanel& d = makeDevice();
    d.control("light_combo_ZZCCmodeSelect").selectItem(3, ui::Notify::No);
    handlers.OnZZCCModeSelect(&d.device);
    EXPECT_EQ(d.device.record().ZZCCLedMode, 3);
    EXPECT_TRUE(d.device.syncActive());
    EXPECT_EQ(d.device.log, kTail);

    d.device.log.clear();
    d.control("light_combo_custommodeSelect").selectItem(6, ui::Notify::No);
    handlers.OnCustomModeSelect(&d.device);
    EXPECT_EQ(d.device.record().CustomGroup, 6);
    EXPECT_TRUE(d.device.syncActive());
    // The keyboard selects the group first; no reload; then the custom lights are refreshed.
    EXPECT_EQ(d.device.log, (Log{"SelectCustomGroup(6)", "SetLightEffect", "SaveProfile", kWrite,
                                 "RefreshCustomGroup"}));
}

TEST_F(Handlers, KeyboardOnlyChangesDoNothingOnOtherKinds) {
    DeviceWithPanel& d = makeDevice(LightKind::Mouse);
    const LightEffect before = d.device.record();
    d.control("light_combo_ZZCCmodeSelect").selectItem(3, ui::Notify::No);
    handlers.OnZZCCModeSelect(&d.device);
    handlers.OnCustomModeSelect(&d.device);
    handlers.OnCustomLight(&d.device, true);
    EXPECT_EQ(d.device.record(), before);
    EXPECT_TRUE(d.device.log.empty());

    DeviceWithPanel& k = makeDevice(LightKind::Keyboard);
    handlers.OnCustomLight(&k.device, true);
    handlers.OnCustomLight(&k.device, false);
    EXPECT_EQ(k.device.log, (Log{"FillCustomGroup(1)", "FillCustomGroup(0)"}));
}

TEST_F(Handlers, WithoutADeviceOrAPanelNothingHappens) {
    DeviceWithPanel& d = makeDevice();
    d.device.panel = nullptr;
    for (LightingTarget* target :
         {static_cast<LightingTarget*>(nullptr), static_cast<LightingTarget*>(&d.device)}) {
        handlers.OnModeSelect(target);
        handlers.OnLightChange(target);
        handlers.OnSpeedChange(target);
        handlers.OnColourEdit(target, Component::Red);
        handlers.OnPaletteColour(target);
        handlers.OnPresetColour(target, 1);
        handlers.OnMultiColour(target);
        handlers.OnFx(target, true);
        handlers.OnZZCCModeSelect(target);
        handlers.OnCustomModeSelect(target);
    }
    EXPECT_TRUE(d.device.log.empty());
    EXPECT_TRUE(d.device.syncActive());
}

TEST_F(Handlers, TheModeChangeAppliesTheNewLayout) {
    DeviceWithPanel& d = makeDevice();
    d.control("light_combo_modeSelect").selectItem(17, ui::Notify::No);
    handlers.OnModeSelect(&d.device);
    EXPECT_TRUE(d.control("light_combo_ZZCCmodeSelectLayout").visible());
    EXPECT_FALSE(d.control("deng_color_layout").enabled());
}

// The user's own actions on the panel, routed as the main window routes them.
TEST_F(Handlers, RoutingByTypeAndName) {
    DeviceWithPanel& d = makeDevice();
    LightingTarget* current = &d.device;
    d.tree->setNotificationHandler([&](const ui::Notification& n) { handlers.Route(n, current); });

    d.control("light_combo_modeSelect").userSelectItem(6);
    EXPECT_EQ(d.device.record().SelectItem, 6);
    d.control("deng_light_slider").userSetValue(1);
    EXPECT_EQ(d.device.record().Light, 1);
    d.control("deng_light_slider").userSetValue(4, /*dragging=*/true);  // "movevaluechanged"
    EXPECT_EQ(d.device.record().Light, 1);
    d.control("deng_speed_slider").userSetValue(3);
    EXPECT_EQ(d.device.record().Speed, 3);

    // Choosing the second direction also unselects the first, which reports too.
    d.control("deng_FXR_check").click();
    EXPECT_EQ(d.device.record().Fx, 0);
    d.control("deng_FXL_check").click();
    EXPECT_EQ(d.device.record().Fx, 1);

    d.control("deng_7color_check").click();
    EXPECT_EQ(d.device.record().MultiColor, 0);
    d.control("deng_7color_check").click();
    EXPECT_EQ(d.device.record().MultiColor, 1);

    d.control("color_option_3").click();
    EXPECT_EQ(argbColour(d.device.record()), 0xFF00FF00u);

    d.control("deng_edit_R").setText("77");
    d.control("deng_edit_R").emitNotification(ui::notify::kKillFocus);
    EXPECT_EQ(d.device.record().Red, 77);

    d.control("deng_Color_Pallet").setAttribute("selectcolor", "#FF0A0B0C");
    d.control("deng_Color_Pallet").emitNotification(ui::notify::kColorChanged, 0xFF0A0B0C);
    EXPECT_EQ(argbColour(d.device.record()), 0xFF0A0B0Cu);

    d.device.log.clear();
    d.control("custom_off_color_btn").click();
    EXPECT_EQ(d.device.log, (Log{"FillCustomGroup(0)"}));

    // Names that are not the panel's are left to others.
    ui::MemoryControl other("Button", "audiocolor_option_2");
    EXPECT_FALSE(handlers.Route(ui::Notification{"click", &other, "audiocolor_option_2"}, current));
    EXPECT_FALSE(
        handlers.Route(ui::Notification{"click", &other, "control_light_status"}, current));
    EXPECT_TRUE(handlers.Route(ui::Notification{"click", &other, "color_option_"}, current));
    EXPECT_EQ(argbColour(d.device.record()), 0xFFFF0000u);  // "color_option_" is preset 0
    EXPECT_TRUE(handlers.Route(ui::Notification{"click", &other, "deng_same_mode"}, nullptr));
}

TEST(DecimalValue, ReadsLikeStrtol) {
    EXPECT_EQ(decimalValue("12"), 12);
    EXPECT_EQ(decimalValue("  +34abc"), 34);
    EXPECT_EQ(decimalValue("-5"), -5);
    EXPECT_EQ(decimalValue(""), 0);
    EXPECT_EQ(decimalValue("x1"), 0);
    EXPECT_EQ(decimalValue("123456789012345678901234567890"), 2147483647);
    EXPECT_EQ(decimalValue("-123456789012345678901234567890"), -2147483648LL);
}

}  // namespace
}  // namespace korvane::lighting::panel
