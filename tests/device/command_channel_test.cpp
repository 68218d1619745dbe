#include "device/command_channel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <numeric>
#include <thread>

#include "platform/hid/sim_backend.h"
#include "platform/log/logger.h"
#include "sim/simulator.h"
#include "tests/support/recording_backend.h"

namespace korvane::device {
namespace {

using sim::Region;
using testing::findPath;
using testing::RecordingBackend;

// One simulated device family on a recorded bus, with a command channel open
// on the cable (and optionally the receiver).
class ChannelTest : public ::testing::Test {
protected:
    hid::SimBackend bus;
    RecordingBackend wire{bus};
    sim::Simulator simulator{sim::busFor(bus)};
    CommandChannel channel{&wire};

    void openWired(const std::string& name) {
        ASSERT_TRUE(simulator.plug(name));
        std::string path = findPath(bus, name, 0xFF1C);
        ASSERT_FALSE(path.empty());
        ASSERT_TRUE(channel.wired().open(path, true, true, true, false));
        channel.setOpen(true);
        channel.setConnectionMode(ConnectionMode::Wired);
    }
    void openWireless(const std::string& receiver) {
        ASSERT_TRUE(simulator.plug(receiver));
        std::string path = findPath(bus, receiver, 0xFF1C);
        ASSERT_FALSE(path.empty());
        ASSERT_TRUE(channel.wireless().open(path, true, true, true, false));
        channel.setOpen(true);
        channel.setConnectionMode(ConnectionMode::Wireless);
    }
    std::vector<uint8_t> memory(const std::string& firmware, Region region, size_t offset, size_t n) {
        return simulator.firmware(firmware)->read(region, offset, n);
    }
    // Payload lengths (byte 4) and offsets (bytes 5-6) of the packets sent with `code`.
    std::vector<std::pair<int, int>> lengthsAndOffsets(uint8_t code) {
        std::vector<std::pair<int, int>> out;
        for (const auto& p : wire.packets(code)) {
            out.emplace_back(p[4], p[5] | (p[6] << 8));
        }
        return out;
    }
};

uint16_t sumOf(const std::vector<uint8_t>& p) {
    return static_cast<uint16_t>(std::accumulate(p.begin() + 3, p.end(), 0u) & 0xffff);
}

TEST(Packet, LayoutAndChecksum) {
    std::vector<uint8_t> payload(56, 0);
    payload[0] = 0xFF;
    payload[1] = 0x21;  // with the code 0x03: 0xFF + 0x21 + 3 = 0x123
    Packet p = buildPacket(0x03, std::span(payload).first(2), 0);
    EXPECT_EQ(p[0], 0x04);
    EXPECT_EQ(p[4], 2);
    EXPECT_EQ(p[1], 0x25);  // + the length byte 2
    EXPECT_EQ(p[2], 0x01);
    Packet q = buildPacket(0x06, std::span(payload).first(1), 0x1234);
    EXPECT_EQ(q[5], 0x34);
    EXPECT_EQ(q[6], 0x12);
    EXPECT_EQ(q[7], 0);
    EXPECT_EQ(q[8], 0xFF);
    EXPECT_TRUE(std::all_of(q.begin() + 9, q.end(), [](uint8_t b) { return b == 0; }));
    // Payloads beyond 56 bytes are cut to the packet.
    std::vector<uint8_t> big(80, 1);
    EXPECT_EQ(buildPacket(0x15, big)[4], 56);
}

TEST(Packet, DumpFormat) {
    Packet p{};
    for (size_t i = 0; i < p.size(); ++i) p[i] = static_cast<uint8_t>(i);
    std::string dump = formatPacketDump(p);
    EXPECT_EQ(dump.substr(0, 55), "00 01 02 03   04 05 06 07   08 09 0a 0b   0c 0d 0e 0f  ");
    auto newline = dump.find('\n');
    ASSERT_NE(newline, std::string::npos);
    EXPECT_EQ(dump.substr(newline - 11, 11), "1c 1d 1e 1f");
    EXPECT_EQ(dump.substr(newline + 1, 11), "20 21 22 23");
}

TEST_F(ChannelTest, ShortCommandGoesOutAsSixtyFourBytes) {
    openWired("mouse");
    uint8_t command[3] = {0x04, 0x00, 0x00};
    Packet answer{};
    size_t n = 0;
    channel.exchange(command, answer, n);
    auto writes = wire.writes();
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].bytes.size(), 64u);
    EXPECT_TRUE(std::all_of(writes[0].bytes.begin() + 3, writes[0].bytes.end(), [](uint8_t b) { return b == 0; }));
}

