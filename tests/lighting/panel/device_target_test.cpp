// The device base as the lighting sees it: its record, zones, kind and mode lists, and the
// panel's handlers, the same-mode action and the engine run against it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "devices/usb_device.h"
#include "lighting/light_tables.h"
#include "lighting/panel/light_handlers.h"
#include "platform/hid/hid_backend.h"
#include "tests/support/test_device_host.h"
#include "tests/files/temp_folder.h"
#include "tests/lighting/panel/light_test_support.h"
#include "ui/manual_dispatcher.h"

namespace korvane::lighting::panel {
namespace {


using Host = testing::QuietDeviceHost;

std::filesystem::path sourceFolderFile() {
    const char* source = std::getenv("KORVANE_SOURCE_DIR");
    return std::filesystem::path(source != nullptr ? source : ".") / "DefaultData" /
           "default_light.json";
}

device::SupportedDevice rowOfKind(device::DeviceKind kind) {
    device::SupportedDevice row;
    row.kind = kind;
    return row;
}

class BaseDevice : public ::testing::Test {
  protected:
    BaseDevice() : host({folder / "program", folder / "user"}), device(host) {
        device.setFamilyName("keyboard");
        device.setLightGroup("brenta_light");
        device.setSupportedDevice(rowOfKind(device::DeviceKind::Keyboard));
        device.setLedCount(6);
    }

