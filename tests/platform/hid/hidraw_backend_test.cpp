#include "platform/hid/hidraw_backend.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/hid/wire_trace.h"

namespace korvane::hid {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// col01 consumer control (report id 3), col02 vendor 0xFF1C/0x92 (report id 4,
// 63 bytes in and out).
const std::vector<uint8_t> kTwoCollections = {
    0x05, 0x0c, 0x09, 0x01, 0xa1, 0x01, 0x85, 0x03, 0x15, 0x00, 0x26, 0xff, 0x1f, 0x19,
    0x00, 0x2a, 0xff, 0x1f, 0x75, 0x10, 0x95, 0x01, 0x81, 0x00, 0xc0,  //
    0x06, 0x1c, 0xff, 0x09, 0x92, 0xa1, 0x01, 0x85, 0x04, 0x15, 0x00, 0x26, 0xff, 0x00,
    0x75, 0x08, 0x95, 0x3f, 0x09, 0x01, 0x81, 0x02, 0x09, 0x02, 0x91, 0x02, 0xc0};
// One vendor collection 0xFF00/0x01 without report ids, 8 bytes in and out.
const std::vector<uint8_t> kUnnumbered = {0x06, 0x00, 0xff, 0x09, 0x01, 0xa1, 0x01, 0x15, 0x00,
                                          0x26, 0xff, 0x00, 0x75, 0x08, 0x95, 0x08, 0x09, 0x01,
                                          0x81, 0x02, 0x09, 0x02, 0x91, 0x02, 0xc0};
// A Main item whose data runs past the end.
const std::vector<uint8_t> kTruncated = {0x05, 0x01, 0x09, 0x02, 0xa1, 0x01, 0x26, 0xff};

const OpenMode kReadWrite{true, true, true, false};

std::vector<uint8_t> vendorReport(uint8_t tag) {
    std::vector<uint8_t> report(64, 0);
    report[0] = 0x04;
    report[1] = tag;
    return report;
}

struct FakeNode {
    int number = 0;
    std::string hidId = "0003:0000320F:0000221C";
    std::string phys = "usb-0000:00:14.0-1/input1";
    std::vector<uint8_t> descriptor = kTwoCollections;
    std::optional<std::string> interfaceFile = "01\n";  // the USB interface's bInterfaceNumber
    std::optional<std::string> bcdDevice = "0102\n";
    bool usbParents = true;
    bool withUevent = true;
};

// A fake sysfs and device folder under a temporary directory. Nodes are
// socketpairs: the backend gets one end, the test keeps the other.
class HidrawBackendTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        // A write to a socket whose peer is gone raises SIGPIPE; a hidraw node never does.
        std::signal(SIGPIPE, SIG_IGN);
    }

    void SetUp() override {
        char dir[] = "/tmp/korvane-hidraw-XXXXXX";
        ASSERT_NE(::mkdtemp(dir), nullptr);
        root_ = dir;
        fs::create_directories(root_ / "sys/class/hidraw");
        fs::create_directories(root_ / "dev");
    }

    void TearDown() override {
        std::lock_guard lock(mutex_);
        for (auto& [path, fds] : peers_) {
            for (int fd : fds) {
                if (fd >= 0) {
                    ::close(fd);
                }
            }
        }
        peers_.clear();
        present_.clear();
        opens_.clear();
        std::error_code ec;
        fs::remove_all(root_, ec);
    }

    static void writeFile(const fs::path& path, const std::string& text) {
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }

    std::string node(int number) const {
        return (root_ / "dev").string() + "/hidraw" + std::to_string(number);
    }

    void addNode(const FakeNode& fake) {
        const std::string n = std::to_string(fake.number);
        fs::path hid;
        if (fake.usbParents) {
            const fs::path usbDevice = root_ / "sys/devices/usb1" / ("1-" + n);
            const fs::path usbInterface = usbDevice / ("1-" + n + ":1.0");
            if (fake.bcdDevice) {
                writeFile(usbDevice / "bcdDevice", *fake.bcdDevice);
            }
            if (fake.interfaceFile) {
                writeFile(usbInterface / "bInterfaceNumber", *fake.interfaceFile);
            }
            hid = usbInterface / ("0003:320F:221C.000" + n);
        } else {
            hid = root_ / "sys/devices/virtual/hid" / n;
        }
        fs::create_directories(hid);
        if (fake.withUevent) {
            writeFile(hid / "uevent", "DRIVER=hid-generic\nHID_ID=" + fake.hidId +
                                          "\nHID_NAME=Test Device\nHID_PHYS=" + fake.phys +
                                          "\nHID_UNIQ=\nMODALIAS=hid:b0003\n");
        }
        writeFile(hid / "report_descriptor",
                  std::string(fake.descriptor.begin(), fake.descriptor.end()));
        const fs::path entry = root_ / "sys/class/hidraw" / ("hidraw" + n);
        fs::create_directories(entry);
        fs::create_directory_symlink(hid, entry / "device");
        std::lock_guard lock(mutex_);
        present_.insert(node(fake.number));
    }

    std::unique_ptr<HidrawBackend> makeBackend() {
        HidrawOptions options;
        options.sysfsRoot = (root_ / "sys").string();
        options.deviceDir = (root_ / "dev").string();
        options.openNode = [this](const std::string& path, int flags) {
            return openNode(path, flags);
        };
        return std::make_unique<HidrawBackend>(options);
    }

    int openNode(const std::string& path, int flags) {
        std::lock_guard lock(mutex_);
        opens_.emplace_back(path, flags);
        if (!present_.count(path)) {
            errno = ENOENT;
            return -1;
        }
        int sv[2];
        if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, sv) != 0) {
            return -1;
        }
        peers_[path].push_back(sv[1]);
        return sv[0];
    }

    // The test's end of the i-th open of a node.
    int peer(const std::string& path, size_t i = 0) {
        std::lock_guard lock(mutex_);
        return peers_.at(path).at(i);
    }

    void closePeer(const std::string& path, size_t i = 0) {
        std::lock_guard lock(mutex_);
        int& fd = peers_.at(path).at(i);
        ::close(fd);
        fd = -1;
    }

    static void send(int fd, const std::vector<uint8_t>& report) {
        ASSERT_EQ(::send(fd, report.data(), report.size(), 0), static_cast<ssize_t>(report.size()));
    }

    // The next message written to a node, nullopt when none is waiting; an
    // empty vector means the backend closed its end.
    static std::optional<std::vector<uint8_t>> receive(int fd) {
        std::vector<uint8_t> buffer(4096);
        ssize_t n = ::recv(fd, buffer.data(), buffer.size(), MSG_DONTWAIT);
        if (n < 0) {
            return std::nullopt;
        }
        buffer.resize(static_cast<size_t>(n));
        return buffer;
    }

    fs::path root_;
    std::mutex mutex_;
    std::set<std::string> present_;
    std::map<std::string, std::vector<int>> peers_;
    std::vector<std::pair<std::string, int>> opens_;
};

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

