#include <atomic>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

#include <gtest/gtest.h>
#include <json/json.h>

#include "sim/keyboard_firmware.h"
#include "sim/mouse_firmware.h"
#include "sim/simulator.h"
#include "tests/sim/sim_test_support.h"

namespace korvane::sim {
namespace {

using test::Bytes;
using test::command;

class SimulatorTest : public testing::Test {
  protected:
    // Sends one command through the bus device `name` and returns its answer.
    std::optional<Bytes> exchange(const std::string& name, const Bytes& packet) {
        auto device = bus->device(name);
        auto host = bus->host(name);
        if (!device || !host) {
            return std::nullopt;
        }
        device->receiveOutputReport(1, packet, false);
        auto reports = host->take();
        if (reports.size() != 1) {
            return std::nullopt;
        }
        return reports[0].bytes;
    }

    std::shared_ptr<test::FakeBus> bus = std::make_shared<test::FakeBus>();
    Simulator sim{bus};
};

TEST_F(SimulatorTest, PlugsAndUnplugsByBusName) {
    EXPECT_EQ(Simulator::modelNames(),
              (std::vector<std::string>{"mouse", "mouse-receiver", "keyboard", "keyboard-receiver",
                                        "pad", "headset"}));
    EXPECT_FALSE(sim.isPlugged("mouse"));
    ASSERT_TRUE(sim.plug("mouse"));
    EXPECT_TRUE(sim.isPlugged("mouse"));
    EXPECT_FALSE(sim.plug("mouse")) << "already on the bus";
    ASSERT_TRUE(bus->device("mouse"));
    EXPECT_EQ(bus->device("mouse")->productId(), 0x221C);

    ASSERT_TRUE(exchange("mouse", command(0x06, 2, 100, {0xAB, 0xCD})));
    EXPECT_TRUE(sim.unplug("mouse"));
    EXPECT_FALSE(sim.isPlugged("mouse"));
    EXPECT_FALSE(sim.unplug("mouse"));
    EXPECT_FALSE(bus->device("mouse"));

    ASSERT_TRUE(sim.plug("mouse"));
    const auto a = exchange("mouse", command(0x05, 2, 100));
    ASSERT_TRUE(a);
    EXPECT_EQ((*a)[8], 0xAB) << "memory survives an unplug";

    EXPECT_FALSE(sim.plug("toaster"));
    EXPECT_FALSE(sim.plug("toaster", "t-1"));
    EXPECT_FALSE(sim.unplug("toaster"));
    EXPECT_THROW(sim.faults("toaster"), std::out_of_range);
}

TEST_F(SimulatorTest, ReceiverAndCableShareOnePhysicalDevice) {
    ASSERT_TRUE(sim.plug("keyboard"));
    ASSERT_TRUE(sim.plug("keyboard-receiver"));
    EXPECT_EQ(sim.firmwareName("keyboard-receiver"), "keyboard");
    EXPECT_EQ(sim.firmware("keyboard-receiver"), sim.firmware("keyboard"));

    ASSERT_TRUE(exchange("keyboard-receiver", command(0x0B, 3, 512 + 9, {1, 2, 3})));
    auto a = exchange("keyboard", command(0x0A, 3, 512 + 9));
    ASSERT_TRUE(a);
    EXPECT_EQ(Bytes(a->begin() + 8, a->begin() + 11), (Bytes{1, 2, 3}));

    EXPECT_FALSE(sim.link("keyboard", false));
    ASSERT_TRUE(sim.link("keyboard-receiver", false));
    a = exchange("keyboard-receiver", command(0x05, 1, 0));
    ASSERT_TRUE(a);
    EXPECT_EQ((*a)[3], 0xAA);
    EXPECT_FALSE(sim.notify("keyboard-receiver", 0x0401));
    ASSERT_TRUE(sim.notify("keyboard", 0x1002));
    EXPECT_EQ(sim.firmware("keyboard")->activeProfile(), 2);
    const auto reports = bus->host("keyboard")->take();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].bytes, (Bytes{3, 0x02, 0x10}));
}