TEST_F(ChannelTest, EveryPacketCarriesItsChecksumAndTheDeviceAcceptsIt) {
    openWired("keyboard");
    std::array<uint8_t, kDeviceInfoSize> info{};
    ASSERT_EQ(channel.readDeviceInfo(info), result::kDone);
    std::vector<uint8_t> data(100, 0xAB);
    ASSERT_EQ(channel.writeMemory(0, std::span(data).first(26)), result::kDone);
    for (const auto& w : wire.writes()) {
        EXPECT_EQ(w.bytes[1] | (w.bytes[2] << 8), sumOf(w.bytes));
    }
    EXPECT_EQ(simulator.firmware("keyboard")->refusals().badChecksum, 0u);
    EXPECT_EQ(info[5], simulator.firmware("keyboard")->readAll(Region::Info)[5]);
}

TEST_F(ChannelTest, ParameterBlockSplitsBy56OnTheCable) {
    openWired("mouse");
    std::vector<uint8_t> block(512);
    ASSERT_EQ(channel.readBlock(block), result::kDone);
    auto packets = lengthsAndOffsets(cmd::kReadBlock);
    ASSERT_EQ(packets.size(), 10u);
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(packets[i], std::make_pair(56, 56 * i));
    }
    EXPECT_EQ(packets[9], std::make_pair(8, 504));
    EXPECT_EQ(block, memory("mouse", Region::KeyTable, 0, 512));
}

TEST_F(ChannelTest, ParameterBlockSplitsBy24ThroughTheReceiver) {
    openWireless("mouse-receiver");
    std::vector<uint8_t> block(512);
    ASSERT_EQ(channel.readBlock(block), result::kDone);
    auto packets = lengthsAndOffsets(cmd::kReadBlock);
    ASSERT_EQ(packets.size(), 22u);
    EXPECT_EQ(packets[20], std::make_pair(24, 480));
    EXPECT_EQ(packets[21], std::make_pair(8, 504));
    EXPECT_EQ(block, memory("mouse", Region::KeyTable, 0, 512));
}

TEST_F(ChannelTest, BlockSizeDrivesTheBlockAndLedListLengths) {
    openWired("keyboard");
    EXPECT_FALSE(channel.setBlockSize(513));
    EXPECT_EQ(channel.blockSize(), 512);
    std::vector<uint8_t> leds(512, 0xEE);
    ASSERT_EQ(channel.readLedList(leds), result::kDone);
    auto packets = lengthsAndOffsets(cmd::kReadLedList);
    ASSERT_EQ(packets.size(), 4u);  // 170 bytes
    EXPECT_EQ(packets[3], std::make_pair(2, 168));
    EXPECT_EQ(std::vector<uint8_t>(leds.begin(), leds.begin() + 170), memory("keyboard", Region::LedIndex, 0, 170));
    EXPECT_EQ(leds[170], 0xEE);  // nothing beyond blockSize / 3

    ASSERT_TRUE(channel.setBlockSize(366));
    std::vector<uint8_t> keys(366, 0);
    std::iota(keys.begin(), keys.end(), 0);
    ASSERT_EQ(channel.writeBlock(0, keys), result::kDone);
    EXPECT_EQ(memory("keyboard", Region::KeyTable, 0, 366), keys);
}

TEST_F(ChannelTest, BlockWriteToAnotherBankIsRefusedBeforeSending) {
    openWired("keyboard");
    std::vector<uint8_t> keys(512, 1);
    EXPECT_EQ(channel.writeBlock(1, keys), result::kBankRefused);
    EXPECT_TRUE(wire.writes().empty());
}

TEST_F(ChannelTest, ShootDataUses56ByteChunksEvenThroughTheReceiver) {
    openWireless("mouse-receiver");
    std::vector<uint8_t> image(130);
    std::iota(image.begin(), image.end(), 1);
    ASSERT_EQ(channel.writeShootData(image), result::kDone);
    EXPECT_EQ(lengthsAndOffsets(cmd::kWriteShoot),
              (std::vector<std::pair<int, int>>{{56, 0}, {56, 56}, {18, 112}}));
    EXPECT_EQ(memory("mouse", Region::Recoil, 0, 130), image);
}