TEST_F(HidrawBackendTest, EnumerateListsEveryCollection) {
    addNode({});  // hidraw0
    addNode({.number = 2,
             .hidId = "0003:0000320F:00001004",
             .phys = "usb-0000:00:14.0-2/input0",
             .descriptor = kUnnumbered,
             .usbParents = false});                   // interface from HID_PHYS
    addNode({.number = 6, .interfaceFile = "02\n"});  // bInterfaceNumber wins
    addNode({.number = 10,
             .hidId = "0005:0000046D:0000B01A",
             .phys = "aa:bb:cc:dd:ee:ff",
             .descriptor = kUnnumbered,
             .usbParents = false});                              // Bluetooth: no "&mi_"
    addNode({.number = 3, .descriptor = kTruncated});            // skipped
    addNode({.number = 4, .hidId = "0003:zz:0000221C"});         // skipped
    addNode({.number = 5, .withUevent = false});                 // skipped
    fs::create_directories(root_ / "sys/class/hidraw/hidraw7");  // no device link: skipped

    auto backend = makeBackend();
    EXPECT_EQ(backend->name(), "hidraw");
    std::vector<InterfaceInfo> infos;
    ASSERT_TRUE(backend->enumerate(infos));
    struct Expected {
        std::string path;
        uint16_t productId;
        int interfaceNumber;
        int collectionNumber;
        uint16_t usagePage;
        uint16_t usage;
    };
    const std::vector<Expected> expected = {
        {node(0) + "#vid_320f&pid_221c&mi_01&col01", 0x221c, 1, 1, 0x000c, 0x01},
        {node(0) + "#vid_320f&pid_221c&mi_01&col02", 0x221c, 1, 2, 0xff1c, 0x92},
        {node(2) + "#vid_320f&pid_1004&mi_00", 0x1004, 0, 0, 0xff00, 0x01},
        {node(6) + "#vid_320f&pid_221c&mi_02&col01", 0x221c, 2, 1, 0x000c, 0x01},
        {node(6) + "#vid_320f&pid_221c&mi_02&col02", 0x221c, 2, 2, 0xff1c, 0x92},
        {node(10) + "#vid_046d&pid_b01a", 0xb01a, -1, 0, 0xff00, 0x01},
    };
    ASSERT_EQ(infos.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(expected[i].path);
        EXPECT_EQ(infos[i].path, expected[i].path);
        EXPECT_EQ(infos[i].productId, expected[i].productId);
        EXPECT_EQ(infos[i].interfaceNumber, expected[i].interfaceNumber);
        EXPECT_EQ(infos[i].collectionNumber, expected[i].collectionNumber);
        EXPECT_EQ(infos[i].usagePage, expected[i].usagePage);
        EXPECT_EQ(infos[i].usage, expected[i].usage);
    }
    EXPECT_EQ(infos.back().vendorId, 0x046d);
    EXPECT_TRUE(opens_.empty()) << "enumerating opens no node";
}

