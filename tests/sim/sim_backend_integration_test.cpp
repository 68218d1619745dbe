#include <algorithm>

#include <gtest/gtest.h>

#include "platform/hid/sim_backend.h"
#include "sim/headset_firmware.h"
#include "sim/simulator.h"
#include "tests/sim/sim_test_support.h"

// The simulator on the simulated HID bus, driven the way the program drives
// real devices: enumerate, open collections by path, write and read reports.
namespace korvane::sim {
namespace {

using test::Bytes;
using test::command;

constexpr hid::OpenMode kReadWrite{true, true, true, false};

class SimOnBackendTest : public testing::Test {
  protected:
    std::vector<std::string> paths() {
        std::vector<hid::InterfaceInfo> infos;
        EXPECT_TRUE(backend.enumerate(infos));
        std::vector<std::string> out;
        for (const auto& i : infos) {
            out.push_back(i.path);
        }
        std::sort(out.begin(), out.end());
        return out;
    }

    // Writes one command and reads its answer (1 s bound).
    std::optional<Bytes> exchange(hid::Device& device, const Bytes& packet) {
        size_t n = 0;
        if (device.write(packet, n, 1000) != hid::IoStatus::Ok) {
            return std::nullopt;
        }
        Bytes answer(64, 0);
        if (device.read(answer, n, 1000) != hid::IoStatus::Ok) {
            return std::nullopt;
        }
        answer.resize(n);
        return answer;
    }

