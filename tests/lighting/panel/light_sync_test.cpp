// Same-mode synchronisation: the class table, the targets per family, the availability rule,
// the engine's step functions and timing, and the engine thread.
#include "lighting/panel/light_sync.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "lighting/light_tables.h"
#include "tests/lighting/panel/light_test_support.h"

namespace korvane::lighting::panel {
namespace {

using test::DeviceWithPanel;

TEST(SyncClasses, ModesMapToClassesPerSourceKind) {
    struct Case {
        LightKind kind;
        int mode;
        std::optional<SyncClass> expected;
    };
    const Case cases[] = {
        {LightKind::Keyboard, 5, SyncClass::Pulse},  {LightKind::Keyboard, 6, SyncClass::Steady},
        {LightKind::Keyboard, 23, SyncClass::Blink}, {LightKind::Keyboard, 4, SyncClass::Cycle},
        {LightKind::Keyboard, 28, SyncClass::Off},   {LightKind::Keyboard, 2, std::nullopt},
        {LightKind::Mouse, 2, SyncClass::Pulse},     {LightKind::Mouse, 3, SyncClass::Steady},
        {LightKind::Mouse, 4, SyncClass::Blink},     {LightKind::Mouse, 1, SyncClass::Cycle},
        {LightKind::Mouse, 9, SyncClass::Off},       {LightKind::Mouse, 8, std::nullopt},
        {LightKind::MousePad, 8, SyncClass::Off},    {LightKind::MousePad, 9, std::nullopt},
        {LightKind::Headset, 1, SyncClass::Cycle},   {LightKind::Headset, 8, SyncClass::Off},
        {LightKind::Unknown, 2, std::nullopt},       {LightKind::Mouse, -1, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(syncClassFor(c.kind, c.mode), c.expected)
            << static_cast<int>(c.kind) << " mode " << c.mode;
    }
    const int targets[4][5] = {
        {5, 6, 23, 4, 28}, {2, 3, 4, 1, 9}, {2, 3, 4, 1, 8}, {2, 3, 4, 1, 8}};
    for (int f = 0; f < 4; ++f) {
        for (int c = 0; c < 5; ++c) {
            EXPECT_EQ(syncTargetMode(static_cast<LightFamily>(f), static_cast<SyncClass>(c)),
                      targets[f][c]);
        }
    }
}

class SameMode : public ::testing::Test {
  protected:
    SameMode() : sync(families) {}

    DeviceWithPanel& add(LightFamily family, LightKind kind) {
        devices.push_back(std::make_unique<DeviceWithPanel>(kind));
        families.add(family, &devices.back()->device);
        return *devices.back();
    }

    LightFamilies families;
    LightSync sync;
    std::vector<std::unique_ptr<DeviceWithPanel>> devices;
};

TEST_F(SameMode, FromAMouseInMode3EveryOpenDeviceTakesItsFamilysSteadyMode) {
    DeviceWithPanel& keyboard = add(LightFamily::Keyboards, LightKind::Keyboard);
    DeviceWithPanel& mouse = add(LightFamily::Mice, LightKind::Mouse);
    DeviceWithPanel& pad = add(LightFamily::MousePads, LightKind::MousePad);
    DeviceWithPanel& headset = add(LightFamily::Headsets, LightKind::Headset);
    DeviceWithPanel& closed = add(LightFamily::Mice, LightKind::Mouse);
    closed.device.setChannelOpen(false);
    const LightEffect source{.SelectItem = 3,
                             .Light = 2,
                             .Speed = 1,
                             .Fx = 1,
                             .MultiColor = 0,
                             .Red = 200,
                             .Green = 100,
                             .Blue = 50,
                             .ZZCCLedMode = 2,
                             .CustomGroup = 1,
                             .OldLedmode = 7};
    mouse.device.setRecord(source);
    closed.device.setRecord(LightEffect{.SelectItem = 9});

    ASSERT_TRUE(sync.StartSameMode(&mouse.device, ScreenSize{800, 600}));

    EXPECT_EQ(sync.syncClass(), SyncClass::Steady);
    EXPECT_EQ(sync.syncSource(), (SyncSource{2, 1, 1, 0, 200, 100, 50}));
    const std::pair<DeviceWithPanel*, int> expected[] = {
        {&keyboard, 6}, {&mouse, 3}, {&pad, 3}, {&headset, 3}};
    for (const auto& [d, mode] : expected) {
        LightEffect want = source;
        want.SelectItem = static_cast<std::uint8_t>(mode);
        EXPECT_EQ(d->device.record(), want) << mode;
        EXPECT_TRUE(d->device.syncActive());
        EXPECT_EQ(d->panel.GetMode(), mode);
        EXPECT_EQ(d->panel.GetRedText(), "200");
        EXPECT_EQ(d->device.log,
                  (std::vector<std::string>{"SetLightEffect", "SaveProfile", "LoadProfile",
                                            "WriteDeviceSettings(0,0,1,800,600)"}));
    }
    EXPECT_FALSE(closed.device.syncActive());
    EXPECT_EQ(closed.device.record().SelectItem, 9);
    EXPECT_TRUE(closed.device.log.empty());
}

TEST_F(SameMode, AModeOutsideTheTableOrNoDeviceDoesNothing) {
    DeviceWithPanel& keyboard = add(LightFamily::Keyboards, LightKind::Keyboard);
    DeviceWithPanel& mouse = add(LightFamily::Mice, LightKind::Mouse);
    keyboard.device.setRecord(LightEffect{.SelectItem = 1, .Light = 5});
    sync.setSyncState(SyncClass::Blink, SyncSource{.Light = 1});
    EXPECT_FALSE(sync.StartSameMode(&keyboard.device, {}));
    EXPECT_FALSE(sync.StartSameMode(nullptr, {}));
    EXPECT_EQ(sync.syncClass(), SyncClass::Blink);
    EXPECT_TRUE(keyboard.device.log.empty());
    EXPECT_TRUE(mouse.device.log.empty());
    EXPECT_FALSE(mouse.device.syncActive());
}

TEST_F(SameMode, AvailabilityNeedsTwoDevicesAndItsLossEndsEverySynchronisation) {
    DeviceWithPanel& keyboard = add(LightFamily::Keyboards, LightKind::Keyboard);
    DeviceWithPanel& mouse = add(LightFamily::Mice, LightKind::Mouse);
    keyboard.panel.SelectMode(5);
    mouse.panel.SelectMode(2);
    keyboard.device.setSyncActive(true);
    mouse.device.setSyncActive(true);

    sync.UpdateSyncAvailability(2);
    EXPECT_TRUE(keyboard.panel.syncAvailable());
    EXPECT_TRUE(keyboard.control("deng_same_mode").visible());
    EXPECT_TRUE(mouse.control("deng_same_mode").visible());
    EXPECT_TRUE(mouse.device.syncActive());

    sync.UpdateSyncAvailability(1);
    EXPECT_FALSE(keyboard.panel.syncAvailable());
    EXPECT_FALSE(keyboard.control("deng_same_mode").visible());
    EXPECT_FALSE(mouse.control("deng_same_mode").visible());
    EXPECT_FALSE(keyboard.device.syncActive());
    EXPECT_FALSE(mouse.device.syncActive());
}

TEST(SyncSteps, StepWrapsOnBytes) {
    EXPECT_EQ(syncStep(true, 128, 0, 1), 1);
    EXPECT_EQ(syncStep(true, 128, 127, 1), 0);
    EXPECT_EQ(syncStep(false, 128, 0, 1), 127);
    EXPECT_EQ(syncStep(false, 128, 5, 1), 4);
    EXPECT_EQ(syncStep(true, 192, 176, 16), 0);
    EXPECT_EQ(syncStep(true, 192, 175, 16), 191);
    EXPECT_EQ(syncStep(false, 192, 8, 16), 176);
}

TEST(SyncSteps, PulseFollowsTheCurveAndTurnsTheHueAtTheBottom) {
    SyncCounters c;
    const SyncSource single{
        .Light = 5, .Fx = 1, .MultiColor = 0, .Red = 255, .Green = 10, .Blue = 0};
    SyncEmit e = runSyncStep(SyncClass::Pulse, single, c, 0);
    EXPECT_EQ(c.phase, 1);
    EXPECT_EQ(e, (SyncEmit{255, 10, 0, static_cast<std::uint8_t>(255 * PulseCurve[1] >> 8)}));
    for (int i = 0; i < 63; ++i) {
        e = runSyncStep(SyncClass::Pulse, single, c, 0);
    }
    EXPECT_EQ(c.phase, 64);
    EXPECT_EQ(e.level, 255 * 255 >> 8);

    // Backwards: 0 → 127 → 126.
    SyncCounters back;
    const SyncSource reverse{.Light = 2, .Fx = 0};
    runSyncStep(SyncClass::Pulse, reverse, back, 0);
    EXPECT_EQ(back.phase, 127);
    e = runSyncStep(SyncClass::Pulse, reverse, back, 0);
    EXPECT_EQ(back.phase, 126);
    EXPECT_EQ(e.level, BrightnessLevels[2] * PulseCurve[126] >> 8);

    // Multicolour: the hue moves 16 places whenever the phase is at 0 or 1.
    SyncCounters multi;
    const SyncSource wheel{.Light = 5, .Fx = 1, .MultiColor = 1};
    e = runSyncStep(SyncClass::Pulse, wheel, multi, 0);  // phase 1
    EXPECT_EQ(multi.pulseHue, 16);
    EXPECT_EQ((Rgb{e.red, e.green, e.blue}), ColourWheel[16]);
    runSyncStep(SyncClass::Pulse, wheel, multi, 0);  // phase 2
    EXPECT_EQ(multi.pulseHue, 16);
    for (int i = 0; i < 126; ++i) {
        runSyncStep(SyncClass::Pulse, wheel, multi, 0);
    }
    EXPECT_EQ(multi.phase, 0);
    EXPECT_EQ(multi.pulseHue, 32);
}

TEST(SyncSteps, SteadyCycleAndOff) {
    SyncCounters c;
    const SyncSource s{.Light = 3, .MultiColor = 1, .Red = 1, .Green = 2, .Blue = 3};
    EXPECT_EQ(runSyncStep(SyncClass::Steady, s, c, 0), (SyncEmit{1, 2, 3, BrightnessLevels[3]}));
    // The cycle ignores MultiColor and the source colour.
    for (int i = 1; i <= 191; ++i) {
        const SyncEmit e = runSyncStep(SyncClass::Cycle, s, c, 0);
        ASSERT_EQ((Rgb{e.red, e.green, e.blue}), ColourWheel[static_cast<std::size_t>(i)]);
        ASSERT_EQ(e.level, BrightnessLevels[3]);
    }
    runSyncStep(SyncClass::Cycle, s, c, 0);
    EXPECT_EQ(c.cycleHue, 0);
    EXPECT_EQ(runSyncStep(SyncClass::Off, s, c, 0), SyncEmit{});
    // A Light above 5 reads as 5.
    EXPECT_EQ(runSyncStep(SyncClass::Steady, SyncSource{.Light = 9, .Red = 8}, c, 0).level, 255);
}

TEST(SyncSteps, BlinkTogglesAfterItsPeriod) {
    SyncCounters c;
    const SyncSource s{.Light = 4, .Speed = 2, .MultiColor = 0, .Red = 9, .Green = 8, .Blue = 7};
    const std::uint64_t period = 18 * 200;
    const std::uint64_t t0 = 100000;
    EXPECT_EQ(runSyncStep(SyncClass::Blink, s, c, t0), (SyncEmit{9, 8, 7, BrightnessLevels[4]}));
    EXPECT_EQ(c.blinkHue, 14);
    EXPECT_EQ(runSyncStep(SyncClass::Blink, s, c, t0 + period - 1).level, BrightnessLevels[4]);
    EXPECT_EQ(runSyncStep(SyncClass::Blink, s, c, t0 + period), SyncEmit{});
    EXPECT_EQ(runSyncStep(SyncClass::Blink, s, c, t0 + 2 * period - 1), SyncEmit{});
    EXPECT_EQ(runSyncStep(SyncClass::Blink, s, c, t0 + 2 * period).level, BrightnessLevels[4]);
    EXPECT_EQ(c.blinkHue, 42);

    // Multicolour takes the wheel at the blink hue, which wraps to 0 at 192.
    SyncCounters m;
    m.blinkHue = 180;
    m.blinkOn = true;
    const SyncSource wheel{.Light = 5, .Speed = 4, .MultiColor = 1};
    const SyncEmit on = runSyncStep(SyncClass::Blink, wheel, m, 7 * 200);  // turns off
    EXPECT_EQ(on, SyncEmit{});
    EXPECT_EQ(m.blinkHue, 0);
    const SyncEmit again = runSyncStep(SyncClass::Blink, wheel, m, 14 * 200);
    EXPECT_EQ((Rgb{again.red, again.green, again.blue}), ColourWheel[14]);

    // Speed above 4: a period of 0 toggles at every step.
    SyncCounters fast;
    const SyncSource quick{.Light = 5, .Speed = 9};
    EXPECT_NE(runSyncStep(SyncClass::Blink, quick, fast, 5).level, 0);
    EXPECT_EQ(runSyncStep(SyncClass::Blink, quick, fast, 5).level, 0);
    EXPECT_NE(runSyncStep(SyncClass::Blink, quick, fast, 5).level, 0);
}

TEST(SyncTiming, AStepFallsDueAfterStepTicksObservedAdvances) {
    // Speed 0: 28 advances; a pass without an advance (now − last ≤ 1) counts nothing.
    SyncTicker t{0, 1000};
    int steps = 0;
    std::uint64_t now = 1000;
    for (int pass = 0; pass < 27; ++pass) {
        EXPECT_FALSE(syncTickDue(t, now, 0, 0));  // no advance
        now += 16;
        steps += syncTickDue(t, now, 0, 0) ? 1 : 0;
    }
    EXPECT_EQ(steps, 0);
    EXPECT_EQ(t.ticks, 27u);
    EXPECT_FALSE(syncTickDue(t, now + 1, 0, 0));  // 1 ms is not an advance
    EXPECT_TRUE(syncTickDue(t, now + 16, 0, 0));
    EXPECT_EQ(t.ticks, 0u);

    // Speed 4 steps every 7 advances; Speed 9 reads a 0 entry and steps at every advance.
    for (auto [speed, every] : {std::pair<std::uint8_t, int>{4, 7}, {9, 1}, {200, 1}}) {
        SyncTicker ticker{0, 0};
        std::vector<int> due;
        for (int i = 1; i <= 21; ++i) {
            if (syncTickDue(ticker, static_cast<std::uint64_t>(i) * 15, 1, speed)) {
                due.push_back(i);
            }
            EXPECT_FALSE(syncTickDue(ticker, static_cast<std::uint64_t>(i) * 15, 1, speed));
        }
        EXPECT_EQ(due.size(), static_cast<std::size_t>(21 / every)) << int(speed);
        EXPECT_EQ(due.front(), every);
    }
    // A class outside the table never steps.
    SyncTicker never{0, 0};
    for (int i = 1; i < 100; ++i) {
        EXPECT_FALSE(syncTickDue(never, static_cast<std::uint64_t>(i) * 15, 7, 4));
    }
}

TEST(SyncTiming, TheEngineClockAdvancesInSixtyFourthsOfASecond) {
    const std::uint64_t a = syncClockMs();
    const std::uint64_t b = syncClockMs();
    EXPECT_GE(b, a);
    // Every value is a whole number of 15.625 ms ticks, truncated to milliseconds.
    for (std::uint64_t v : {a, b}) {
        const std::uint64_t tick = (v * 1000 + 15624) / 15625;
        EXPECT_EQ(tick * 15625 / 1000, v);
    }
}

// The engine's passes, with a clock the test moves.
class Engine : public ::testing::Test {
  protected:
    Engine() : sync(families, [this] { return now.load(); }) {}

    test::TestLightTarget& add(LightFamily family, LightKind kind, int zones) {
        targets.push_back(std::make_unique<test::TestLightTarget>(kind, zones));
        families.add(family, targets.back().get());
        return *targets.back();
    }

    std::atomic<std::uint64_t> now{1000};
    LightFamilies families;
    LightSync sync;
    std::vector<std::unique_ptr<test::TestLightTarget>> targets;
};

TEST_F(Engine, PaintsEveryZoneOfEverySynchronisedDevice) {
    auto& keyboard = add(LightFamily::Keyboards, LightKind::Keyboard, 4);
    auto& mouse = add(LightFamily::Mice, LightKind::Mouse, 2);
    auto& pad = add(LightFamily::MousePads, LightKind::MousePad, 3);
    sync.setSyncState(SyncClass::Steady,
                      SyncSource{.Light = 5, .Speed = 4, .Red = 1, .Green = 2, .Blue = 3});

    EXPECT_EQ(sync.runPass(), LightSync::Pass::Idle);  // nobody synchronised
    keyboard.setSyncActive(true);
    mouse.setSyncActive(true);
    int passes = 0;
    LightSync::Pass pass = LightSync::Pass::Counted;
    while (pass != LightSync::Pass::Stepped && passes < 100) {
        now += 16;
        pass = sync.runPass();
        ++passes;
    }
    ASSERT_EQ(pass, LightSync::Pass::Stepped);
    EXPECT_EQ(passes, 7);  // Speed 4
    const std::uint32_t packed = 1u | 2u << 8 | 3u << 16 | 255u << 24;
    EXPECT_EQ(keyboard.zones(), std::vector<std::uint32_t>(4, packed));
    EXPECT_EQ(mouse.zones(), std::vector<std::uint32_t>(2, packed));
    EXPECT_EQ(pad.zones(), std::vector<std::uint32_t>(3, 0u));

    // A device whose channel closed does not keep the engine going, but one that is open does.
    keyboard.setChannelOpen(false);
    EXPECT_EQ(sync.runPass(), LightSync::Pass::Counted);
    mouse.setChannelOpen(false);
    EXPECT_EQ(sync.runPass(), LightSync::Pass::Idle);
}

TEST_F(Engine, DevicesAddedLaterAreSeen) {
    sync.setSyncState(SyncClass::Off, SyncSource{.Speed = 9});
    EXPECT_EQ(sync.runPass(), LightSync::Pass::Idle);
    auto& headset = add(LightFamily::Headsets, LightKind::Headset, 2);
    headset.SetSyncColour(0, 0xFFFFFFFF);
    headset.setSyncActive(true);
    now += 16;
    EXPECT_EQ(sync.runPass(), LightSync::Pass::Stepped);
    EXPECT_EQ(headset.zones(), (std::vector<std::uint32_t>{0, 0}));
}

// The thread runs against devices that the UI thread keeps changing; TSan checks the sharing.
TEST(EngineThread, PaintsWhileTheUiChangesDevicesAndStopsOnRequest) {
    LightFamilies families;
    LightSync sync(families);
    std::vector<std::unique_ptr<DeviceWithPanel>> devices;
    devices.push_back(std::make_unique<DeviceWithPanel>(LightKind::Mouse, 5));
    devices.push_back(std::make_unique<DeviceWithPanel>(LightKind::Keyboard, 8));
    families.add(LightFamily::Mice, &devices[0]->device);
    families.add(LightFamily::Keyboards, &devices[1]->device);
    devices[0]->device.setRecord(
        LightEffect{.SelectItem = 2, .Light = 5, .Speed = 4, .Fx = 1, .MultiColor = 1});

    std::jthread engine([&sync](std::stop_token stop) { LightSyncThread(stop, sync); });
    ASSERT_TRUE(sync.StartSameMode(&devices[0]->device, ScreenSize{1, 1}));

    // The UI goes on: a device arrives, flags change, the action runs again.
    devices.push_back(std::make_unique<DeviceWithPanel>(LightKind::MousePad, 3));
    families.add(LightFamily::MousePads, &devices[2]->device);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    int rounds = 0;
    while ((devices[1]->device.colourWrites() < 16 || devices[2]->device.colourWrites() < 3) &&
           std::chrono::steady_clock::now() < deadline) {
        devices[1]->device.setSyncActive(true);
        ASSERT_TRUE(sync.StartSameMode(&devices[0]->device, ScreenSize{1, 1}));
        sync.UpdateSyncAvailability(3);
        ++rounds;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_GE(devices[1]->device.colourWrites(), 16);
    EXPECT_GE(devices[2]->device.colourWrites(), 3);
    EXPECT_GT(rounds, 0);

    engine.request_stop();
    engine.join();  // wakes from its wait at once; the test would hang otherwise
}

}  // namespace
}  // namespace korvane::lighting::panel