TEST_F(HidrawBackendTest, NoHidrawClassMeansNoDevices) {
    fs::remove_all(root_ / "sys/class");
    auto backend = makeBackend();
    std::vector<InterfaceInfo> infos{InterfaceInfo{}};
    EXPECT_TRUE(backend->enumerate(infos));
    EXPECT_TRUE(infos.empty());
}

TEST_F(HidrawBackendTest, OpenUsesTheAccessModes) {
    addNode({});
    auto backend = makeBackend();
    const std::string path = node(0) + "#vid_320f&pid_221c&mi_01&col02";
    struct Case {
        OpenMode mode;
        int flags;
    };
    const std::vector<Case> cases = {
        {kReadWrite, O_RDWR},
        {OpenMode{true, false, true, false}, O_RDONLY},
        {OpenMode{false, true, false, false}, O_WRONLY},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        opens_.clear();
        auto device = backend->open(path, c.mode);
        ASSERT_NE(device, nullptr);
        ASSERT_EQ(opens_.size(), 1u);
        EXPECT_EQ(opens_[0].first, node(0));
        EXPECT_EQ(opens_[0].second, c.flags | O_NONBLOCK | O_CLOEXEC);
        EXPECT_EQ(device->path(), path);
        EXPECT_EQ(device->attributes().vendorId, 0x320f);
        EXPECT_EQ(device->attributes().productId, 0x221c);
        EXPECT_EQ(device->attributes().versionNumber, 0x0102);
        EXPECT_EQ(device->collection().usagePage, 0xff1c);
        EXPECT_EQ(device->collection().inputReportByteLength, 64);
    }

    // The presence check opens the node and closes it again at once.
    opens_.clear();
    auto presence = backend->open(path, OpenMode{});
    ASSERT_NE(presence, nullptr);
    ASSERT_EQ(opens_.size(), 1u);
    EXPECT_EQ(opens_[0].second, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    auto closed = receive(peer(node(0), 3));
    ASSERT_TRUE(closed.has_value());
    EXPECT_TRUE(closed->empty()) << "the presence check kept the node open";
    std::vector<uint8_t> buffer(64);
    size_t n = 0;
    EXPECT_EQ(presence->read(buffer, n, 0), IoStatus::Error);
    EXPECT_EQ(presence->write(vendorReport(1), n, 0), IoStatus::Error);
    EXPECT_FALSE(presence->setOutputReport(vendorReport(1)));

    // Without version information the version reads 0.
    addNode({.number = 1, .bcdDevice = std::nullopt});
    auto noVersion = backend->open(node(1) + "#vid_320f&pid_221c&mi_01&col02", kReadWrite);
    ASSERT_NE(noVersion, nullptr);
    EXPECT_EQ(noVersion->attributes().versionNumber, 0);
}

TEST_F(HidrawBackendTest, OpenChecksThePathAgainstTheNode) {
    addNode({});
    auto backend = makeBackend();
    // Markers are read case-insensitively; without "&col" the first collection opens.
    auto upper = backend->open(node(0) + "#VID_320F&PID_221C&MI_01&COL02", kReadWrite);
    ASSERT_NE(upper, nullptr);
    EXPECT_EQ(upper->collection().usagePage, 0xff1c);
    auto first = backend->open(node(0) + "#vid_320f&pid_221c&mi_01", kReadWrite);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->collection().usagePage, 0x000c);

    const std::vector<std::string> refused = {
        node(0),                                     // no markers
        node(0) + "#vid_320f&pid_9999&mi_01&col02",  // another product now
        node(0) + "#vid_320f&pid_221c&mi_02&col02",  // another interface now
        node(0) + "#vid_320f&pid_221c&mi_01&col03",  // no such collection
        node(0) + "#vid_320f&pid_221c&mi_01&col00",
        node(1) + "#vid_320f&pid_221c&mi_01&col02",          // no such node
        "/elsewhere/hidraw0#vid_320f&pid_221c&mi_01&col02",  // outside the device folder
        (root_ / "dev/mouse#vid_320f&pid_221c&mi_01&col02").string(),
    };
    for (const std::string& path : refused) {
        SCOPED_TRACE(path);
        EXPECT_EQ(backend->open(path, kReadWrite), nullptr);
        EXPECT_EQ(backend->open(path, OpenMode{}), nullptr);
    }
    // Listed in sysfs, but the node cannot be opened.
    present_.erase(node(0));
    EXPECT_EQ(backend->open(node(0) + "#vid_320f&pid_221c&mi_01&col02", kReadWrite), nullptr);
    EXPECT_EQ(backend->open(node(0) + "#vid_320f&pid_221c&mi_01&col02", OpenMode{}), nullptr);
}