    korvane::testing::TempFolder folder;
    Host host;
    devices::CKorvaneUSBDevice device;
};

TEST_F(BaseDevice, TheRecordComesBackAsItWasStored) {
    const LightEffect e{.SelectItem = 23,
                        .Light = 5,
                        .Speed = 4,
                        .Fx = 1,
                        .MultiColor = 1,
                        .Red = 1,
                        .Green = 2,
                        .Blue = 3,
                        .Spare8 = 4,
                        .Spare9 = 5,
                        .ListPresent = 6,
                        .ZZCCLedMode = 7,
                        .CustomGroup = 8,
                        .OldLedmode = 9};
    const LightWords words = packLightEffect(e);
    device.SetLightEffect(words.word1, words.word2, words.word3, words.word4);
    EXPECT_EQ(device.GetLightEffect(), words);
    EXPECT_EQ(device.effectState().level, 5);
}

TEST_F(BaseDevice, KindZonesAndFlags) {
    EXPECT_EQ(device.lightKind(), LightKind::Keyboard);
    device.setSupportedDevice(rowOfKind(device::DeviceKind::MouseReceiver));
    EXPECT_EQ(device.lightKind(), LightKind::Mouse);
    device.setSupportedDevice(rowOfKind(device::DeviceKind::Headset));
    EXPECT_EQ(device.lightKind(), LightKind::Headset);

    EXPECT_EQ(device.zoneCount(), 6);
    LightingTarget& target = device;
    target.SetSyncColour(5, 0x80010203);
    target.SetSyncColour(6, 0xFFFFFFFF);  // outside: ignored
    EXPECT_EQ(device.GetSyncColour(5), 0x80010203u);
    EXPECT_EQ(device.colours().size(), 6u);

    EXPECT_FALSE(target.channelOpen());
    device.channel().setOpen(true);
    EXPECT_TRUE(target.channelOpen());
    target.setSyncActive(true);
    EXPECT_TRUE(device.syncActive());
    EXPECT_EQ(target.lightPanel(), nullptr);
}

TEST_F(BaseDevice, LoadLightListsReadsTheDeviceRowOfBothFiles) {
    std::filesystem::create_directories(folder / "program" / "DefaultData");
    std::filesystem::copy_file(sourceFolderFile(),
                               folder / "program" / "DefaultData" / "default_light.json");
    std::filesystem::create_directories(folder / "user" / "keyboard");
    korvane::testing::writeText(
        folder / "user" / "keyboard" / "brenta_light.config",
        R"({"LightInfo": [[{"LightName": "Mine"}], [{"LightName": "Other"}]]})");

    device.setLightListIndex(0);
    device.LoadLightLists();
    LightLists lists = device.lightLists();
    EXPECT_EQ(lists.modeNames.size(), 31u);
    EXPECT_FALSE(lists.modeVisible[0]);
    EXPECT_EQ(lists.customEffectNames, std::vector<std::string>{"Mine"});
    EXPECT_EQ(device.lightModeCode(29), 29);
    EXPECT_EQ(device.lightModeCode(31), -1);
    EXPECT_EQ(device.lightModeForCode(17), 17);
    EXPECT_EQ(device.lightModeForCode(254), -1);

    // The mouse row; the files gone later leave the lists as they were.
    device.setLightListIndex(1);
    device.LoadLightLists();
    EXPECT_EQ(device.lightLists().modeNames.size(), 10u);
    EXPECT_EQ(device.lightLists().customEffectNames, std::vector<std::string>{"Other"});
    std::filesystem::remove_all(folder / "program" / "DefaultData");
    std::filesystem::remove(folder / "user" / "keyboard" / "brenta_light.config");
    const LightLists before = device.lightLists();
    device.LoadLightLists();
    EXPECT_EQ(device.lightLists(), before);
}

TEST_F(BaseDevice, ThePanelIsFilledFromTheDevice) {
    std::filesystem::create_directories(folder / "program" / "DefaultData");
    std::filesystem::copy_file(sourceFolderFile(),
                               folder / "program" / "DefaultData" / "default_light.json");
    auto tree = test::makePanelTree();
    CLightControlUI panel(tree.get());
    device.setLightPanel(&panel);
    device.setSupportedDevice(rowOfKind(device::DeviceKind::Mouse));
    device.setLightListIndex(1);
    fillLightPanel(panel, device);
    EXPECT_EQ(panel.lightKind(), LightKind::Mouse);
    EXPECT_EQ(tree->find("light_combo_modeSelect")->itemCount(), 10);
    EXPECT_EQ(tree->find("deng_light_slider")->maximum(), 4);
    EXPECT_EQ(device.lightPanel(), &panel);
}

// Synchronised, the base's colour array is what the engine paints.
TEST_F(BaseDevice, TheEnginePaintsTheColourArrayUntilALightingChange) {
    auto tree = test::makePanelTree();
    CLightControlUI panel(tree.get());
    panel.SetLightKind(LightKind::Keyboard);
    device.setLightPanel(&panel);
    device.channel().setOpen(true);
    LightFamilies families;
    families.add(LightFamily::Keyboards, &device);
    std::uint64_t now = 0;
    LightSync sync(families, [&now] { return now; });
    LightPanelHandlers handlers(sync, [] { return ScreenSize{1, 1}; });
    const LightWords words = packLightEffect(LightEffect{.SelectItem = 4, .Light = 5, .Speed = 4});
    device.SetLightEffect(words.word1, words.word2, words.word3, words.word4);

    ASSERT_TRUE(sync.StartSameMode(&device, ScreenSize{1, 1}));  // mode 4: the cycle
    EXPECT_EQ(sync.syncClass(), SyncClass::Cycle);
    int passes = 0;
    while (sync.runPass() != LightSync::Pass::Stepped && passes < 100) {
        now += 16;
        ++passes;
    }
    const Rgb first = ColourWheel[1];
    const std::uint32_t packed = device.GetSyncColour(0);
    EXPECT_EQ(packed, (SyncEmit{first.red, first.green, first.blue, 255}.packed()));
    EXPECT_EQ(device.GetSyncColour(5), packed);

    handlers.OnLightChange(&device);
    EXPECT_FALSE(device.syncActive());
    EXPECT_EQ(sync.runPass(), LightSync::Pass::Idle);
}

}  // namespace
}  // namespace korvane::lighting::panel