TEST_F(ChannelTest, StatusReadIsOnePacketAtItsAddress) {
    openWired("mouse");
    std::array<uint8_t, 6> power{};
    ASSERT_EQ(channel.readMemorySingle(0, power), result::kDone);
    EXPECT_EQ(lengthsAndOffsets(cmd::kReadStatus), (std::vector<std::pair<int, int>>{{6, 0}}));
    auto expected = memory("mouse", Region::Power, 0, 6);
    EXPECT_TRUE(std::equal(power.begin(), power.end(), expected.begin()));
}

TEST_F(ChannelTest, AddressAndPageBasesAddToTheOffsets) {
    openWired("keyboard");
    std::vector<uint8_t> page(100);
    std::iota(page.begin(), page.end(), 7);
    ASSERT_EQ(channel.writePage(2, 512, page), result::kDone);
    EXPECT_EQ(lengthsAndOffsets(cmd::kWritePage), (std::vector<std::pair<int, int>>{{56, 1024}, {44, 1080}}));
    EXPECT_EQ(memory("keyboard", Region::CustomLight, 1024, 100), page);
    std::vector<uint8_t> back(100);
    ASSERT_EQ(channel.readPage(2, 512, back), result::kDone);
    EXPECT_EQ(back, page);

    wire.clear();
    std::vector<uint8_t> block(26, 0x11);
    ASSERT_EQ(channel.writeMemory(50, block), result::kDone);
    EXPECT_EQ(lengthsAndOffsets(cmd::kWriteMemory), (std::vector<std::pair<int, int>>{{26, 50}}));
    std::vector<uint8_t> read(26);
    ASSERT_EQ(channel.readMemory(50, read), result::kDone);
    EXPECT_EQ(read, block);
}

TEST_F(ChannelTest, ClosedChannelReturnsZeroWithoutSending) {
    openWired("mouse");
    channel.setOpen(false);
    std::vector<uint8_t> out(10);
    EXPECT_EQ(channel.readMemory(0, out), result::kNoAnswer);
    EXPECT_EQ(channel.beginWrite(), result::kNoAnswer);
    EXPECT_TRUE(wire.writes().empty());
}

TEST_F(ChannelTest, FailedWriteGivesMinusOne) {
    ASSERT_TRUE(simulator.plug("mouse"));
    std::string path = findPath(bus, "mouse", 0xFF1C);
    ASSERT_TRUE(channel.wired().open(path, true, false, true, false));  // no write access
    channel.setOpen(true);
    channel.setConnectionMode(ConnectionMode::Wired);
    EXPECT_EQ(channel.beginWrite(), result::kWriteFailed);
    ASSERT_TRUE(simulator.unplug("mouse"));
    EXPECT_EQ(channel.endWrite(), result::kWriteFailed);
}

TEST_F(ChannelTest, DeviceStatusCodesBecomeResultCodes) {
    openWired("mouse");
    const std::pair<uint8_t, int> cases[] = {{0xFE, result::kStatusFE}, {0xFF, result::kStatusFF}};
    for (auto [status, expected] : cases) {
        simulator.faults("mouse").status(status, 1);
        std::vector<uint8_t> out(4);
        EXPECT_EQ(channel.readMemory(0, out), expected);
        EXPECT_EQ(channel.beginWrite(), result::kDone);  // the fault lasted one command
    }
}

TEST_F(ChannelTest, EarlierPacketsStayWrittenWhenALaterOneIsRefused) {
    openWired("mouse");
    int shootPackets = 0;
    wire.setOnWrite([&](std::span<const uint8_t> r) {
        if (r[3] == cmd::kWriteShoot && ++shootPackets == 3) {
            simulator.faults("mouse").status(0xFE, 1);
        }
    });
    std::vector<uint8_t> image(168, 0x42);
    EXPECT_EQ(channel.writeShootData(image), result::kStatusFE);
    EXPECT_EQ(wire.packets(cmd::kWriteShoot).size(), 3u);
    EXPECT_EQ(memory("mouse", Region::Recoil, 0, 112), std::vector<uint8_t>(112, 0x42));
    EXPECT_EQ(memory("mouse", Region::Recoil, 112, 56), std::vector<uint8_t>(56, 0));
}

