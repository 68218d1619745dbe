#include "platform/hid/sim_backend.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/hid/wire_trace.h"

namespace korvane::hid {
namespace {

using namespace std::chrono_literals;

// Interface 1: col01 consumer control (report id 3, one 16-bit array field),
// col02 vendor 0xFF1C/0x92 (report id 4, 63 bytes in and out).
const std::vector<uint8_t> kTwoCollections = {
    0x05, 0x0c, 0x09, 0x01, 0xa1, 0x01, 0x85, 0x03, 0x15, 0x00, 0x26, 0xff, 0x1f, 0x19,
    0x00, 0x2a, 0xff, 0x1f, 0x75, 0x10, 0x95, 0x01, 0x81, 0x00, 0xc0,  //
    0x06, 0x1c, 0xff, 0x09, 0x92, 0xa1, 0x01, 0x85, 0x04, 0x15, 0x00, 0x26, 0xff, 0x00,
    0x75, 0x08, 0x95, 0x3f, 0x09, 0x01, 0x81, 0x02, 0x09, 0x02, 0x91, 0x02, 0xc0};
// One vendor collection 0xFF00/0x01 without report ids, 8 bytes in and out.
const std::vector<uint8_t> kUnnumbered = {0x06, 0x00, 0xff, 0x09, 0x01, 0xa1, 0x01, 0x15, 0x00,
                                          0x26, 0xff, 0x00, 0x75, 0x08, 0x95, 0x08, 0x09, 0x01,
                                          0x81, 0x02, 0x09, 0x02, 0x91, 0x02, 0xc0};

const OpenMode kReadWrite{true, true, true, false};

std::vector<uint8_t> vendorReport(uint8_t tag) {
    std::vector<uint8_t> report(64, 0);
    report[0] = 0x04;
    report[1] = tag;
    return report;
}

// A device whose firmware the test scripts; it records what the bus did to it.
class FakeDevice : public VirtualDevice {
  public:
    using Handler = std::function<bool(FakeDevice&, uint8_t, std::span<const uint8_t>, bool)>;

    struct Received {
        uint8_t interfaceNumber;
        std::vector<uint8_t> bytes;
        bool viaSetOutputReport;
    };

    FakeDevice(std::string name, std::vector<VirtualInterface> interfaces, bool composite = true)
        : name_(std::move(name)), interfaces_(std::move(interfaces)), composite_(composite) {}

    std::string name() const override { return name_; }
    uint16_t vendorId() const override { return 0x320f; }
    uint16_t productId() const override { return 0x221c; }
    uint16_t versionNumber() const override { return 0x0102; }
    bool composite() const override { return composite_; }
    std::vector<VirtualInterface> interfaces() const override { return interfaces_; }

    void attach(VirtualDeviceHost* host) override {
        std::lock_guard lock(mutex_);
        host_ = host;
        events_.push_back(host ? "attach" : insideReceive_ ? "detach-inside-receive" : "detach");
    }

    bool receiveOutputReport(uint8_t interfaceNumber, std::span<const uint8_t> report,
                             bool viaSetOutputReport) override {
        if (busy_.exchange(true)) {
            overlapped_ = true;
        }
        {
            std::lock_guard lock(mutex_);
            insideReceive_ = true;
            received_.push_back(
                {interfaceNumber, {report.begin(), report.end()}, viaSetOutputReport});
            events_.push_back("receive");
        }
        const bool accepted =
            onReceive ? onReceive(*this, interfaceNumber, report, viaSetOutputReport) : true;
        {
            std::lock_guard lock(mutex_);
            insideReceive_ = false;
            events_.push_back("received");
        }
        busy_ = false;
        return accepted;
    }

    VirtualDeviceHost* host() {
        std::lock_guard lock(mutex_);
        return host_;
    }
    std::vector<Received> received() {
        std::lock_guard lock(mutex_);
        return received_;
    }
    std::vector<std::string> events() {
        std::lock_guard lock(mutex_);
        return events_;
    }
    bool overlapped() const { return overlapped_; }

    Handler onReceive;