TEST_F(HidrawBackendTest, EachCollectionReadsOnlyItsOwnReports) {
    addNode({});
    auto backend = makeBackend();
    auto consumer = backend->open(node(0) + "#vid_320f&pid_221c&mi_01&col01", kReadWrite);
    auto vendor = backend->open(node(0) + "#vid_320f&pid_221c&mi_01&col02", kReadWrite);
    ASSERT_TRUE(consumer && vendor);
    // The kernel hands every report of the node to every open file.
    for (size_t i = 0; i < 2; ++i) {
        const int fd = peer(node(0), i);
        send(fd, {0x04, 0xa1});
        send(fd, {0x03, 0xc1, 0x00});
        send(fd, {0x09, 0x99});
        send(fd, {0x04, 0xa2});
    }
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
    EXPECT_EQ(readAll(*vendor), (Reports{{0x04, 0xa1}, {0x04, 0xa2}}));

    // A short buffer gets the start of the report.
    send(peer(node(0), 1), vendorReport(0x42));
    std::vector<uint8_t> small(2);
    size_t n = 0;
    ASSERT_EQ(vendor->read(small, n, 1000), IoStatus::Ok);
    EXPECT_EQ(n, 2u);
    EXPECT_EQ(small, (std::vector<uint8_t>{0x04, 0x42}));
}