TEST_F(ChannelTest, UnreachableDeviceBehindTheReceiver) {
    openWireless("mouse-receiver");
    EXPECT_TRUE(channel.linkQuery());
    ASSERT_TRUE(simulator.link("mouse-receiver", false));
    EXPECT_FALSE(channel.linkQuery());
    std::vector<uint8_t> block(512);
    EXPECT_EQ(channel.readBlock(block), result::kUnreachable);
    EXPECT_EQ(lengthsAndOffsets(cmd::kReadBlock).size(), 1u);
    ASSERT_TRUE(simulator.link("mouse-receiver", true));
    EXPECT_EQ(channel.readBlock(block), result::kDone);
}

TEST_F(ChannelTest, LinkQueryIsNotSentOnTheCable) {
    openWired("mouse");
    EXPECT_TRUE(channel.linkQuery());
    EXPECT_TRUE(wire.writes().empty());
}

TEST_F(ChannelTest, AnAnswerWithAnotherCodeIsReadPast) {
    openWired("mouse");
    simulator.faults("mouse").extraAnswer(0x33, 1);
    std::vector<uint8_t> out(4);
    EXPECT_EQ(channel.readMemory(0, out), result::kDone);
    EXPECT_EQ(out, memory("mouse", Region::Settings, 0, 4));
}

TEST_F(ChannelTest, NoAnswerTimesOutAndTheNextExchangeIsClean) {
    openWired("mouse");
    // The answer to the first read comes long after both reads gave up.
    simulator.faults("mouse").delay(std::chrono::milliseconds(2300), 1);
    std::vector<uint8_t> first(8);
    EXPECT_EQ(channel.readMemory(0, first), result::kNoAnswer);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));  // the late answer is now queued
    std::vector<uint8_t> second(8);
    ASSERT_EQ(channel.readMemory(14, second), result::kDone);
    EXPECT_EQ(second, memory("mouse", Region::Settings, 14, 8));
}

TEST_F(ChannelTest, TwoThreadsExchangeAtOnce) {
    openWired("keyboard");
    bus.setReportLatency(std::chrono::microseconds(300));
    std::atomic<int> failures{0};
    auto settings = memory("keyboard", Region::Settings, 0, 26);
    auto page = memory("keyboard", Region::CustomLight, 512, 60);
    std::thread a([&] {
        for (int i = 0; i < 40; ++i) {
            std::vector<uint8_t> out(26);
            if (channel.readMemory(0, out) != result::kDone || out != settings) ++failures;
        }
    });
    std::thread b([&] {
        for (int i = 0; i < 40; ++i) {
            std::vector<uint8_t> out(60);
            if (channel.readPage(1, 512, out) != result::kDone || out != page) ++failures;
        }
    });
    a.join();
    b.join();
    EXPECT_EQ(failures.load(), 0);
}

TEST_F(ChannelTest, LightStreamSendsOnTheCableOnly) {
    openWired("keyboard");
    std::vector<uint8_t> frame(378, 0x10);
    EXPECT_EQ(channel.streamLightData(frame), result::kDone);
    EXPECT_EQ(lengthsAndOffsets(cmd::kLightData).size(), 7u);  // 6 × 56 + 42
    EXPECT_EQ(memory("keyboard", Region::LightStream, 0, 378), frame);

    wire.clear();
    channel.setConnectionMode(ConnectionMode::Wireless);
    EXPECT_EQ(channel.streamLightData(frame), result::kDone);
    EXPECT_TRUE(wire.writes().empty());
}

TEST_F(ChannelTest, LightStreamDropsChunksWhileAnExchangeRuns) {
    openWired("keyboard");
    simulator.faults("keyboard").delay(std::chrono::milliseconds(400), 1);
    std::thread slow([&] {
        std::vector<uint8_t> out(4);
        channel.readMemory(0, out);
    });
    while (!channel.busy()) std::this_thread::yield();
    std::vector<uint8_t> frame(378, 0x20);
    EXPECT_EQ(channel.streamLightData(frame), result::kDone);
    slow.join();
    EXPECT_TRUE(wire.packets(cmd::kLightData).empty());
}

TEST_F(ChannelTest, DebugLinesShowCommandAndAnswer) {
    openWired("mouse");
    std::vector<std::string> lines;
    log::setEnabled(true);
    log::setSink([&](std::string_view l) { lines.emplace_back(l); });
    channel.beginWrite();
    log::setSink({});
    log::setEnabled(false);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "命令");
    EXPECT_EQ(lines[1].substr(0, 14), "04 01 00 01   ");  // checksum 1: only the code counts
    EXPECT_EQ(lines[2], "返回");
}

}  // namespace
}  // namespace korvane::device