    hid::SimBackend backend;
    Simulator sim{busFor(backend)};
};

TEST_F(SimOnBackendTest, DevicesAppearWithTheTablePaths) {
    for (const std::string& model : Simulator::modelNames()) {
        ASSERT_TRUE(sim.plug(model)) << model;
    }
    const std::vector<std::string> all = paths();
    const char* const expected[] = {
        "sim:mouse#vid_320f&pid_221c&mi_01&col04",
        "sim:mouse#vid_320f&pid_221c&mi_01&col03",
        "sim:mouse-receiver#vid_320f&pid_221d&mi_01&col04",
        "sim:keyboard#vid_320f&pid_505b&mi_01&col04",
        "sim:keyboard-receiver#vid_320f&pid_5001&mi_01&col03",
        "sim:pad#vid_320f&pid_1004&mi_01&col04",
        "sim:pad#vid_320f&pid_1004&mi_01&col03",
        "sim:headset#vid_0c76&pid_1630&mi_03",
        "sim:mouse#vid_320f&pid_221c&mi_00",
    };
    for (const char* path : expected) {
        EXPECT_NE(std::find(all.begin(), all.end(), path), all.end()) << path;
    }
    std::vector<hid::InterfaceInfo> infos;
    backend.enumerate(infos);
    for (const auto& i : infos) {
        if (i.path.ends_with("&col04")) {
            EXPECT_EQ(i.usagePage, 0xFF1C) << i.path;
            EXPECT_EQ(i.usage, 0x92) << i.path;
        }
    }
}

TEST_F(SimOnBackendTest, CommandsAndNotificationsTravelTheBus) {
    ASSERT_TRUE(sim.plug("mouse"));
    auto control = backend.open("sim:mouse#vid_320f&pid_221c&mi_01&col04", kReadWrite);
    auto consumer = backend.open("sim:mouse#vid_320f&pid_221c&mi_01&col03", kReadWrite);
    ASSERT_TRUE(control);
    ASSERT_TRUE(consumer);
    EXPECT_EQ(control->collection().outputReportByteLength, 64);

    // A short write goes out padded to 64 bytes; the sum covers the padding.
    Bytes shortBegin = command(0x01);
    shortBegin.resize(8);
    auto a = exchange(*control, shortBegin);
    ASSERT_TRUE(a);
    EXPECT_EQ((*a)[3], 0x01);
    EXPECT_EQ((*a)[7], 0x00);

    a = exchange(*control, command(0x06, 2, 12, {4, 0}));
    ASSERT_TRUE(a);
    EXPECT_EQ((*a)[7], 0x00);
    a = exchange(*control, command(0x05, 2, 12));
    ASSERT_TRUE(a);
    EXPECT_EQ((*a)[8], 4);

    ASSERT_TRUE(sim.notify("mouse", 0x1102));
    Bytes report(64, 0);
    size_t n = 0;
    ASSERT_EQ(consumer->read(report, n, 1000), hid::IoStatus::Ok);
    ASSERT_EQ(n, 3u);
    EXPECT_EQ(Bytes(report.begin(), report.begin() + 3), (Bytes{3, 0x02, 0x11}));
    const auto usages = hid::getUsages(consumer->collection().inputCaps.at(0), report);
    ASSERT_FALSE(usages.empty());
    EXPECT_EQ(usages[0], 0x1102);
    a = exchange(*control, command(0x05, 1, 0));
    ASSERT_TRUE(a);
    EXPECT_EQ((*a)[8], 2) << "the resync reads the profile the button chose";
    EXPECT_EQ(control->read(report, n, 0), hid::IoStatus::Timeout)
        << "notifications do not reach the command collection";
}

TEST_F(SimOnBackendTest, ReceiverLinkAndUnplugMidTransfer) {
    ASSERT_TRUE(sim.plug("mouse-receiver"));
    auto control = backend.open("sim:mouse-receiver#vid_320f&pid_221d&mi_01&col04", kReadWrite);
    ASSERT_TRUE(control);
    auto a = exchange(*control, command(0xAA));
    ASSERT_TRUE(a);
    EXPECT_EQ((*a)[8], 0xFF);
    sim.link("mouse-receiver", false);
    a = exchange(*control, command(0x07, 24, 0));
    ASSERT_TRUE(a);
    EXPECT_EQ((*a)[3], 0xAA);
    sim.link("mouse-receiver", true);

    sim.faults("mouse-receiver").unplugAfter(1);
    ASSERT_TRUE(exchange(*control, command(0x07, 24, 0)));
    size_t n = 0;
    const hid::IoStatus written = control->write(command(0x07, 24, 24), n, 1000);
    EXPECT_TRUE(written == hid::IoStatus::Ok || written == hid::IoStatus::Disconnected);
    Bytes answer(64, 0);
    EXPECT_EQ(control->read(answer, n, 1000), hid::IoStatus::Disconnected);
    EXPECT_FALSE(sim.isPlugged("mouse-receiver"));
    const std::vector<std::string> onBus = backend.plugged();
    EXPECT_EQ(std::find(onBus.begin(), onBus.end(), "mouse-receiver"), onBus.end());
    ASSERT_TRUE(sim.plug("mouse-receiver")) << "it can come back";
}

TEST_F(SimOnBackendTest, SlowAnswersAndHeadsetLighting) {
    ASSERT_TRUE(sim.plug("headset"));
    auto headset = backend.open("sim:headset#vid_0c76&pid_1630&mi_03", kReadWrite);
    ASSERT_TRUE(headset);

    Bytes light(17, 0);
    light[0] = 0xFF;
    light[1] = 0x44;
    light[2] = 0xAC;
    light[4] = 200;
    EXPECT_TRUE(headset->setOutputReport(light));
    auto fw = std::dynamic_pointer_cast<HeadsetFirmware>(sim.firmware("headset"));
    ASSERT_TRUE(fw);
    EXPECT_EQ(fw->lighting().colour(0x44, 0)[2], 200);

    // An answer delayed past the host's wait arrives on the next read.
    sim.faults("headset").delay(std::chrono::seconds(1));
    size_t n = 0;
    ASSERT_EQ(headset->write(command(0x05, 2, 0), n, 1000), hid::IoStatus::Ok);
    Bytes answer(64, 0);
    EXPECT_EQ(headset->read(answer, n, 0), hid::IoStatus::Timeout);
    ASSERT_EQ(headset->read(answer, n, 5000), hid::IoStatus::Ok);
    EXPECT_EQ(answer[3], 0x05);
}

}  // namespace
}  // namespace korvane::sim