  private:
    std::string name_;
    std::vector<VirtualInterface> interfaces_;
    bool composite_;
    std::mutex mutex_;
    VirtualDeviceHost* host_ = nullptr;
    bool insideReceive_ = false;
    std::vector<Received> received_;
    std::vector<std::string> events_;
    std::atomic<bool> busy_{false};
    std::atomic<bool> overlapped_{false};
};

std::shared_ptr<FakeDevice> mouse(std::string name = "mouse") {
    return std::make_shared<FakeDevice>(
        std::move(name), std::vector<VirtualInterface>{{0, kUnnumbered}, {1, kTwoCollections}});
}

const std::string kConsumerPath = "sim:mouse#vid_320f&pid_221c&mi_01&col01";
const std::string kVendorPath = "sim:mouse#vid_320f&pid_221c&mi_01&col02";
const std::string kUnnumberedPath = "sim:mouse#vid_320f&pid_221c&mi_00";

// Runs a blocking call on another thread; wakeUntilDone() repeats `wake` until
// the call has returned (a single wake could come before the call is pending).
template <typename T>
class Blocked {
  public:
    explicit Blocked(std::function<T()> call) : future_(std::async(std::launch::async, call)) {}
    bool wakeUntilDone(const std::function<void()>& wake) {
        for (int i = 0; i < 1000; ++i) {
            wake();
            if (future_.wait_for(10ms) == std::future_status::ready) {
                return true;
            }
        }
        return false;
    }
    T get() { return future_.get(); }