TEST_F(HidrawBackendTest, UnnumberedReportsCarryAZeroId) {
    addNode({.hidId = "0003:0000320F:00001004", .descriptor = kUnnumbered});
    auto backend = makeBackend();
    auto device = backend->open(node(0) + "#vid_320f&pid_1004&mi_01", kReadWrite);
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->collection().outputReportByteLength, 9);
    const int fd = peer(node(0));

    send(fd, {0x11, 0x22, 0x33});
    std::vector<uint8_t> buffer(16);
    size_t n = 0;
    ASSERT_EQ(device->read(buffer, n, 1000), IoStatus::Ok);
    EXPECT_EQ(std::vector<uint8_t>(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(n)),
              (std::vector<uint8_t>{0x00, 0x11, 0x22, 0x33}));

    // hidraw wants the 0 id in front of an unnumbered report and drops it itself.
    ASSERT_EQ(device->write(std::vector<uint8_t>{0x00, 0x55, 0x66}, n, 1000), IoStatus::Ok);
    EXPECT_EQ(n, 3u);
    EXPECT_EQ(receive(fd), (std::vector<uint8_t>{0x00, 0x55, 0x66, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(device->write(std::vector<uint8_t>{0x01, 0x55}, n, 1000), IoStatus::Error);
    EXPECT_EQ(device->write(std::vector<uint8_t>(10, 0), n, 1000), IoStatus::Error);
    EXPECT_EQ(receive(fd), std::nullopt);
}

TEST_F(HidrawBackendTest, ReadTimesOut) {
    addNode({});
    auto backend = makeBackend();
    auto vendor = backend->open(node(0) + "#vid_320f&pid_221c&mi_01&col02", kReadWrite);
    ASSERT_NE(vendor, nullptr);
    std::vector<uint8_t> buffer(64);
    size_t n = 0;
    EXPECT_EQ(vendor->read(buffer, n, 0), IoStatus::Timeout);
    EXPECT_EQ(vendor->read(buffer, n, 30), IoStatus::Timeout);
    // Reports of another collection do not end the wait.
    send(peer(node(0)), {0x03, 0x01, 0x00});
    EXPECT_EQ(vendor->read(buffer, n, 30), IoStatus::Timeout);
    EXPECT_EQ(n, 0u);
    EXPECT_EQ(vendor->read(std::span<uint8_t>{}, n, 0), IoStatus::Error);
}

TEST_F(HidrawBackendTest, BlockedReadWakesOnCancelCloseAndDisconnect) {
    struct Case {
        const char* what;
        IoStatus expected;
        bool repeatable;  // a cancel only reaches reads already pending
    };
    const std::vector<Case> cases = {
        {"cancel", IoStatus::Cancelled, true},
        {"close", IoStatus::Cancelled, false},
        {"disconnect", IoStatus::Disconnected, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TearDown();
        SetUp();
        addNode({});
        auto backend = makeBackend();
        auto vendor = backend->open(node(0) + "#vid_320f&pid_221c&mi_01&col02", kReadWrite);
        ASSERT_NE(vendor, nullptr);
        const std::string what = c.what;
        // Two reads wait on the same handle.
        auto blockedRead = [&] {
            std::vector<uint8_t> buffer(64);
            size_t n = 0;
            return vendor->read(buffer, n, -1);
        };
        Blocked<IoStatus> first(blockedRead);
        Blocked<IoStatus> second(blockedRead);
        if (!c.repeatable) {
            // Not needed for the outcome; it makes the reads block first most of the time.
            std::this_thread::sleep_for(20ms);
        }
        auto wake = [&] {
            if (what == "cancel") {
                vendor->cancel();
            } else if (what == "close") {
                vendor->close();
            } else if (peer(node(0)) >= 0) {
                closePeer(node(0));
            }
        };
        const bool done = first.wakeUntilDone(wake) && second.wakeUntilDone(wake);
        if (!done) {
            vendor->close();
        }
        ASSERT_TRUE(done);
        EXPECT_EQ(first.get(), c.expected);
        EXPECT_EQ(second.get(), c.expected);

        std::vector<uint8_t> buffer(64);
        size_t n = 0;
        if (what == "cancel") {
            // Later calls are not affected.
            EXPECT_EQ(vendor->read(buffer, n, 0), IoStatus::Timeout);
            EXPECT_EQ(vendor->read(buffer, n, 20), IoStatus::Timeout);
            send(peer(node(0)), vendorReport(9));
            ASSERT_EQ(vendor->read(buffer, n, 5000), IoStatus::Ok);
            EXPECT_EQ(buffer[1], 9);
        } else if (what == "close") {
            EXPECT_EQ(vendor->read(buffer, n, 0), IoStatus::Cancelled);
            EXPECT_EQ(vendor->write(vendorReport(1), n, 0), IoStatus::Cancelled);
            EXPECT_FALSE(vendor->setOutputReport(vendorReport(1)));
            vendor->close();
            auto eof = receive(peer(node(0)));
            ASSERT_TRUE(eof.has_value());
            EXPECT_TRUE(eof->empty()) << "close left the node open";
        } else {
            EXPECT_EQ(vendor->read(buffer, n, 0), IoStatus::Disconnected);
            EXPECT_EQ(vendor->write(vendorReport(1), n, 0), IoStatus::Disconnected);
        }
    }
}

TEST_F(HidrawBackendTest, WriteTimesOutAndCancels) {
    addNode({});
    auto backend = makeBackend();
    auto vendor = backend->open(node(0) + "#vid_320f&pid_221c&mi_01&col02", kReadWrite);
    ASSERT_NE(vendor, nullptr);
    // Nobody reads the node: its queue fills up.
    size_t n = 0;
    int written = 0;
    IoStatus status = IoStatus::Ok;
    while (written < 10000 && (status = vendor->write(vendorReport(1), n, 0)) == IoStatus::Ok) {
        ++written;
    }
    ASSERT_EQ(status, IoStatus::Timeout);
    EXPECT_EQ(vendor->write(vendorReport(2), n, 20), IoStatus::Timeout);

    Blocked<IoStatus> writer([&] {
        size_t count = 0;
        return vendor->write(vendorReport(3), count, -1);
    });
    const bool done = writer.wakeUntilDone([&] { vendor->cancel(); });
    if (!done) {
        vendor->close();
    }
    ASSERT_TRUE(done);
    EXPECT_EQ(writer.get(), IoStatus::Cancelled);

    // Once the device takes reports again, writing goes on.
    while (receive(peer(node(0))).has_value()) {
    }
    EXPECT_EQ(vendor->write(vendorReport(4), n, 5000), IoStatus::Ok);
    EXPECT_EQ(receive(peer(node(0))), vendorReport(4));
}

TEST_F(HidrawBackendTest, SetOutputReportFallsBackToWrite) {
    addNode({});
    auto backend = makeBackend();
    auto vendor = backend->open(node(0) + "#vid_320f&pid_221c&mi_01&col02", kReadWrite);
    auto readOnly = backend->open(node(0) + "#vid_320f&pid_221c&mi_01&col02",
                                  OpenMode{true, false, true, false});
    ASSERT_TRUE(vendor && readOnly);
    // A socket knows no HIDIOCSOUTPUT (ENOTTY), like a kernel before 5.11.
    ASSERT_TRUE(vendor->setOutputReport(std::vector<uint8_t>{0x04, 0xff, 0x22}));
    std::vector<uint8_t> expected(64, 0);
    expected[0] = 0x04;
    expected[1] = 0xff;
    expected[2] = 0x22;
    EXPECT_EQ(receive(peer(node(0))), expected);

    EXPECT_FALSE(vendor->setOutputReport(std::vector<uint8_t>{0x03, 0x01}));
    EXPECT_FALSE(vendor->setOutputReport({}));
    EXPECT_FALSE(readOnly->setOutputReport(vendorReport(1)));
    EXPECT_EQ(receive(peer(node(0))), std::nullopt);
    closePeer(node(0));
    EXPECT_FALSE(vendor->setOutputReport(vendorReport(1)));
}

TEST_F(HidrawBackendTest, TraceRecordsWhatTheProgramSawAndSent) {
    addNode({});
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    const std::string path = node(0) + "#vid_320f&pid_221c&mi_01&col02";
    {
        auto backend = makeBackend();
        auto vendor = backend->open(path, kReadWrite);
        ASSERT_NE(vendor, nullptr);
        backend->setTrace(std::make_shared<WireTrace>(file));
        size_t n = 0;
        ASSERT_EQ(vendor->write(std::vector<uint8_t>{0x04, 0x01}, n, 1000), IoStatus::Ok);
        ASSERT_TRUE(vendor->setOutputReport(std::vector<uint8_t>{0x04, 0x02}));
        send(peer(node(0)), {0x03, 0x05, 0x00});  // another collection's: not read, not traced
        send(peer(node(0)), {0x04, 0x06});
        std::vector<uint8_t> buffer(64);
        ASSERT_EQ(vendor->read(buffer, n, 1000), IoStatus::Ok);
        backend.reset();  // the handle keeps following the trace
        ASSERT_EQ(vendor->write(std::vector<uint8_t>{0x04, 0x07}, n, 1000), IoStatus::Ok);
    }
    std::rewind(file);
    std::vector<std::string> lines;
    char line[512];
    while (std::fgets(line, sizeof line, file) != nullptr) {
        std::string text(line);
        lines.push_back(text.substr(text.find(' ') + 1));
    }
    std::fclose(file);
    std::string zeros;
    for (int i = 0; i < 62; ++i) {
        zeros += " 00";
    }
    const std::vector<std::string> expected = {
        "out " + path + " 04 01" + zeros + "\n",
        "set " + path + " 04 02" + zeros + "\n",
        "in " + path + " 04 06\n",
        "out " + path + " 04 07" + zeros + "\n",
    };
    EXPECT_EQ(lines, expected);
}

}  // namespace
}  // namespace korvane::hid
