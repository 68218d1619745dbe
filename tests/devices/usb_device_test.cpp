#include "devices/usb_device.h"

#include <gtest/gtest.h>

#include <map>

#include "devices/device_tab.h"
#include "devices/power_panel.h"
#include "platform/hid/hid_backend.h"
#include "tests/support/no_devices_backend.h"
#include "ui/manual_dispatcher.h"
#include "ui/memory_control.h"

namespace korvane::devices {
namespace {


class TestHost : public DeviceHost {
public:
    hid::Backend& backend() override { return backend_; }
    ui::Dispatcher& dispatcher() override { return dispatcher_; }
    const DevicePaths& paths() const override { return paths_; }
    void sendMessage(int message, int64_t wParam, int64_t lParam) override {
        messages.push_back({message, wParam, lParam});
        if (message == message::kShowTab && tab != nullptr) {
            tab->setVisible(lParam != 0);
        }
    }
    int screenWidth() const override { return 1920; }
    int screenHeight() const override { return 1080; }

    struct Sent {
        int message;
        int64_t wParam, lParam;
    };
    std::vector<Sent> messages;
    ui::Control* tab = nullptr;
    ui::ManualDispatcher dispatcher_;

private:
    testing::NoDevicesBackend backend_;
    DevicePaths paths_{"/prog", "/user"};
};

std::unique_ptr<ui::MemoryControl> makePage() {
    auto page = std::make_unique<ui::MemoryControl>("KorvaneUSBDevice", "page");
    auto& panel = page->add("SelectPanel", "device_key_light");
    const char* names[] = {"key_0", "Key_3", "key_11", "light_0", "Light_3", "light_12", "light_", "other_1"};
    for (const char* n : names) {
        panel.add("DeviceKeyButton", n);
    }
    panel.add("Button", "light_1");  // not a DeviceKeyButton
    auto& fs = page->add("TabLayout", "device_function_switch");
    for (int i = 0; i < 4; ++i) fs.add("Container", "f" + std::to_string(i));
    auto& ks = page->add("TabLayout", "device_key_function_switch");
    for (int i = 0; i < 3; ++i) ks.add("Container", "k" + std::to_string(i));
    return page;
}

TEST(BindPage, BindsIndexedButtonsWithinTheCounts) {
    TestHost host;
    CKorvaneUSBDevice device(host);
    auto page = makePage();
    device.setPageXml("XML\\DeviceXml\\mousedevice.xml");
    device.setKeyCount(11);
    device.setLedCount(11);
    device.setPage(page.get());
    device.BindPage();

    EXPECT_NE(device.keyButton(0), nullptr);
    EXPECT_NE(device.keyButton(3), nullptr);     // prefix compared without case
    EXPECT_EQ(device.keyButton(11), nullptr);    // beyond keyCount
    EXPECT_NE(device.lightButton(0), nullptr);
    EXPECT_NE(device.lightButton(3), nullptr);
    EXPECT_EQ(device.lightButton(1), nullptr);   // wrong class
    EXPECT_EQ(device.lightButton(12), nullptr);  // "light_12" with ledCount 11
    // Bound light buttons start white at full level.
    EXPECT_EQ(device.lightButton(3)->backgroundColour(), 0xFFFFFFFFu);
    EXPECT_EQ(page->find("light_12")->backgroundColour(), 0u);
}

TEST(BindPage, WithoutSelectPanelOrXmlBindsNothing) {
    TestHost host;
    CKorvaneUSBDevice device(host);
    ui::MemoryControl page("KorvaneUSBDevice", "page");
    page.add("DeviceKeyButton", "key_0");
    device.setPageXml("x");
    device.setKeyCount(2);
    device.setLedCount(2);
    device.setPage(&page);
    device.BindPage();
    EXPECT_EQ(device.keyButton(0), nullptr);

    CKorvaneUSBDevice empty(host);
    empty.setKeyCount(5);
    empty.setLedCount(5);
    empty.BindPage();  // no XML: counts drop to 0
    EXPECT_EQ(empty.keyCount(), 0);
    EXPECT_EQ(empty.ledCount(), 0);
}

TEST(ShowSubPage, SelectsPagesByTypeAndKind) {
    struct Case {
        device::DeviceKind kind;
        int type, function, key;
    };
    const Case cases[] = {
        {device::DeviceKind::Mouse, 2, 0, 1},    {device::DeviceKind::Mouse, 6, 0, 1},
        {device::DeviceKind::Mouse, 3, 1, -1},   {device::DeviceKind::Mouse, 8, 1, -1},
        {device::DeviceKind::Mouse, 4, 3, -1},   {device::DeviceKind::Keyboard, 4, 3, -1},
        {device::DeviceKind::MousePad, 4, 0, 2}, {device::DeviceKind::Mouse, 7, 0, 2},
        {device::DeviceKind::Mouse, 5, 2, -1},   {device::DeviceKind::Mouse, 1, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        TestHost host;
        CKorvaneUSBDevice device(host);
        auto page = makePage();
        device::SupportedDevice row;
        row.kind = c.kind;
        device.setSupportedDevice(row);
        device.setPage(page.get());
        page->find("device_function_switch")->selectPage(1);
        page->find("device_key_function_switch")->selectPage(2);
        int keyBefore = page->find("device_key_function_switch")->currentPage();
        device.ShowSubPage(c.type);
        EXPECT_EQ(device.subPageType(), c.type);
        EXPECT_EQ(page->find("device_function_switch")->currentPage(), c.function);
        EXPECT_EQ(page->find("device_key_function_switch")->currentPage(), c.key < 0 ? keyBefore : c.key);
    }
}

TEST(StreamLightFrame, PaintsButtonsAndSendsNothingWhenNotOwnerOrWireless) {
    TestHost host;
    CKorvaneUSBDevice device(host);
    auto page = makePage();
    device.setPageXml("x");
    device.setKeyCount(0);
    device.setLedCount(4);
    device.setPage(page.get());
    device.BindPage();
    device.SetSyncColour(3, 0x80'10'20'30);  // level 0x80, blue 0x10, green 0x20, red 0x30
    device.setLightingOwner(false);
    device.StreamLightFrame();
    EXPECT_EQ(device.lightButton(3)->backgroundColour(), 0xFFFFFFFFu);  // not owner: untouched
    device.setLightingOwner(true);
    device.setWireless(true);
    device.StreamLightFrame();
    EXPECT_EQ(device.lightButton(3)->backgroundColour(), 0x80302010u);
    device.lightButton(3)->setVisible(false);
    device.SetSyncColour(3, 0);
    device.StreamLightFrame();
    EXPECT_EQ(device.lightButton(3)->backgroundColour(), 0x80302010u);  // hidden buttons keep theirs
}

TEST(SyncColours, OutOfRangeIndexesAreIgnored) {
    TestHost host;
    CKorvaneUSBDevice device(host);
    device.setLedCount(2);
    device.SetSyncColour(1, 0x01020304);
    device.SetSyncColour(2, 0xFFFFFFFF);
    device.SetSyncColour(-1, 0xFFFFFFFF);
    EXPECT_EQ(device.GetSyncColour(1), 0x01020304u);
    EXPECT_EQ(device.GetSyncColour(2), 0u);
    EXPECT_EQ(device.GetSyncColour(-5), 0u);
}

TEST(Folders, AreBuiltFromProgramAndUserFolders) {
    TestHost host;
    CKorvaneUSBDevice device(host);
    device.setFamilyName("mouse");
    device.setProfileFileName("{abc}");
    device.setLightGroup("brenta_light");
    EXPECT_EQ(device.defaultDataFile(), std::filesystem::path("/prog/DefaultData/mouse.Json"));
}

TEST(PowerPanel, ShowsChargeStateAndPhone) {
    ui::MemoryControl root("MpDevicePower", "power");
    auto& layout = root.add("Container", "device_power_Layout");
    layout.add("CircleProgress", "device_Power_progress").setRange(0, 100);
    layout.add("Label", "device_power_value");
    layout.add("Control", "device_wuxian_logo");
    layout.add("Control", "device_power_status");
    layout.add("Label", "device_phone_type");

    CMpDevicePowerUI mouse(&root, 2, 0);
    mouse.SetBatteryPanel(false);
    EXPECT_FALSE(layout.visible());
    mouse.SetBatteryPanel(true);
    EXPECT_TRUE(layout.visible());
    mouse.ShowPowerStatus({80, 1, 2, 1, 0, 0});
    EXPECT_EQ(root.find("device_Power_progress")->value(), 20);
    EXPECT_EQ(root.find("device_power_value")->text(), "80%");
    EXPECT_TRUE(root.find("device_wuxian_logo")->visible());
    EXPECT_EQ(root.find("device_power_status")->backgroundImage(), "file='power/powering.png'");
    EXPECT_EQ(root.find("device_phone_type")->text(), "");  // only pads show the phone

    CMpDevicePowerUI pad(&root, 3, 0);
    const std::pair<uint8_t, const char*> phones[] = {
        {1, "Phone_type_iphone"}, {2, "Phone_type_samsung"}, {3, "Phone_type_other"}, {0, "Phone_type_no_device"}, {9, "Phone_type_no_device"}};
    for (auto [code, name] : phones) {
        pad.ShowPowerStatus({100, 0, code, 0, 0, 0});
        EXPECT_EQ(root.find("device_phone_type")->text(), name);
        EXPECT_EQ(root.find("device_phone_type")->backgroundImage(), std::string("file='power/") + name + ".png'");
    }
    EXPECT_FALSE(root.find("device_wuxian_logo")->visible());
    EXPECT_EQ(root.find("device_power_status")->backgroundImage(), "file='power/powered.png'");
}

// A device that records which operations the tab's timers ran.
class RecordingDevice : public CKorvaneUSBDevice {
public:
    using CKorvaneUSBDevice::CKorvaneUSBDevice;
    void OnConnected() override { calls.push_back("connect"); }
    void OnResync() override { calls.push_back("resync"); }
    void ReadPowerStatus() override { calls.push_back("power"); }
    void StreamLightFrame() override { ++streams; }
    int IsOnline() override {
        calls.push_back("online");
        return online ? 1 : 0;
    }
    std::vector<std::string> calls;
    int streams = 0;
    bool online = true;
};

struct TabFixture {
    TestHost host;
    ui::MemoryControl tabControl{"DeviceOption", "tab"};
    RecordingDevice device{host};
    CDeviceOptionUI tab{&tabControl, host.dispatcher_};
    TabFixture() {
        host.tab = &tabControl;
        tab.setDevice(&device);
    }
};

TEST(DeviceTab, ClosedWiredDeviceConnectsButDoesNotKeepStreaming) {
    TabFixture f;
    f.device.setBatteryPanel(true);
    f.tab.startTimer(timer::kConnect, 500);
    f.host.dispatcher_.advance(499);
    EXPECT_TRUE(f.device.calls.empty());
    f.host.dispatcher_.advance(1);
    EXPECT_EQ(f.device.calls, std::vector<std::string>{"connect"});
    f.host.dispatcher_.advance(100);
    EXPECT_EQ(f.device.streams, 1);  // closed channel: the stream timer is not restarted
    EXPECT_FALSE(f.tab.timerRunning(timer::kPower));  // power polling needs an open channel
    EXPECT_TRUE(f.host.dispatcher_.idle());
}

TEST(DeviceTab, OfflineWirelessDeviceRetriesEveryThreeSeconds) {
    // An open channel needs a backend that opens; the reachability branch only
    // needs the channel's flag, so set it by hand.
    TabFixture f;
    f.device.setWireless(true);
    f.device.channel().setOpen(true);
    f.device.online = false;
    f.tabControl.setVisible(true);
    f.tab.startTimer(timer::kConnect, 500);
    f.host.dispatcher_.advance(500);
    EXPECT_EQ(f.device.calls, std::vector<std::string>{"online"});
    EXPECT_FALSE(f.tabControl.visible());
    EXPECT_EQ(f.tab.failCount(), 1);
    f.host.dispatcher_.advance(3000);
    EXPECT_EQ(f.tab.failCount(), 2);
    f.device.online = true;
    f.host.dispatcher_.advance(3000);
    EXPECT_EQ(f.tab.failCount(), 0);
    EXPECT_TRUE(f.tabControl.visible());
    ASSERT_GE(f.device.calls.size(), 2u);
    EXPECT_EQ(f.device.calls.back(), "connect");
    // Wireless streams every 500 ms and polls reachability every 3 s after 2 s.
    f.device.calls.clear();
    int before = f.device.streams;
    f.host.dispatcher_.advance(1000);
    EXPECT_EQ(f.device.streams - before, 2);
    f.host.dispatcher_.advance(1000);
    EXPECT_EQ(f.device.calls, std::vector<std::string>{"online"});
    f.device.online = false;
    f.host.dispatcher_.advance(3000);
    EXPECT_FALSE(f.tabControl.visible());
    f.device.channel().setOpen(false);
}

TEST(DeviceTab, WiredOpenDeviceStreamsEveryFiveMsAndPollsPower) {
    TabFixture f;
    f.device.setBatteryPanel(true);
    f.device.channel().setOpen(true);
    f.tab.startTimer(timer::kConnect, 500);
    f.host.dispatcher_.advance(500);
    f.host.dispatcher_.advance(100);
    EXPECT_EQ(f.device.streams, 20);
    EXPECT_EQ(std::count(f.device.calls.begin(), f.device.calls.end(), "power"), 1);
    f.host.dispatcher_.advance(5000);
    EXPECT_EQ(std::count(f.device.calls.begin(), f.device.calls.end(), "power"), 2);
    EXPECT_FALSE(f.tab.timerRunning(timer::kReachability));
    f.tab.startTimer(timer::kResync, 50);
    f.host.dispatcher_.advance(50);
    EXPECT_EQ(f.device.calls.back(), "resync");
    f.device.channel().setOpen(false);
}

}  // namespace
}  // namespace korvane::devices