  private:
    std::future<T> future_;
};

TEST(SimBackend, PlugEnumerateUnplug) {
    SimBackend bus;
    auto device = mouse();
    auto pad =
        std::make_shared<FakeDevice>("pad", std::vector<VirtualInterface>{{1, kUnnumbered}}, false);
    ASSERT_TRUE(bus.plug(device));
    ASSERT_TRUE(bus.plug(pad));
    EXPECT_NE(device->host(), nullptr);
    EXPECT_EQ(bus.plugged(), (std::vector<std::string>{"mouse", "pad"}));

    std::vector<InterfaceInfo> infos;
    ASSERT_TRUE(bus.enumerate(infos));
    struct Expected {
        std::string path;
        int interfaceNumber;
        int collectionNumber;
        uint16_t usagePage;
        uint16_t usage;
    };
    const std::vector<Expected> expected = {
        {kUnnumberedPath, 0, 0, 0xff00, 0x01},
        {kConsumerPath, 1, 1, 0x000c, 0x01},
        {kVendorPath, 1, 2, 0xff1c, 0x92},
        {"sim:pad#vid_320f&pid_221c", 1, 0, 0xff00, 0x01},
    };
    ASSERT_EQ(infos.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(expected[i].path);
        EXPECT_EQ(infos[i].path, expected[i].path);
        EXPECT_EQ(infos[i].vendorId, 0x320f);
        EXPECT_EQ(infos[i].productId, 0x221c);
        EXPECT_EQ(infos[i].interfaceNumber, expected[i].interfaceNumber);
        EXPECT_EQ(infos[i].collectionNumber, expected[i].collectionNumber);
        EXPECT_EQ(infos[i].usagePage, expected[i].usagePage);
        EXPECT_EQ(infos[i].usage, expected[i].usage);
    }

    EXPECT_TRUE(bus.unplug("mouse"));
    EXPECT_EQ(device->host(), nullptr);
    EXPECT_EQ(device->events(), (std::vector<std::string>{"attach", "detach"}));
    EXPECT_FALSE(bus.unplug("mouse"));
    ASSERT_TRUE(bus.enumerate(infos));
    ASSERT_EQ(infos.size(), 1u);
    EXPECT_EQ(infos[0].path, "sim:pad#vid_320f&pid_221c");
    EXPECT_EQ(bus.plugged(), (std::vector<std::string>{"pad"}));
}

TEST(SimBackend, RefusesDevicesItCannotPlug) {
    // A Logical Maximum item whose data runs past the end.
    const std::vector<uint8_t> truncated = {0x05, 0x01, 0x09, 0x02, 0xa1, 0x01, 0x26, 0xff};
    struct Case {
        const char* what;
        std::shared_ptr<FakeDevice> device;
    };
    const std::vector<Case> cases = {
        {"name already plugged", mouse()},
        {"malformed descriptor",
         std::make_shared<FakeDevice>("bad", std::vector<VirtualInterface>{{1, truncated}})},
        {"interface listed twice",
         std::make_shared<FakeDevice>(
             "twice", std::vector<VirtualInterface>{{1, kUnnumbered}, {1, kTwoCollections}})},
        {"not composite with two interfaces",
         std::make_shared<FakeDevice>(
             "single", std::vector<VirtualInterface>{{0, kUnnumbered}, {1, kTwoCollections}},
             false)},
        {"no name", std::make_shared<FakeDevice>("", std::vector<VirtualInterface>{})},
    };
    SimBackend bus;
    ASSERT_TRUE(bus.plug(mouse()));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(bus.plug(c.device));
        EXPECT_TRUE(c.device->events().empty());
    }
    EXPECT_FALSE(bus.plug(nullptr));
    EXPECT_EQ(bus.plugged(), std::vector<std::string>{"mouse"});
}

TEST(SimBackend, OpenFollowsPluggingAndAccess) {
    SimBackend bus;
    auto device = mouse();
    ASSERT_TRUE(bus.plug(device));
    EXPECT_EQ(bus.open("sim:mouse#vid_320f&pid_221c&mi_01&col03", kReadWrite), nullptr);
    EXPECT_EQ(bus.open("sim:cat#vid_320f&pid_221c&mi_01&col02", kReadWrite), nullptr);

    auto presence = bus.open(kVendorPath, OpenMode{});
    ASSERT_NE(presence, nullptr);
    EXPECT_EQ(presence->path(), kVendorPath);
    EXPECT_EQ(presence->attributes().vendorId, 0x320f);
    EXPECT_EQ(presence->attributes().productId, 0x221c);
    EXPECT_EQ(presence->attributes().versionNumber, 0x0102);
    EXPECT_EQ(presence->collection().usagePage, 0xff1c);
    EXPECT_EQ(presence->collection().outputReportByteLength, 64);
    std::vector<uint8_t> buffer(64);
    size_t n = 0;
    EXPECT_EQ(presence->read(buffer, n, 0), IoStatus::Error);
    EXPECT_EQ(presence->write(vendorReport(1), n, 0), IoStatus::Error);
    EXPECT_FALSE(presence->setOutputReport(vendorReport(1)));

    auto readOnly = bus.open(kVendorPath, OpenMode{true, false, true, false});
    ASSERT_NE(readOnly, nullptr);
    EXPECT_EQ(readOnly->write(vendorReport(1), n, 0), IoStatus::Error);
    auto writeOnly = bus.open(kVendorPath, OpenMode{false, true, true, false});
    ASSERT_NE(writeOnly, nullptr);
    EXPECT_EQ(writeOnly->read(buffer, n, 0), IoStatus::Error);
    EXPECT_TRUE(device->received().empty());

    auto old = bus.open(kVendorPath, kReadWrite);
    ASSERT_NE(old, nullptr);
    ASSERT_TRUE(bus.unplug("mouse"));
    EXPECT_EQ(bus.open(kVendorPath, OpenMode{}), nullptr);
    EXPECT_EQ(bus.open(kVendorPath, kReadWrite), nullptr);
    EXPECT_EQ(old->read(buffer, n, 0), IoStatus::Disconnected);
    EXPECT_EQ(old->write(vendorReport(1), n, 0), IoStatus::Disconnected);

    // The same device back under the same name: old handles stay dead, a new open works.
    ASSERT_TRUE(bus.plug(device));
    EXPECT_EQ(old->read(buffer, n, 0), IoStatus::Disconnected);
    auto fresh = bus.open(kVendorPath, kReadWrite);
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(fresh->write(vendorReport(7), n, 0), IoStatus::Ok);
    ASSERT_EQ(device->received().size(), 1u);
}

TEST(SimBackend, ShareModesFollowWindowsRules) {
    const OpenMode shared{true, true, true, false};
    const OpenMode exclusive{true, true, true, true};
    const OpenMode readExclusive{true, false, true, true};
    const OpenMode readShared{true, false, true, false};
    const OpenMode none{};
    struct Case {
        const char* what;
        OpenMode held;
        OpenMode wanted;
        bool opens;
    };
    const std::vector<Case> cases = {
        {"shared after shared", shared, shared, true},
        {"exclusive after a writer", shared, exclusive, false},
        {"writer after exclusive", exclusive, shared, false},
        {"reader after exclusive", exclusive, readShared, true},
        {"two exclusive readers", readExclusive, readExclusive, true},
        {"presence check after exclusive", exclusive, none, true},
        {"exclusive after presence check", none, exclusive, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SimBackend bus;
        ASSERT_TRUE(bus.plug(mouse()));
        auto held = bus.open(kVendorPath, c.held);
        ASSERT_NE(held, nullptr);
        EXPECT_EQ(bus.open(kVendorPath, c.wanted) != nullptr, c.opens);
        // Another collection of the same interface is another file.
        EXPECT_NE(bus.open(kConsumerPath, c.wanted), nullptr);
        held->close();
        EXPECT_NE(bus.open(kVendorPath, c.wanted), nullptr);
    }
}

TEST(SimBackend, WritesReachTheFirmwareChecked) {
    SimBackend bus;
    auto device = mouse();
    device->onReceive = [](FakeDevice&, uint8_t, std::span<const uint8_t> report, bool) {
        return report[1] != 0xee;  // the firmware refuses tag 0xee
    };
    ASSERT_TRUE(bus.plug(device));
    auto vendor = bus.open(kVendorPath, kReadWrite);
    auto plain = bus.open(kUnnumberedPath, kReadWrite);
    ASSERT_NE(vendor, nullptr);
    ASSERT_NE(plain, nullptr);

    size_t n = 0;
    EXPECT_EQ(vendor->write(std::vector<uint8_t>{0x04, 0x11, 0x22}, n, 1000), IoStatus::Ok);
    EXPECT_EQ(n, 3u);
    EXPECT_TRUE(vendor->setOutputReport(vendorReport(0x33)));
    EXPECT_EQ(plain->write(std::vector<uint8_t>{0x00, 0x55}, n, 1000), IoStatus::Ok);

    auto received = device->received();
    ASSERT_EQ(received.size(), 3u);
    std::vector<uint8_t> padded(64, 0);
    padded[0] = 0x04;
    padded[1] = 0x11;
    padded[2] = 0x22;
    EXPECT_EQ(received[0].interfaceNumber, 1);
    EXPECT_EQ(received[0].bytes, padded);
    EXPECT_FALSE(received[0].viaSetOutputReport);
    EXPECT_EQ(received[1].bytes, vendorReport(0x33));
    EXPECT_TRUE(received[1].viaSetOutputReport);
    EXPECT_EQ(received[2].interfaceNumber, 0);
    EXPECT_EQ(received[2].bytes, (std::vector<uint8_t>{0x00, 0x55, 0, 0, 0, 0, 0, 0, 0}));

    // Refused by the firmware, and refused before reaching it.
    EXPECT_EQ(vendor->write(vendorReport(0xee), n, 1000), IoStatus::Error);
    EXPECT_FALSE(vendor->setOutputReport(vendorReport(0xee)));
    EXPECT_EQ(device->received().size(), 5u);
    struct Bad {
        const char* what;
        std::vector<uint8_t> report;
    };
    const std::vector<Bad> bad = {
        {"empty", {}},
        {"another collection's id", {0x03, 0x01}},
        {"longer than the output report", std::vector<uint8_t>(65, 0x04)},
    };
    for (const Bad& b : bad) {
        SCOPED_TRACE(b.what);
        EXPECT_EQ(vendor->write(b.report, n, 1000), IoStatus::Error);
        EXPECT_FALSE(vendor->setOutputReport(b.report));
    }
    EXPECT_EQ(plain->write(std::vector<uint8_t>{0x04, 0x01}, n, 1000), IoStatus::Error);
    auto consumer = bus.open(kConsumerPath, kReadWrite);
    ASSERT_NE(consumer, nullptr);
    EXPECT_EQ(consumer->write(std::vector<uint8_t>{0x03, 0x01}, n, 1000), IoStatus::Error)
        << "the consumer collection has no output report";
    EXPECT_EQ(device->received().size(), 5u);
}

TEST(SimBackend, InputReportsGoToTheOwningCollection) {
    SimBackend bus;
    auto device = mouse();
    ASSERT_TRUE(bus.plug(device));
    auto consumer = bus.open(kConsumerPath, kReadWrite);
    auto vendorA = bus.open(kVendorPath, kReadWrite);
    auto vendorB = bus.open(kVendorPath, kReadWrite);
    auto plain = bus.open(kUnnumberedPath, kReadWrite);
    auto vendorNoRead = bus.open(kVendorPath, OpenMode{false, true, true, false});
    ASSERT_TRUE(consumer && vendorA && vendorB && plain && vendorNoRead);

    VirtualDeviceHost* host = device->host();
    host->sendInputReport(1, std::vector<uint8_t>{0x04, 0xa1});
    host->sendInputReport(1, std::vector<uint8_t>{0x03, 0xc1, 0x00});
    host->sendInputReport(1, std::vector<uint8_t>{0x09, 0x99});  // no collection owns id 9
    host->sendInputReport(0, std::vector<uint8_t>{0x00, 0x01, 0x02});
    host->sendInputReport(7, std::vector<uint8_t>{0x04, 0x77});  // no such interface
    host->sendInputReport(1, std::vector<uint8_t>{0x04, 0xa2});

    auto readAll = [](Device& handle) {
        std::vector<std::vector<uint8_t>> reports;
        std::vector<uint8_t> buffer(64);
        size_t n = 0;
        while (handle.read(buffer, n, 0) == IoStatus::Ok) {
            reports.emplace_back(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(n));
        }
        return reports;
    };
    using Reports = std::vector<std::vector<uint8_t>>;
    EXPECT_EQ(readAll(*consumer), (Reports{{0x03, 0xc1, 0x00}}));
    EXPECT_EQ(readAll(*vendorA), (Reports{{0x04, 0xa1}, {0x04, 0xa2}}));
    EXPECT_EQ(readAll(*vendorB), (Reports{{0x04, 0xa1}, {0x04, 0xa2}}));
    EXPECT_EQ(readAll(*plain), (Reports{{0x00, 0x01, 0x02}}));

    // A short buffer gets the start of the report.
    host->sendInputReport(1, vendorReport(0x42));
    std::vector<uint8_t> small(2);
    size_t n = 0;
    ASSERT_EQ(vendorA->read(small, n, 0), IoStatus::Ok);
    EXPECT_EQ(n, 2u);
    EXPECT_EQ(small, (std::vector<uint8_t>{0x04, 0x42}));
    EXPECT_EQ(vendorA->read(std::span<uint8_t>{}, n, 0), IoStatus::Error);
}

TEST(SimBackend, QueueKeepsTheNewestReports) {
    SimBackend bus;
    auto device = mouse();
    ASSERT_TRUE(bus.plug(device));
    auto vendor = bus.open(kVendorPath, kReadWrite);
    ASSERT_NE(vendor, nullptr);
    const size_t sent = SimBackend::kInputQueueDepth + 6;
    for (size_t i = 0; i < sent; ++i) {
        device->host()->sendInputReport(1, vendorReport(static_cast<uint8_t>(i)));
    }
    std::vector<uint8_t> buffer(64);
    size_t n = 0;
    std::vector<uint8_t> tags;
    while (vendor->read(buffer, n, 0) == IoStatus::Ok) {
        tags.push_back(buffer[1]);
    }
    ASSERT_EQ(tags.size(), SimBackend::kInputQueueDepth);
    EXPECT_EQ(tags.front(), 6);
    EXPECT_EQ(tags.back(), sent - 1);
}

TEST(SimBackend, DelayedReportsBecomeReadableLater) {
    SimBackend bus;
    auto device = mouse();
    ASSERT_TRUE(bus.plug(device));
    auto vendor = bus.open(kVendorPath, kReadWrite);
    ASSERT_NE(vendor, nullptr);
    VirtualDeviceHost* host = device->host();
    std::vector<uint8_t> buffer(64);
    size_t n = 0;

    host->sendInputReport(1, vendorReport(1), std::chrono::hours(1));
    EXPECT_EQ(vendor->read(buffer, n, 0), IoStatus::Timeout);
    host->sendInputReport(1, vendorReport(2), 20ms);
    host->sendInputReport(1, vendorReport(3));
    ASSERT_EQ(vendor->read(buffer, n, 0), IoStatus::Ok);
    EXPECT_EQ(buffer[1], 3) << "an undelayed report overtakes delayed ones";
    ASSERT_EQ(vendor->read(buffer, n, 10000), IoStatus::Ok);
    EXPECT_EQ(buffer[1], 2);
    EXPECT_EQ(vendor->read(buffer, n, 0), IoStatus::Timeout) << "the hour-late report is not due";

    // With bus latency an answer sent at once is not readable at once either.
    bus.setReportLatency(std::chrono::hours(1));
    host->sendInputReport(1, vendorReport(4));
    EXPECT_EQ(vendor->read(buffer, n, 0), IoStatus::Timeout);
    size_t written = 0;
    EXPECT_EQ(vendor->write(vendorReport(5), written, 0), IoStatus::Timeout);
    EXPECT_TRUE(device->received().empty());

    bus.setReportLatency(1ms);
    ASSERT_EQ(vendor->write(vendorReport(6), written, 10000), IoStatus::Ok);
    ASSERT_EQ(device->received().size(), 1u);
    host->sendInputReport(1, vendorReport(7));
    ASSERT_EQ(vendor->read(buffer, n, 10000), IoStatus::Ok);
    EXPECT_EQ(buffer[1], 7);
}

TEST(SimBackend, BlockedReadWakesOnCancelCloseAndUnplug) {
    struct Case {
        const char* what;
        IoStatus expected;
        std::function<void(SimBackend&, Device&)> wake;
        bool repeatable;  // a cancel only reaches reads already pending
    };
    const std::vector<Case> cases = {
        {"cancel", IoStatus::Cancelled, [](SimBackend&, Device& d) { d.cancel(); }, true},
        {"close", IoStatus::Cancelled, [](SimBackend&, Device& d) { d.close(); }, false},
        {"unplug", IoStatus::Disconnected, [](SimBackend& b, Device&) { b.unplug("mouse"); },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SimBackend bus;
        auto device = mouse();
        ASSERT_TRUE(bus.plug(device));
        auto vendor = bus.open(kVendorPath, kReadWrite);
        ASSERT_NE(vendor, nullptr);
        Blocked<IoStatus> reader([&] {
            std::vector<uint8_t> buffer(64);
            size_t n = 0;
            return vendor->read(buffer, n, -1);
        });
        if (!c.repeatable) {
            // Not needed for the outcome; it makes the read block first most of the time.
            std::this_thread::sleep_for(20ms);
        }
        const bool done = reader.wakeUntilDone([&] { c.wake(bus, *vendor); });
        if (!done) {
            vendor->close();
        }
        ASSERT_TRUE(done);
        EXPECT_EQ(reader.get(), c.expected);

        std::vector<uint8_t> buffer(64);
        size_t n = 0;
        if (c.expected == IoStatus::Disconnected) {
            EXPECT_EQ(vendor->read(buffer, n, 0), IoStatus::Disconnected);
        } else if (std::string(c.what) == "close") {
            EXPECT_EQ(vendor->read(buffer, n, 0), IoStatus::Cancelled);
            EXPECT_EQ(vendor->write(vendorReport(1), n, 0), IoStatus::Cancelled);
            vendor->close();  // twice is fine
        } else {
            // Calls after the cancel are not affected.
            EXPECT_EQ(vendor->read(buffer, n, 0), IoStatus::Timeout);
            device->host()->sendInputReport(1, vendorReport(9));
            EXPECT_EQ(vendor->read(buffer, n, 1000), IoStatus::Ok);
        }
    }
}

TEST(SimBackend, CancelWakesAWriteWaitingForTheFirmware) {
    SimBackend bus;
    auto device = mouse();
    std::promise<void> entered;
    std::promise<void> release;
    auto releaseFuture = release.get_future().share();
    device->onReceive = [&](FakeDevice&, uint8_t, std::span<const uint8_t> report, bool) {
        if (report[1] == 1) {
            entered.set_value();
            releaseFuture.wait();
        }
        return true;
    };
    ASSERT_TRUE(bus.plug(device));
    auto first = bus.open(kVendorPath, kReadWrite);
    auto second = bus.open(kVendorPath, kReadWrite);
    ASSERT_TRUE(first && second);

    auto busy = std::async(std::launch::async, [&] {
        size_t n = 0;
        return first->write(vendorReport(1), n, -1);
    });
    entered.get_future().wait();
    size_t n = 0;
    EXPECT_EQ(second->write(vendorReport(2), n, 0), IoStatus::Timeout);
    Blocked<IoStatus> waiting([&] {
        size_t written = 0;
        return second->write(vendorReport(3), written, -1);
    });
    const bool done = waiting.wakeUntilDone([&] { second->cancel(); });
    release.set_value();
    ASSERT_TRUE(done);
    EXPECT_EQ(waiting.get(), IoStatus::Cancelled);
    EXPECT_EQ(busy.get(), IoStatus::Ok);
    EXPECT_EQ(device->received().size(), 1u);
}

TEST(SimBackend, TwoThreadsExchangeAtOnce) {
    SimBackend bus;
    bus.setReportLatency(std::chrono::microseconds(50));
    auto device = mouse();
    // The firmware answers every command with the same tag.
    device->onReceive = [](FakeDevice& self, uint8_t iface, std::span<const uint8_t> report, bool) {
        std::vector<uint8_t> answer(report.begin(), report.end());
        answer[2] = 0xac;
        self.host()->sendInputReport(iface, answer);
        return true;
    };
    ASSERT_TRUE(bus.plug(device));
    constexpr int kExchanges = 100;
    auto exchange = [&](uint8_t thread) {
        auto handle = bus.open(kVendorPath, kReadWrite);
        if (!handle) {
            return 0;
        }
        int answered = 0;
        std::vector<uint8_t> buffer(64);
        for (int i = 0; i < kExchanges; ++i) {
            auto command = vendorReport(static_cast<uint8_t>(thread * 128 + i));
            size_t n = 0;
            if (handle->write(command, n, 5000) != IoStatus::Ok) {
                return answered;
            }
            // Both threads' answers arrive on both handles; wait for ours.
            while (handle->read(buffer, n, 5000) == IoStatus::Ok) {
                if (buffer[1] == command[1] && buffer[2] == 0xac) {
                    ++answered;
                    break;
                }
            }
        }
        return answered;
    };
    auto a = std::async(std::launch::async, exchange, 0);
    auto b = std::async(std::launch::async, exchange, 1);
    EXPECT_EQ(a.get(), kExchanges);
    EXPECT_EQ(b.get(), kExchanges);
    EXPECT_EQ(device->received().size(), 2u * kExchanges);
    EXPECT_FALSE(device->overlapped()) << "receiveOutputReport ran on two threads at once";
}

TEST(SimBackend, FirmwareMayUnplugItselfMidTransfer) {
    SimBackend bus;
    auto device = mouse();
    device->onReceive = [](FakeDevice& self, uint8_t iface, std::span<const uint8_t> report, bool) {
        if (report[1] == 0xdd) {
            self.host()->requestUnplug();
            self.host()->sendInputReport(iface, report);  // still allowed until it returns
        }
        return true;
    };
    ASSERT_TRUE(bus.plug(device));
    auto vendor = bus.open(kVendorPath, kReadWrite);
    ASSERT_NE(vendor, nullptr);
    Blocked<IoStatus> reader([&] {
        std::vector<uint8_t> buffer(64);
        size_t n = 0;
        IoStatus status;
        while ((status = vendor->read(buffer, n, 10000)) == IoStatus::Ok) {
        }
        return status;
    });
    size_t n = 0;
    EXPECT_EQ(vendor->write(vendorReport(0xdd), n, 1000), IoStatus::Ok);
    ASSERT_TRUE(reader.wakeUntilDone([] {}));
    EXPECT_EQ(reader.get(), IoStatus::Disconnected);
    EXPECT_EQ(device->events(),
              (std::vector<std::string>{"attach", "receive", "received", "detach"}));
    EXPECT_TRUE(bus.plugged().empty());
    EXPECT_EQ(vendor->write(vendorReport(1), n, 1000), IoStatus::Disconnected);

    // From the device's own thread, outside a transfer, it happens at once.
    ASSERT_TRUE(bus.plug(device));
    std::thread([&] { device->host()->requestUnplug(); }).join();
    EXPECT_TRUE(bus.plugged().empty());
    EXPECT_EQ(device->host(), nullptr);
}

TEST(SimBackend, UnplugWaitsForTheTransferInProgress) {
    SimBackend bus;
    auto device = mouse();
    std::promise<void> entered;
    std::promise<void> release;
    auto releaseFuture = release.get_future().share();
    device->onReceive = [&](FakeDevice&, uint8_t, std::span<const uint8_t>, bool) {
        entered.set_value();
        releaseFuture.wait();
        return true;
    };
    ASSERT_TRUE(bus.plug(device));
    auto vendor = bus.open(kVendorPath, kReadWrite);
    ASSERT_NE(vendor, nullptr);
    auto writer = std::async(std::launch::async, [&] {
        size_t n = 0;
        return vendor->write(vendorReport(1), n, -1);
    });
    entered.get_future().wait();
    auto unplugger = std::async(std::launch::async, [&] { return bus.unplug("mouse"); });
    std::this_thread::sleep_for(20ms);  // gives a wrong unplug the chance to detach early
    release.set_value();
    EXPECT_TRUE(unplugger.get());
    EXPECT_EQ(writer.get(), IoStatus::Ok);
    EXPECT_EQ(device->events(),
              (std::vector<std::string>{"attach", "receive", "received", "detach"}));
}

TEST(SimBackend, HandlesOutliveTheBackend) {
    auto device = mouse();
    std::unique_ptr<Device> vendor;
    {
        SimBackend bus;
        ASSERT_TRUE(bus.plug(device));
        vendor = bus.open(kVendorPath, kReadWrite);
        ASSERT_NE(vendor, nullptr);
    }
    EXPECT_EQ(device->host(), nullptr);
    std::vector<uint8_t> buffer(64);
    size_t n = 0;
    EXPECT_EQ(vendor->read(buffer, n, 0), IoStatus::Disconnected);
    EXPECT_EQ(vendor->collection().usagePage, 0xff1c);
    vendor->close();
}

TEST(SimBackend, TraceRecordsEveryReportOnItsCollection) {
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    {
        SimBackend bus;
        auto device = mouse();
        device->onReceive = [](FakeDevice& self, uint8_t iface, std::span<const uint8_t>, bool) {
            self.host()->sendInputReport(iface, std::vector<uint8_t>{0x03, 0xe9, 0x00});
            return true;
        };
        ASSERT_TRUE(bus.plug(device));
        bus.setTrace(std::make_shared<WireTrace>(file));
        auto vendor = bus.open(kVendorPath, kReadWrite);
        ASSERT_NE(vendor, nullptr);
        size_t n = 0;
        ASSERT_EQ(vendor->write(std::vector<uint8_t>{0x04, 0x01, 0x02}, n, 1000), IoStatus::Ok);
        ASSERT_TRUE(vendor->setOutputReport(std::vector<uint8_t>{0x04, 0xff}));
        bus.setTrace(nullptr);
        ASSERT_EQ(vendor->write(vendorReport(9), n, 1000), IoStatus::Ok);
    }
    std::rewind(file);
    std::vector<std::string> lines;
    char line[512];
    while (std::fgets(line, sizeof line, file) != nullptr) {
        std::string text(line);
        // Drop the time stamp; its format belongs to WireTrace.
        lines.push_back(text.substr(text.find(' ') + 1));
    }
    std::fclose(file);
    std::string zeros;
    for (int i = 0; i < 61; ++i) {
        zeros += " 00";
    }
    const std::vector<std::string> expected = {
        "out " + kVendorPath + " 04 01 02" + zeros + "\n",
        "in " + kConsumerPath + " 03 e9 00\n",
        "set " + kVendorPath + " 04 ff 00" + zeros + "\n",
        "in " + kConsumerPath + " 03 e9 00\n",
    };
    EXPECT_EQ(lines, expected);
}

}  // namespace
}  // namespace korvane::hid