TEST_F(SimulatorTest, SecondInstancesHaveFirmwareOfTheirOwn) {
    ASSERT_TRUE(sim.plug("mouse"));
    ASSERT_TRUE(sim.plug("mouse", "mouse-2"));
    ASSERT_TRUE(sim.plug("mouse-receiver", "mouse-receiver-2"));
    EXPECT_EQ(sim.firmwareName("mouse-2"), "mouse-2");
    EXPECT_EQ(sim.firmwareName("mouse-receiver-2"), "mouse-2");
    EXPECT_NE(sim.firmware("mouse-2"), sim.firmware("mouse"));

    ASSERT_TRUE(exchange("mouse-receiver-2", command(0x06, 1, 0, {2})));
    EXPECT_EQ(sim.firmware("mouse-2")->activeProfile(), 2);
    EXPECT_EQ(sim.firmware("mouse")->activeProfile(), 0);

    EXPECT_FALSE(sim.plug("keyboard", "mouse-2")) << "the name belongs to a mouse";
    ASSERT_TRUE(sim.add("pad", "mouse-3"));  // a pad that happens to be called so
    EXPECT_FALSE(sim.plug("mouse-receiver", "mouse-receiver-3"))
        << "its physical device would be the pad";
    ASSERT_TRUE(sim.plug("mouse-3"));
    EXPECT_EQ(bus->device("mouse-3")->productId(), 0x1004);
}

TEST_F(SimulatorTest, ConfigurationAppliesBeforePlugging) {
    FirmwareConfig config = KeyboardFirmware::defaultConfig();
    config.info.setKeyCount(87);
    config.info.setMacroUnits(3);
    config.info.setFirmwareVersion(0x0302);
    config.profileCount = 2;

    ASSERT_TRUE(sim.plug("keyboard"));
    EXPECT_FALSE(sim.configure("keyboard-receiver", config)) << "refused while plugged";
    ASSERT_TRUE(sim.unplug("keyboard"));
    ASSERT_TRUE(sim.configure("keyboard-receiver", config));
    EXPECT_EQ(sim.config("keyboard"), config);
    config.profileCount = 0;
    EXPECT_FALSE(sim.configure("keyboard", config));

    ASSERT_TRUE(sim.plug("keyboard"));
    EXPECT_EQ(bus->device("keyboard")->versionNumber(), 0x0302);
    const auto info = exchange("keyboard", command(0x03, 34, 0));
    ASSERT_TRUE(info);
    EXPECT_EQ((*info)[8 + 5], 87);
    EXPECT_EQ((*info)[8 + 6], 3);
    const auto tooFar = exchange("keyboard", command(0x15, 8, 3 * 128 - 4, test::pattern(8, 1)));
    ASSERT_TRUE(tooFar);
    EXPECT_EQ((*tooFar)[7], 0xFE) << "macro memory is byte 6 * 128 bytes";
    EXPECT_EQ(sim.firmware("keyboard")->regionSize(Region::KeyTable), 2u * 512);
}

