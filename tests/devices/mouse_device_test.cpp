// The mouse against the simulated firmware: what lands in the simulator's memory and what goes
// over the wire.
#include <gtest/gtest.h>

#include <algorithm>

#include "devices/mouse_key_panel_device.h"
#include "keys/gun_files.h"
#include "keys/macro_files.h"
#include "keys/macro_image.h"
#include "platform/files/json_document.h"
#include "tests/devices/mouse_test_support.h"

namespace korvane::devices {
namespace {

using testing::MouseRig;
using Region = sim::Region;

Json::Value profileDocument(const MouseRig& rig) {
    return files::ReadJsonDocument(rig.profileFile());
}

// Writes the shipped default profile, changed by `edit`, as the rig's profile file.
void writeProfile(const MouseRig& rig, const std::function<void(Json::Value& entry)>& edit) {
    Json::Value doc = files::ReadJsonDocument(rig.program_ / "DefaultData" / "mouse.Json");
    edit(doc["Device"][0]);
    std::filesystem::create_directories(rig.deviceFolder());
    ASSERT_TRUE(files::WriteJsonDocument(rig.profileFile(), doc));
}

// A connected mouse with the shipped profile on its page.
void connectAndLoad(MouseRig& rig, bool wireless = false) {
    rig.connect(wireless);
    rig.mouse->ReadDeviceLayout();
    rig.mouse->ReloadProfile();
    rig.mouse->RefreshPage();
    rig.recorder.clear();
}

uint16_t le16(const std::vector<uint8_t>& bytes, size_t at) {
    return static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

TEST(MouseDevice, ReadDeviceLayoutFollowsTheKeyTableAndKeepsOldCopiesOnFailure) {
    MouseRig rig;
    rig.connect();
    auto firmware = rig.simulator.firmware("mouse");
    // Buttons 0 and 2 swapped: the map must follow the table, not the numbers.
    const uint8_t middle[] = {0x10, 0x04, 0x00};
    const uint8_t left[] = {0x10, 0x01, 0x00};
    ASSERT_TRUE(firmware->write(Region::KeyTable, 0, middle));
    ASSERT_TRUE(firmware->write(Region::KeyTable, 6, left));
    rig.mouse->ReadDeviceLayout();
    EXPECT_EQ(rig.mouse->positionMap(), (mouse::PositionMap{2, 1, 0, 4, 3, 7, 8, 9, 10, 5, 6}));
    EXPECT_EQ(
        std::vector<uint8_t>(rig.mouse->keyTable().begin(), rig.mouse->keyTable().begin() + 33),
        firmware->read(Region::KeyTable, 0, 33));
    EXPECT_EQ(rig.mouse->deviceInfo()[5], 11);
    EXPECT_EQ(rig.mouse->channel().blockSize(), 33);
    for (int n = 0; n < 5; ++n) {
        EXPECT_EQ(rig.page->find("DPI_slider_" + std::to_string(n))->maximum(), 96);
    }

    // The device information command refused (0x01 and 0x03): nothing changes.
    ASSERT_TRUE(firmware->write(Region::KeyTable, 0, left));
    rig.simulator.faults("mouse").status(0xFE, 2);
    rig.mouse->ReadDeviceLayout();
    EXPECT_EQ(rig.mouse->positionMap()[0], 2);
    EXPECT_EQ(rig.mouse->keyTable()[0], 0x10);
    EXPECT_EQ(rig.mouse->keyTable()[1], 0x04);
}

TEST(MouseDevice, StageSliderReleasedWritesTheIndexToOnboardProfileZero) {
    MouseRig rig;
    connectAndLoad(rig);
    ui::Control* slider = rig.page->find("DPI_slider_2");
    ASSERT_NE(slider, nullptr);

    // Dragging shows the value and sends nothing.
    static_cast<ui::MemoryControl*>(slider)->userSetValue(60, true);
    EXPECT_EQ(rig.page->find("DPI_edit_2")->text(), "4850");
    EXPECT_TRUE(rig.codesSent().empty());

    static_cast<ui::MemoryControl*>(slider)->userSetValue(40);
    EXPECT_EQ(rig.handled, (std::vector<bool>{true, true}));
    EXPECT_EQ(rig.page->find("DPI_edit_2")->text(), "2050");
    EXPECT_EQ(rig.codesSent(), (std::vector<uint8_t>{0x01, 0x06, 0x06, 0x02}));

    const std::vector<uint8_t> block = rig.settings(0, 71);
    EXPECT_EQ(le16(block, 14 + 2 * 9 + 2), 40);  // stage 2, X
    EXPECT_EQ(le16(block, 14 + 2 * 9 + 4), 31);  // Y unchanged
    const uint16_t others[] = {7, 15, 40, 52, 68};
    for (size_t n = 0; n < 5; ++n) {
        EXPECT_EQ(le16(block, 14 + n * 9 + 2), others[n]) << n;
        EXPECT_EQ(block[14 + n * 9], 1) << n;
    }
    EXPECT_EQ(block[0], 0);
    EXPECT_EQ(block[11], 3);  // report rate of the profile
    EXPECT_EQ(block[12], 1);  // active stage
    EXPECT_EQ(block[59], 1);
    EXPECT_EQ(le16(block, 60), 2560);
    EXPECT_EQ(le16(block, 62), 1440);
    // Bytes 66–70 are never written.
    EXPECT_EQ(std::vector<uint8_t>(block.begin() + 66, block.end()),
              (std::vector<uint8_t>{0, 0, 0x64, 0, 0x01}));
    EXPECT_EQ(profileDocument(rig)["Device"][0]["DPIStages"]["StageDPIs"][2]["StageDPIX"].asInt(),
              40);
}

TEST(MouseDevice, ProfileWithThreeStagesLeavesTheMissingStagesZero) {
    MouseRig rig;
    writeProfile(rig, [](Json::Value& entry) { entry["DPIStages"]["StageDPIs"].resize(3); });
    rig.connect();
    rig.mouse->ReloadProfile();
    ASSERT_EQ(rig.mouse->profileData().dpiStages().size(), 3u);
    ASSERT_NE(rig.settings(41, 18), std::vector<uint8_t>(18, 0));  // factory stages 3 and 4
    EXPECT_EQ(rig.mouse->WriteDeviceSettings(0, 0, 1, 1920, 1080), 1);
    EXPECT_EQ(rig.settings(41, 18), std::vector<uint8_t>(18, 0));
    EXPECT_EQ(rig.settings(32, 9), (std::vector<uint8_t>{1, 0, 31, 0, 31, 0, 0, 0, 255}));
}

TEST(MouseDevice, LightModesAreSentAsTheirCodesAndModesAbove9AsModeZero) {
    MouseRig rig;
    rig.useModeCodes(0x20);
    connectAndLoad(rig);
    const std::pair<int, uint8_t> cases[] = {
        {0, 0x20}, {3, 0x23}, {9, 0x29}, {10, 0x20}, {12, 0x20}};
    for (const auto& [mode, code] : cases) {
        lighting::LightEffect e = rig.mouse->profileData().lightEffect();
        e.SelectItem = static_cast<uint8_t>(mode);
        e.Speed = 1;
        const lighting::LightWords w = lighting::packLightEffect(e);
        rig.mouse->SetLightEffect(w.word1, w.word2, w.word3, w.word4);
        ASSERT_EQ(rig.mouse->WriteDeviceSettings(0, 0, 1, 1920, 1080), 1);
        const std::vector<uint8_t> block = rig.settings(0, 9);
        EXPECT_EQ(block[1], code) << mode;
        EXPECT_EQ(block[3], 3) << mode;  // 4 − speed
        EXPECT_EQ(block[5], e.MultiColor);
    }
}

TEST(MouseDevice, ReportRateOptionSelectsAndStores) {
    MouseRig rig;
    connectAndLoad(rig);
    EXPECT_TRUE(rig.page->find("polling_rate_option_3")->selected());
    static_cast<ui::MemoryControl*>(rig.page->find("polling_rate_option_1"))->click();
    EXPECT_EQ(rig.settings(11, 1)[0], 1);
    for (int n = 0; n < 5; ++n) {
        EXPECT_EQ(rig.page->find("polling_rate_option_" + std::to_string(n))->selected(), n == 1)
            << n;
    }
    EXPECT_EQ(profileDocument(rig)["Device"][0]["ReportStages"]["StageActive"].asInt(), 1);
    // An option outside 0–4 selects 0.
    rig.mouse->OnReportRateSelected(7);
    EXPECT_EQ(rig.settings(11, 1)[0], 0);
    EXPECT_TRUE(rig.page->find("polling_rate_option_0")->selected());
}

void writeMacros(const std::filesystem::path& folder, const std::vector<int>& eventCounts) {
    std::filesystem::create_directories(folder);
    for (size_t i = 0; i < eventCounts.size(); ++i) {
        const std::string guid = "2024_01_01_00_00_00_00" + std::to_string(i);
        ASSERT_TRUE(keys::writeMacroListEntry(folder, i, {"macro_" + std::to_string(i + 1), guid}));
        std::vector<Json::Value> events;
        for (int e = 0; e < eventCounts[i]; ++e) {
            Json::Value event;
            event["Type"] = 10;
            event["Button"] = 4 + e % 20;
            event["Action"] = e % 2 == 0 ? "down" : "up";
            event["Delay"] = std::to_string(10 + e);
            events.push_back(event);
        }
        ASSERT_TRUE(keys::writeMacroFile(folder / (guid + ".mac"), "m", guid, events));
    }
}

TEST(MouseDevice, KeyMatrixRenumbersMacrosAndFallsBackForDeletedOnes) {
    MouseRig rig;
    // Key 3's default differs from its factory code, so the fallback shows in the table.
    writeProfile(rig,
                 [](Json::Value& entry) { entry["KeyList"][3]["DefaultAssignment"] = 0x200004; });
    writeMacros(rig.deviceFolder(), {1, 1, 1, 1, 1, 1});
    connectAndLoad(rig);
    ASSERT_TRUE(rig.mouse->StoreKeyAssignment(0, {0x70, 5, 0}));
    ASSERT_TRUE(rig.mouse->StoreKeyAssignment(1, {0x70, 2, 1}));
    ASSERT_TRUE(rig.mouse->StoreKeyAssignment(2, {0x71, 5, 3}));
    ASSERT_TRUE(rig.mouse->StoreKeyAssignment(3, {0x70, 7, 0}));
    EXPECT_FALSE(rig.mouse->StoreKeyAssignment(11, {0x70, 1, 0}));
    EXPECT_EQ(rig.mouse->CollectUsedMacros(), (std::vector<int>{5, 2}));

    EXPECT_EQ(rig.mouse->WriteOwnKeys(), 1);
    const std::vector<uint8_t> table = rig.memory(Region::KeyTable, 0, 33);
    // Positions 0, 1, 2 are buttons 0, 1, 2; position 3 (forward) is button 4.
    EXPECT_EQ(std::vector<uint8_t>(table.begin(), table.begin() + 9),
              (std::vector<uint8_t>{0x70, 0, 0, 0x70, 1, 1, 0x71, 0, 3}));
    EXPECT_EQ(std::vector<uint8_t>(table.begin() + 12, table.begin() + 15),
              (std::vector<uint8_t>{0x20, 0x00, 0x04}));
    EXPECT_EQ(std::vector<uint8_t>(table.begin() + 9, table.begin() + 12),
              (std::vector<uint8_t>{0x10, 0x08, 0x00}));  // back, unchanged

    rig.recorder.clear();
    EXPECT_EQ(rig.mouse->WriteKeyMatrix(1, rig.mouse->keyList()), device::result::kBankRefused);
    EXPECT_TRUE(rig.codesSent().empty());
}

TEST(MouseDevice, UploadMacrosRefusesWhatDoesNotFitAndWritesTheImage) {
    struct Case {
        uint8_t macroUnits;
        int result;
    };
    // Macros 1 and 0 with 40 and 3 events: T = 16 + 2 × 6 + 4 × 43 = 200.
    const Case cases[] = {{32, 0}, {1, ((200 - 128) >> 2) + 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.macroUnits);
        MouseRig rig;
        sim::FirmwareConfig config = rig.simulator.config("mouse");
        config.info.setMacroUnits(c.macroUnits);
        ASSERT_TRUE(rig.simulator.configure("mouse", config));
        writeMacros(rig.deviceFolder(), {3, 40});
        connectAndLoad(rig);
        EXPECT_EQ(rig.mouse->UploadMacros({1, 0}), c.result);
        const keys::MacroImage image =
            keys::buildMacroImageFromFolder(rig.deviceFolder(), std::vector<int>{1, 0}, 4096);
        ASSERT_EQ(image.bytes.size(), 200u);
        const std::vector<uint8_t> memory = rig.memory(Region::Macro, 0, 128);
        if (c.result == 0) {
            EXPECT_EQ(rig.memory(Region::Macro, 0, 200), image.bytes);
            const std::vector<uint8_t> codes = rig.codesSent();
            EXPECT_EQ(codes.front(), 0x03);
            EXPECT_EQ(codes[1], 0x01);
            EXPECT_EQ(codes.back(), 0x02);
            EXPECT_EQ(std::count(codes.begin(), codes.end(), 0x15), 4);  // 200 bytes in 56s
        } else {
            EXPECT_EQ(memory, std::vector<uint8_t>(128, 0));
            EXPECT_EQ(rig.codesSent(), std::vector<uint8_t>{0x03});
        }
    }
    MouseRig rig;
    connectAndLoad(rig);
    EXPECT_EQ(rig.mouse->UploadMacros({}), 0);
    EXPECT_EQ(rig.mouse->UploadMacros({0}), 0);  // no "macro.config": nothing to send
    const std::vector<uint8_t> codes = rig.codesSent();
    EXPECT_EQ(std::count(codes.begin(), codes.end(), 0x15), 0);
}

// Gun g gets `shots[g]` shots (no file for a negative count).
void writeGuns(const std::filesystem::path& folder, const std::vector<int>& shots) {
    std::filesystem::create_directories(folder);
    for (int gun = 0; gun < static_cast<int>(shots.size()); ++gun) {
        if (shots[static_cast<size_t>(gun)] < 0) {
            continue;
        }
        Json::Value document;
        for (int s = 0; s < shots[static_cast<size_t>(gun)]; ++s) {
            keys::writeShot(document, s, keys::Shot{s % 2 == 0, 3 + gun, true, 7 + s, 90 + s});
        }
        ASSERT_TRUE(files::WriteJsonDocument(keys::gunFilePath(folder, gun), document));
    }
}

TEST(MouseDevice, UploadShootDataSendsTheFourGunsAsOneImage) {
    MouseRig rig;
    writeGuns(rig.deviceFolder(), {30, 2, -1, 10});  // gun 2 missing: an empty record
    connectAndLoad(rig);
    EXPECT_EQ(rig.mouse->UploadShootData(), device::result::kDone);
    const keys::MacroImage image = keys::buildRecoilImage(rig.deviceFolder());
    ASSERT_EQ(image.bytes.size(), 16u + 6 * 4 + 4 * 6 * (30 + 2 + 10));
    EXPECT_EQ(rig.memory(Region::Recoil, 0, image.bytes.size()), image.bytes);

    const auto packets = rig.recorder.packets(0x17);
    ASSERT_EQ(packets.size(), (image.bytes.size() + 55) / 56);
    for (size_t i = 0; i < packets.size(); ++i) {
        EXPECT_EQ(le16(packets[i], 5), i * 56) << i;
        EXPECT_EQ(packets[i][4], std::min<size_t>(56, image.bytes.size() - i * 56)) << i;
    }
    const std::vector<uint8_t> codes = rig.codesSent();
    EXPECT_EQ(codes.front(), 0x01);
    EXPECT_EQ(codes.back(), 0x02);
}

TEST(MouseDevice, FourFullGunsUploadAsOneImage) {
    // 16 + 24 + 4 × 720 = 2920 bytes in 56-byte packets.
    MouseRig rig;
    writeGuns(rig.deviceFolder(), {30, 30, 30, 30});
    connectAndLoad(rig);
    EXPECT_EQ(rig.mouse->UploadShootData(), device::result::kDone);
    const keys::MacroImage image = keys::buildRecoilImage(rig.deviceFolder());
    ASSERT_EQ(image.bytes.size(), 2920u);
    EXPECT_EQ(rig.memory(Region::Recoil, 0, 2920), image.bytes);
}

TEST(MouseDevice, WirelessGuardSendsOnlyTheLinkQueryWhileTheMouseIsOutOfReach) {
    struct Case {
        const char* what;
        std::function<int(CKorvaneMouseDevice&)> op;
        int result;
        std::vector<uint8_t> codes;
    };
    const Case cases[] = {
        {"settings",
         [](CKorvaneMouseDevice& m) { return m.WriteDeviceSettings(0, 0, 1, 1920, 1080); },
         0,
         {0xAA}},
        {"keys", [](CKorvaneMouseDevice& m) { return m.WriteOwnKeys(); }, 0, {0xAA}},
        {"recoil", [](CKorvaneMouseDevice& m) { return m.UploadShootData(); }, 0, {0xAA}},
        // The device information is asked for first; its answer says "out of reach".
        {"macros", [](CKorvaneMouseDevice& m) { return m.UploadMacros({0}); }, -1, {0x03, 0xAA}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MouseRig rig;
        writeMacros(rig.deviceFolder(), {2});
        connectAndLoad(rig, true);
        const std::vector<uint8_t> before = rig.settings(0, 512);
        ASSERT_TRUE(rig.simulator.link("mouse-receiver", false));
        EXPECT_EQ(c.op(*rig.mouse), c.result);
        EXPECT_EQ(rig.codesSent(), c.codes);
        EXPECT_EQ(rig.settings(0, 512), before);
    }
    // With the link on, the same write goes through the receiver.
    MouseRig rig;
    connectAndLoad(rig, true);
    EXPECT_EQ(rig.mouse->IsOnline(), 1);
    EXPECT_EQ(rig.mouse->WriteDeviceSettings(0, 0, 1, 1920, 1080), 1);
    EXPECT_EQ(rig.codesSent().front(), 0xAA);
    EXPECT_EQ(rig.settings(59, 1)[0], 1);
    ASSERT_TRUE(rig.simulator.link("mouse-receiver", false));
    EXPECT_EQ(rig.mouse->IsOnline(), 0);
}

TEST(MouseDevice, PowerStatusGoesToTheBatteryPanel) {
    struct Case {
        bool wireless;
        std::vector<uint8_t> status;
        const char* text;
        int progress;
        bool mark;
        const char* image;
    };
    const Case cases[] = {
        {false, {80, 0, 0, 1, 0, 0}, "80%", 20, false, "file='power/powered.png'"},
        {true, {55, 1, 0, 0, 7, 0}, "55%", 45, true, "file='power/powering.png'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        MouseRig rig;
        rig.connect(c.wireless);
        ASSERT_TRUE(rig.simulator.firmware("mouse")->write(Region::Power, 0, c.status));
        rig.mouse->ReadPowerStatus();
        ui::Control* panel = rig.powerControl.get();
        EXPECT_EQ(panel->find("device_power_value")->text(), c.text);
        EXPECT_EQ(panel->find("device_Power_progress")->value(), c.progress);
        EXPECT_EQ(panel->find("device_wuxian_logo")->visible(), c.mark);
        EXPECT_EQ(panel->find("device_power_status")->backgroundImage(), c.image);
        ASSERT_EQ(rig.host.messages.size(), 1u);
        EXPECT_EQ(rig.host.messages[0].message, message::kDevicePower);
        EXPECT_EQ(rig.host.messages[0].wParam, c.status[4]);
    }
    // Out of reach: nothing is read.
    MouseRig rig;
    rig.connect(true);
    ASSERT_TRUE(rig.simulator.link("mouse-receiver", false));
    rig.recorder.clear();
    rig.mouse->ReadPowerStatus();
    EXPECT_EQ(rig.codesSent(), std::vector<uint8_t>{0xAA});
    EXPECT_TRUE(rig.host.messages.empty());
    EXPECT_EQ(rig.powerControl->find("device_power_value")->text(), "");
}

TEST(MouseDevice, ReadOnboardSettingsTakesLightingAndStageIntoTheProfile) {
    MouseRig rig;
    rig.useModeCodes(0x20);
    connectAndLoad(rig);
    auto firmware = rig.simulator.firmware("mouse");
    const uint8_t active[] = {1};
    const uint8_t lighting[] = {0x23, 2, 1, 1, 0, 1, 2, 3};
    const uint8_t stage[] = {4};
    ASSERT_TRUE(firmware->write(Region::Settings, 0, active));
    ASSERT_TRUE(firmware->write(Region::Settings, 128 + 1, lighting));
    ASSERT_TRUE(firmware->write(Region::Settings, 128 + 12, stage));
    rig.mouse->setSyncActive(true);

    EXPECT_EQ(rig.mouse->ReadOnboardSettings(), 1);
    EXPECT_EQ(rig.mouse->onboardProfile(), 1);
    EXPECT_FALSE(rig.mouse->syncActive());
    EXPECT_EQ(rig.mouse->lastSettingsBlock()[0], 1);
    const Json::Value entry = profileDocument(rig)["Device"][0];
    EXPECT_EQ(entry["LightInfo"]["SelectItem"].asInt(), 3);
    EXPECT_EQ(entry["LightInfo"]["Light"].asInt(), 2);
    EXPECT_EQ(entry["LightInfo"]["Speed"].asInt(), 3);
    EXPECT_EQ(entry["LightInfo"]["Fx"].asInt(), 1);
    EXPECT_EQ(entry["LightInfo"]["MultiColor"].asInt(), 0);
    EXPECT_EQ(entry["LightInfo"]["Blue"].asInt(), 3);
    EXPECT_EQ(entry["DPIStages"]["StageActive"].asInt(), 4);
    EXPECT_EQ(rig.mouse->effectState().effect, 3);
    EXPECT_EQ(rig.mouse->effectState().speed, 3);

    // A closed channel before anything was read leaves the profile alone.
    MouseRig fresh;
    EXPECT_EQ(fresh.mouse->ReadOnboardSettings(), 0);
    EXPECT_FALSE(std::filesystem::exists(fresh.profileFile()));
}

TEST(MouseKeyPanelDevice, KeysMacrosAndProfilesForThePanels) {
    MouseRig rig;
    writeMacros(rig.deviceFolder(), {2, 2, 2});
    connectAndLoad(rig);
    std::vector<std::string> names;
    MouseKeyPanelDevice panel(*rig.mouse, [&](const std::vector<std::string>& n) { names = n; });
    EXPECT_EQ(panel.kind(), 2);
    panel.storeKeyAssignment(0, {0x70, 1, 0});
    panel.storeKeyAssignment(1, {0x70, 2, 0});
    panel.storeKeyAssignment(2, {0x71, 0, 4});
    auto assignment = [&](int key) {
        return files::ReadJsonDocument(rig.profileFile())["Device"][0]["KeyList"][key]["Assignment"]
            .asInt();
    };
    EXPECT_EQ(assignment(0), 0x700100);  // saved at once

    EXPECT_EQ(panel.uploadUsedMacros(), 0);
    EXPECT_EQ(rig.memory(Region::Macro, 0, 6),
              (std::vector<uint8_t>{0xAA, 0x55, 16 + 18 + 24, 0, 3, 0}));
    panel.writeKeyTable();
    EXPECT_EQ(rig.memory(Region::KeyTable, 0, 9),
              (std::vector<uint8_t>{0x70, 0, 0, 0x70, 1, 0, 0x71, 2, 4}));

    // Macro 1 deleted: its key takes the default, the key of macro 2 moves down.
    panel.macroDeleted(1);
    EXPECT_EQ(assignment(0), 0x100100);
    EXPECT_EQ(assignment(1), 0x700100);
    EXPECT_EQ(assignment(2), 0x710004);
    EXPECT_EQ(names, (std::vector<std::string>{"macro_1", "macro_2", "macro_3"}));

    testing::writeText(rig.deviceFolder() / "2024_02_02.Json", "{}");
    EXPECT_EQ(panel.profileFiles(),
              (std::vector<std::filesystem::path>{rig.deviceFolder() / "2024_02_02.Json",
                                                  rig.profileFile()}));
}

}  // namespace
}  // namespace korvane::devices
