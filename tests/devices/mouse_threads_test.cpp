// The mouse's threads: notifications from the consumer-control interfaces, the light preview,
// and stopping them.
#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>

#include "lighting/light_tables.h"
#include "platform/log/logger.h"
#include "tests/devices/mouse_test_support.h"

namespace korvane::devices {
namespace {

using testing::MouseRig;
using testing::waitFor;

// Collects the debug lines while it lives.
class LogLines {
  public:
    LogLines() {
        log::setEnabled(true);
        log::setSink([this](std::string_view line) {
            std::lock_guard lock(mutex_);
            lines_.emplace_back(line);
        });
    }
    ~LogLines() {
        log::setSink({});
        log::setEnabled(false);
    }
    int count(std::string_view text) const {
        std::lock_guard lock(mutex_);
        return static_cast<int>(
            std::count_if(lines_.begin(), lines_.end(),
                          [&](const std::string& l) { return l.find(text) != std::string::npos; }));
    }

  private:
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
};

void openConsumer(MouseRig& rig, const std::string& bus) {
    rig.mouse->OpenSecondary(rig.consumerRow(bus));
    const int kind = bus == "mouse" ? 2 : 6;
    ASSERT_TRUE(rig.mouse->secondaryOpen(kind)) << bus;
}

bool resyncTimerRunning(MouseRig& rig) {
    return rig.host.dispatcher_.isTimerRunning(*rig.tabControl, timer::kResync);
}

TEST(MouseNotifications, ResyncRequestStartsTheTabTimer) {
    MouseRig rig;
    rig.connect();
    rig.mouse->ReloadProfile();
    openConsumer(rig, "mouse");
    ASSERT_TRUE(rig.simulator.notify("mouse", 0x0401));
    ASSERT_TRUE(waitFor(rig.host.dispatcher_, [&] { return resyncTimerRunning(rig); }));
    // 50 ms later the tab runs OnResync: the on-board settings are read.
    rig.recorder.clear();
    rig.host.dispatcher_.advance(49);
    EXPECT_TRUE(rig.recorder.packets(0x05).empty());
    rig.host.dispatcher_.advance(1);
    EXPECT_FALSE(resyncTimerRunning(rig));
    EXPECT_EQ(rig.recorder.packets(0x05).size(), 3u);  // active profile, then 56 + 15 bytes
}

TEST(MouseNotifications, ProfileAndStageButtonsRefreshThePage) {
    MouseRig rig;
    rig.connect();
    rig.mouse->ReloadProfile();
    rig.mouse->RefreshPage();
    openConsumer(rig, "mouse");
    ASSERT_TRUE(rig.simulator.notify("mouse", 0x1132));  // profile 2, stage 3
    ASSERT_TRUE(waitFor(rig.host.dispatcher_, [&] { return rig.mouse->onboardProfile() == 2; }));
    EXPECT_EQ(rig.mouse->profileData().activeStage(), 3);
    EXPECT_TRUE(rig.page->find("DPI_select_check_3")->selected());
    EXPECT_FALSE(rig.page->find("DPI_select_check_1")->selected());
    EXPECT_EQ(rig.page->find("DPI_slider_3")->attribute("thumbimage"),
              "file='Control/SliderBar1_Thumb.png'");

    ASSERT_TRUE(rig.simulator.notify("mouse", 0x1001));  // profile 1, stage unchanged
    ASSERT_TRUE(waitFor(rig.host.dispatcher_, [&] { return rig.mouse->onboardProfile() == 1; }));
    EXPECT_EQ(rig.mouse->profileData().activeStage(), 3);
}

TEST(MouseNotifications, FlashFadesAllLedsOnlyInModeSixFromTheCable) {
    struct Case {
        const char* bus;
        int mode;
        bool flash;
    };
    const Case cases[] = {{"mouse", 6, true}, {"mouse", 3, false}, {"mouse-receiver", 6, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.bus) + " mode " + std::to_string(c.mode));
        MouseRig rig;
        rig.connect();
        ASSERT_TRUE(rig.simulator.plug("mouse-receiver"));
        openConsumer(rig, c.bus);
        lighting::LightEffect e;
        e.SelectItem = static_cast<uint8_t>(c.mode);
        e.Light = 5;
        e.Red = 255;
        const lighting::LightWords w = lighting::packLightEffect(e);
        rig.mouse->SetLightEffect(w.word1, w.word2, w.word3, w.word4);
        rig.mouse->FrameFadeLeds();
        ASSERT_EQ(rig.mouse->colours()[0].level, 0);
        // The resync request after the flash tells when the thread has handled both.
        ASSERT_TRUE(rig.simulator.notify(c.bus, 0x0403));
        ASSERT_TRUE(rig.simulator.notify(c.bus, 0x0401));
        ASSERT_TRUE(waitFor(rig.host.dispatcher_, [&] { return resyncTimerRunning(rig); }));
        rig.mouse->FrameFadeLeds();
        for (const lighting::LedColour& led : rig.mouse->colours()) {
            EXPECT_EQ(led.level, c.flash ? 254 : 0);
        }
    }
}

TEST(MouseThreads, PreviewFillsTheColoursAndEveryThreadStopsWithinItsBound) {
    LogLines log;
    MouseRig rig;
    rig.connect();
    ASSERT_TRUE(rig.simulator.plug("mouse-receiver"));
    rig.mouse->OnConnected();
    ASSERT_TRUE(rig.mouse->previewRunning());
    openConsumer(rig, "mouse");
    openConsumer(rig, "mouse-receiver");

    // The shipped profile's mode 1 turns the wheel: the colours change by themselves.
    const std::vector<lighting::LedColour> first = rig.mouse->colours();
    ASSERT_TRUE(waitFor(rig.host.dispatcher_, [&] { return rig.mouse->colours() != first; }));
    // Streaming paints the light buttons and the mirrored LED, and sends the frame.
    rig.mouse->StreamLightFrame();
    EXPECT_NE(rig.page->find("light_0_")->backgroundColour(), 0u);
    EXPECT_FALSE(rig.recorder.packets(0x12).empty());

    // Reopening the cable's interface replaces its reader.
    rig.mouse->OpenSecondary(rig.consumerRow("mouse"));
    EXPECT_TRUE(rig.mouse->secondaryOpen(2));
    EXPECT_EQ(log.count("MS 设备同步线程设定退出"), 1);

    rig.mouse->CloseSecondary(2);
    EXPECT_FALSE(rig.mouse->secondaryOpen(2));
    EXPECT_TRUE(rig.mouse->secondaryOpen(6));
    EXPECT_EQ(log.count("MS 设备同步线程设定退出"), 2);
    rig.mouse->CloseSecondary(2);  // closed already: nothing
    EXPECT_EQ(log.count("线程退出：：对象处于激发状态"), 2);

    EXPECT_EQ(rig.mouse->StopLightPreview(), ThreadStop::Ended);
    EXPECT_FALSE(rig.mouse->previewRunning());
    EXPECT_EQ(log.count("MS灯光线程设定退出"), 1);
    EXPECT_EQ(rig.mouse->StopLightPreview(), ThreadStop::NotRunning);

    // A new connection starts a new preview; destroying the mouse stops it and the receiver's
    // reader.
    rig.mouse->OnConnected();
    rig.mouse.reset();
    EXPECT_EQ(log.count("MS灯光线程设定退出"), 2);
    EXPECT_EQ(log.count("MS 设备同步线程设定退出"), 3);
    EXPECT_EQ(log.count("对象处于非激发状态，超时"), 0);
}

TEST(MouseThreads, PreviewIdlesWhileSynchronisedOrClosed) {
    MouseRig rig;
    rig.connect();
    rig.mouse->OnConnected();
    rig.mouse->setSyncActive(true);
    rig.mouse->SetSyncColour(3, 0x80102030);
    // The sync engine's colour stays: the preview draws nothing while synchronised.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(rig.mouse->GetSyncColour(3), 0x80102030u);
    rig.mouse->setSyncActive(false);
    ASSERT_TRUE(
        waitFor(rig.host.dispatcher_, [&] { return rig.mouse->GetSyncColour(3) != 0x80102030u; }));
    rig.mouse->channel().setOpen(false);
    EXPECT_EQ(rig.mouse->StopLightPreview(), ThreadStop::Ended);
}

}  // namespace
}  // namespace korvane::devices