TEST_F(SimulatorTest, DumpShowsMemoryAndState) {
    ASSERT_TRUE(sim.plug("mouse-receiver"));
    sim.faults("mouse-receiver").status(0xFE, 3);
    sim.setLatency("mouse-receiver", std::chrono::microseconds(1000));
    sim.firmware("mouse")->write(Region::Power, 0, Bytes{0x42, 0x01});
    exchange("mouse-receiver", command(0x01));  // takes one of the three faults

    const Json::Value dump = sim.dump();
    const Json::Value& fw = dump["firmware"]["mouse"];
    EXPECT_EQ(fw["kind"].asString(), "mouse");
    EXPECT_EQ(fw["regions"]["power"].asString(), "420100000000");
    EXPECT_EQ(fw["regions"]["settings"].asString().size(), 2u * 512);
    EXPECT_EQ(fw["regions"]["deviceInformation"].asString().substr(10, 4), "0b20");
    EXPECT_FALSE(fw["regions"].isMember("ledIndex")) << "the mouse has no LED list";
    EXPECT_EQ(fw["writeSession"]["begins"].asInt(), 0) << "the 0x01 was refused";
    EXPECT_EQ(fw["commands"].size(), 0u);
    const Json::Value& d = dump["devices"]["mouse-receiver"];
    EXPECT_EQ(d["firmware"].asString(), "mouse");
    EXPECT_EQ(d["productId"].asString(), "221d");
    EXPECT_TRUE(d["plugged"].asBool());
    EXPECT_TRUE(d["link"].asBool());
    EXPECT_EQ(d["latencyUs"].asInt(), 1000);
    EXPECT_EQ(d["faults"][0]["kind"].asString(), "status");
    EXPECT_EQ(d["faults"][0]["commands"].asInt(), 2);
    EXPECT_EQ(d["counters"]["commandReports"].asInt(), 1);
    EXPECT_FALSE(dump["devices"]["mouse"]["plugged"].asBool());
    EXPECT_TRUE(dump["firmware"]["headset"]["lighting"].isObject());

    const auto dir =
        std::filesystem::temp_directory_path() / ("korvane-sim-dump-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto file = dir / "dump.json";
    ASSERT_TRUE(sim.writeToFile(file));
    std::ifstream in(file);
    Json::Value reread;
    ASSERT_TRUE(Json::parseFromStream(Json::CharReaderBuilder(), in, &reread, nullptr));
    // Compared as text: numbers read back as signed where the dump has unsigned.
    const Json::StreamWriterBuilder writer;
    EXPECT_EQ(Json::writeString(writer, reread), Json::writeString(writer, sim.dump()));
    EXPECT_FALSE(std::filesystem::exists(dir / "dump.json.tmp"));
    EXPECT_FALSE(sim.writeToFile(dir / "missing" / "dump.json"));
    std::filesystem::remove_all(dir);
}

TEST(SimulatorLifetime, DestructionTakesItsDevicesOffTheBus) {
    auto bus = std::make_shared<test::FakeBus>();
    {
        Simulator sim(bus);
        ASSERT_TRUE(sim.plug("pad"));
        ASSERT_TRUE(sim.plug("headset"));
    }
    EXPECT_FALSE(bus->device("pad"));
    EXPECT_FALSE(bus->device("headset"));
}

// Tests plug and unplug while the program talks to the devices.
TEST_F(SimulatorTest, UsableFromSeveralThreads) {
    ASSERT_TRUE(sim.plug("mouse"));
    std::atomic<bool> stop{false};
    std::atomic<int> answered{0};

    std::thread program([&] {
        auto device = bus->device("mouse");
        auto host = bus->host("mouse");
        for (uint16_t i = 0; i < 400; ++i) {
            const uint8_t v = static_cast<uint8_t>(i);
            device->receiveOutputReport(1, command(0x06, 1, 200, {v}), false);
            device->receiveOutputReport(1, command(0x05, 1, 200), false);
            for (const auto& r : host->take()) {
                answered += r.bytes[7] == 0 ? 1 : 0;
            }
        }
        stop = true;
    });
    std::thread plugger([&] {
        while (!stop) {
            sim.plug("mouse-receiver");
            sim.notify("mouse-receiver", 0x1001);
            sim.link("mouse-receiver", false);
            sim.link("mouse-receiver", true);
            sim.unplug("mouse-receiver");
        }
    });
    std::thread observer([&] {
        while (!stop) {
            const Json::Value d = sim.dump();
            EXPECT_TRUE(d["firmware"]["mouse"]["regions"]["settings"].isString());
            sim.faults("mouse").delay(std::chrono::microseconds(1));
        }
    });
    program.join();
    plugger.join();
    observer.join();
    EXPECT_EQ(answered.load(), 800);
    EXPECT_EQ(sim.firmware("mouse")->read(Region::Settings, 200, 1), Bytes{0x8F});  // 399 & 0xFF
}

}  // namespace
}  // namespace korvane::sim
