// The lighting-owner switch and game-event lighting with its 5 s return.
#include <gtest/gtest.h>

#include "lighting/panel/game_event_light.h"
#include "lighting/panel/light_owner.h"
#include "tests/lighting/panel/light_test_support.h"
#include "ui/manual_dispatcher.h"

namespace korvane::lighting::panel {
namespace {

using test::DeviceWithPanel;
using test::TestLightTarget;

class Owner : public ::testing::Test {
  protected:
    Owner()
        : window("Container", "root"),
          owner(families, [this](int w, int l) { broadcasts.emplace_back(w, l); }) {
        window.add("Button", "control_light_status").setText("控制灯光");
        families.add(LightFamily::Keyboards, &keyboard);
        families.add(LightFamily::Mice, &mouse);
        families.add(LightFamily::MousePads, &pad);
        families.add(LightFamily::Headsets, &headset);
        owner.setStatusControl(&window);
    }
    std::string status() { return window.find("control_light_status")->text(); }

    ui::MemoryControl window;
    TestLightTarget keyboard{LightKind::Keyboard}, mouse{LightKind::Mouse},
        pad{LightKind::MousePad}, headset{LightKind::Headset};
    LightFamilies families;
    std::vector<std::pair<int, int>> broadcasts;
    LightOwnerSwitch owner;
};

TEST_F(Owner, ToggleGivesTheLightingUpAndTakesItBack) {
    EXPECT_TRUE(owner.lightOwner());
    owner.Toggle();
    EXPECT_FALSE(owner.lightOwner());
    EXPECT_EQ(status(), "不控制灯光");
    EXPECT_EQ(broadcasts, (std::vector<std::pair<int, int>>{{1, 0}}));
    for (TestLightTarget* d : {&keyboard, &mouse, &pad}) {
        EXPECT_EQ(d->ownerCalls, std::vector<bool>{false});
    }
    EXPECT_TRUE(headset.ownerCalls.empty());  // headsets are not told

    owner.Toggle();
    EXPECT_TRUE(owner.lightOwner());
    EXPECT_EQ(status(), "控制灯光");
    EXPECT_EQ(broadcasts.back(), (std::pair<int, int>{1, 1}));
    EXPECT_EQ(keyboard.ownerCalls, (std::vector<bool>{false, true}));
}

TEST_F(Owner, NoticesSetTheStateWithoutABroadcast) {
    owner.OnNotice(1, 0);
    EXPECT_FALSE(owner.lightOwner());
    EXPECT_EQ(status(), "不控制灯光");
    EXPECT_FALSE(mouse.lightingOwner());
    owner.OnNotice(2, 1);  // not a notice we know
    owner.OnNotice(1, 5);
    EXPECT_FALSE(owner.lightOwner());
    owner.OnNotice(1, 1);
    EXPECT_TRUE(owner.lightOwner());
    EXPECT_EQ(status(), "控制灯光");
    EXPECT_TRUE(mouse.lightingOwner());
    EXPECT_TRUE(broadcasts.empty());
}

TEST_F(Owner, SleepTakesTheLightingAwayUntilResume) {
    owner.OnSuspend();
    EXPECT_FALSE(owner.awake());
    EXPECT_TRUE(owner.lightOwner());
    EXPECT_FALSE(pad.lightingOwner());
    owner.OnNotice(1, 1);  // allowed again while asleep: still nothing until resume
    EXPECT_FALSE(pad.lightingOwner());
    owner.OnResume();
    EXPECT_TRUE(owner.awake());
    EXPECT_TRUE(pad.lightingOwner());
    EXPECT_TRUE(keyboard.lightingOwner());

    owner.Toggle();
    owner.OnSuspend();
    owner.OnResume();
    EXPECT_FALSE(mouse.lightingOwner());  // resume hands back the owner state, which is off
    EXPECT_EQ(broadcasts.size(), 1u);
}

class GameEvents : public ::testing::Test {
  protected:
    GameEvents()
        : window("Container", "root"),
          events(dispatcher, &window,
                 [] {
                     return ScreenSize{1280, 720};
                 }),
          d(LightKind::Keyboard) {
        window.setTimerHandler([this](const ui::Notification& n) {
            events.OnTimer(static_cast<int>(n.wParam), &d.device);
        });
    }

    ui::ManualDispatcher dispatcher;
    ui::MemoryControl window;
    GameEventLighting events;
    DeviceWithPanel d;
};

TEST_F(GameEvents, StartFromMode25StoresMode1AndReturnsAfterFiveSeconds) {
    d.device.setRecord(LightEffect{.SelectItem = 25, .Light = 4, .Red = 9, .OldLedmode = 13});
    d.device.setSyncActive(true);

    events.OnGameEvent(&d.device, 0, 7);
    LightEffect e = d.device.record();
    EXPECT_EQ(e.SelectItem, 7);
    EXPECT_EQ(e.OldLedmode, 1);
    EXPECT_EQ(e.Red, 9);
    EXPECT_FALSE(d.device.syncActive());
    EXPECT_EQ(d.panel.GetMode(), 7);
    EXPECT_EQ(d.device.log,
              (std::vector<std::string>{"SetLightEffect", "SaveProfile", "LoadProfile",
                                        "WriteDeviceSettings(0,0,1,1280,720)"}));
    EXPECT_TRUE(events.returnPending());

    dispatcher.advance(4999);
    EXPECT_EQ(d.device.record().SelectItem, 7);
    d.device.setSyncActive(true);
    dispatcher.advance(1);
    EXPECT_EQ(d.device.record().SelectItem, 1);
    EXPECT_EQ(d.panel.GetMode(), 1);
    EXPECT_FALSE(d.device.syncActive());
    EXPECT_FALSE(events.returnPending());
    EXPECT_EQ(d.device.log.size(), 8u);
}

TEST_F(GameEvents, TheStoredModeIsTheCurrentOneUnlessItIs0OrAbove20) {
    const std::pair<int, int> cases[] = {{0, 1}, {1, 1}, {5, 5}, {20, 20}, {21, 1}, {255, 1}};
    for (auto [mode, stored] : cases) {
        d.device.setRecord(LightEffect{.SelectItem = static_cast<std::uint8_t>(mode)});
        events.OnGameEvent(&d.device, 0, 3);
        EXPECT_EQ(d.device.record().OldLedmode, stored) << mode;
    }
}

TEST_F(GameEvents, ANewEventRestartsThePeriodAndOnlyStartKeepsTheMode) {
    d.device.setRecord(LightEffect{.SelectItem = 6});
    events.OnGameEvent(&d.device, 0, 23);  // Game_Start: keeps 6
    dispatcher.advance(3000);
    events.OnGameEvent(&d.device, 2, 28);  // Game_Kill: switches, keeps the stored mode
    EXPECT_EQ(d.device.record().SelectItem, 28);
    EXPECT_EQ(d.device.record().OldLedmode, 6);
    dispatcher.advance(4000);  // 7 s after the first, 4 s after the second
    EXPECT_EQ(d.device.record().SelectItem, 28);
    events.OnGameEvent(&d.device, 5, 2);  // unknown: only restarts the period
    EXPECT_EQ(d.device.record().SelectItem, 28);
    dispatcher.advance(4999);
    EXPECT_EQ(d.device.record().SelectItem, 28);
    dispatcher.advance(1);
    EXPECT_EQ(d.device.record().SelectItem, 6);
}

TEST_F(GameEvents, WithoutADeviceNothingStarts) {
    events.OnGameEvent(nullptr, 0, 4);
    EXPECT_FALSE(events.returnPending());
    EXPECT_FALSE(events.OnTimer(1011, &d.device));
    EXPECT_TRUE(events.OnTimer(kGameEventTimer, nullptr));
    EXPECT_TRUE(d.device.log.empty());
}

}  // namespace
}  // namespace korvane::lighting::panel
