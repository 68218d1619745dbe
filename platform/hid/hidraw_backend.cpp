#include "platform/hid/hidraw_backend.h"

#include <fcntl.h>
#include <linux/hidraw.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>
#include <span>
#include <string_view>

#include "platform/hid/wire_trace.h"
#include "platform/log/logger.h"

// Kernels before 5.11 and their headers lack it; the request code follows the
// formula of <linux/hidraw.h>.
#ifndef HIDIOCSOUTPUT
#define HIDIOCSOUTPUT(len) _IOC(_IOC_WRITE | _IOC_READ, 'H', 0x0B, len)
#endif

namespace korvane::hid {

struct HidrawBackend::TraceSlot {
    std::mutex mutex;
    std::shared_ptr<WireTrace> trace;

    std::shared_ptr<WireTrace> get() {
        std::lock_guard lock(mutex);
        return trace;
    }
};

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using Deadline = std::optional<Clock::time_point>;

constexpr uint16_t kBusUsb = 0x03;
// The kernel's largest HID report (HID_MAX_BUFFER_SIZE); a read with a smaller
// buffer would lose the rest of a longer report.
constexpr size_t kMaxReportSize = 16384;
// Larger sysfs files than this are not ours to parse.
constexpr size_t kMaxSysfsFile = 65536;

Deadline deadlineFor(int timeoutMs) {
    if (timeoutMs < 0) {
        return std::nullopt;
    }
    return Clock::now() + std::chrono::milliseconds(timeoutMs);
}

int pollTimeout(const Deadline& deadline) {
    if (!deadline) {
        return -1;
    }
    auto left = std::chrono::ceil<std::chrono::milliseconds>(*deadline - Clock::now()).count();
    return static_cast<int>(std::clamp<decltype(left)>(left, 0, INT_MAX));
}

std::optional<std::string> readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string data;
    char chunk[4096];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        data.append(chunk, static_cast<size_t>(in.gcount()));
        if (data.size() > kMaxSysfsFile) {
            return std::nullopt;
        }
    }
    if (in.bad()) {
        return std::nullopt;
    }
    return data;
}

std::string_view trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

template <typename T>
std::optional<T> parseNumber(std::string_view text, int base) {
    T value{};
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value, base);
    if (text.empty() || ec != std::errc{} || ptr != end) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::string> ueventValue(std::string_view uevent, std::string_view key) {
    size_t start = 0;
    while (start < uevent.size()) {
        size_t end = uevent.find('\n', start);
        if (end == std::string_view::npos) {
            end = uevent.size();
        }
        std::string_view line = uevent.substr(start, end - start);
        if (line.size() > key.size() && line.substr(0, key.size()) == key &&
            line[key.size()] == '=') {
            return std::string(line.substr(key.size() + 1));
        }
        start = end + 1;
    }
    return std::nullopt;
}

// HID_PHYS of a USB HID device ends in "/input<interface number>" (decimal).
int interfaceFromPhys(std::string_view phys) {
    const auto at = phys.rfind("/input");
    if (at == std::string_view::npos) {
        return -1;
    }
    auto number = parseNumber<unsigned>(phys.substr(at + 6), 10);
    return number && *number <= 255 ? static_cast<int>(*number) : -1;
}

std::string pathMarkers(uint16_t vendorId, uint16_t productId, int interfaceNumber,
                        int collectionNumber) {
    char text[64];
    int n = std::snprintf(text, sizeof text, "#vid_%04x&pid_%04x", vendorId, productId);
    if (interfaceNumber >= 0) {
        n += std::snprintf(text + n, sizeof text - n, "&mi_%02x", interfaceNumber);
    }
    if (collectionNumber > 0) {
        std::snprintf(text + n, sizeof text - n, "&col%02x", collectionNumber);
    }
    return text;
}

// The hexadecimal number after a marker, found case-insensitively; nullopt when
// the marker is missing or no digit follows it. Like a "%x" scan it stops at
// the first non-hex character and keeps the low bits of an overlong number.
std::optional<uint32_t> markerValue(std::string_view path, std::string_view marker) {
    auto lower = [](char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); };
    auto it = std::search(path.begin(), path.end(), marker.begin(), marker.end(),
                          [&](char a, char b) { return lower(a) == lower(b); });
    if (it == path.end()) {
        return std::nullopt;
    }
    uint32_t value = 0;
    bool any = false;
    for (auto p = it + static_cast<std::ptrdiff_t>(marker.size()); p != path.end(); ++p) {
        const char c = lower(*p);
        int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (digit < 0) {
            break;
        }
        value = value << 4 | static_cast<uint32_t>(digit);
        any = true;
    }
    return any ? std::optional<uint32_t>(value) : std::nullopt;
}

bool isHidrawName(std::string_view name) {
    return name.size() > 6 && name.substr(0, 6) == "hidraw" &&
           parseNumber<unsigned>(name.substr(6), 10).has_value();
}

IoStatus statusForErrno(int error) {
    switch (error) {
        case ENODEV:
        case EIO:
        case EPIPE:
        case ECONNRESET:
        case ENOTCONN:
        case ESHUTDOWN:
            return IoStatus::Disconnected;
        default:
            return IoStatus::Error;
    }
}

// What sysfs says about one hidraw node.
struct Node {
    std::string nodePath;
    uint16_t bus = 0;
    Attributes attributes;
    int interfaceNumber = -1;
    std::vector<Collection> collections;
    bool numbered = false;  // the descriptor uses report ids
};

std::optional<Node> readNode(const HidrawOptions& options, const std::string& hidrawName) {
    const fs::path device =
        fs::path(options.sysfsRoot) / "class" / "hidraw" / hidrawName / "device";
    auto uevent = readFile(device / "uevent");
    auto descriptor = readFile(device / "report_descriptor");
    if (!uevent || !descriptor) {
        log::debugf("hidraw: %s: uevent or report_descriptor unreadable", hidrawName.c_str());
        return std::nullopt;
    }
    // HID_ID=<bus>:<vendor>:<product>, each hexadecimal.
    auto id = ueventValue(*uevent, "HID_ID");
    std::optional<uint32_t> fields[3];
    if (id) {
        std::string_view rest = *id;
        for (auto& field : fields) {
            const auto colon = rest.find(':');
            field = parseNumber<uint32_t>(rest.substr(0, colon), 16);
            rest = colon == std::string_view::npos ? std::string_view{} : rest.substr(colon + 1);
        }
    }
    if (!fields[0] || !fields[1] || !fields[2] || *fields[0] > 0xffff || *fields[1] > 0xffff ||
        *fields[2] > 0xffff) {
        log::debugf("hidraw: %s: no usable HID_ID", hidrawName.c_str());
        return std::nullopt;
    }
    Node node;
    node.nodePath = (fs::path(options.deviceDir) / hidrawName).string();
    node.bus = static_cast<uint16_t>(*fields[0]);
    node.attributes.vendorId = static_cast<uint16_t>(*fields[1]);
    node.attributes.productId = static_cast<uint16_t>(*fields[2]);
    if (auto phys = ueventValue(*uevent, "HID_PHYS")) {
        node.interfaceNumber = interfaceFromPhys(*phys);
    }
    if (node.bus == kBusUsb) {
        // The HID device sits below its USB interface, which sits below the USB device.
        std::error_code ec;
        const fs::path hidDevice = fs::canonical(device, ec);
        if (!ec) {
            const fs::path usbInterface = hidDevice.parent_path();
            if (auto text = readFile(usbInterface / "bInterfaceNumber")) {
                if (auto number = parseNumber<uint8_t>(trim(*text), 16)) {
                    node.interfaceNumber = *number;
                }
            }
            if (auto text = readFile(usbInterface.parent_path() / "bcdDevice")) {
                if (auto version = parseNumber<uint16_t>(trim(*text), 16)) {
                    node.attributes.versionNumber = *version;
                }
            }
        }
    }
    const auto* bytes = reinterpret_cast<const uint8_t*>(descriptor->data());
    ParseError error;
    auto collections = parseReportDescriptor(std::span(bytes, descriptor->size()), &error);
    if (!collections) {
        log::debugf("hidraw: %s: report descriptor: %s at byte %zu", hidrawName.c_str(),
                    error.message.c_str(), error.offset);
        return std::nullopt;
    }
    node.collections = std::move(*collections);
    node.numbered = std::any_of(node.collections.begin(), node.collections.end(),
                                [](const Collection& c) { return !c.reportIds.empty(); });
    return node;
}

InterfaceInfo interfaceInfo(const Node& node, size_t collectionIndex) {
    InterfaceInfo info;
    info.vendorId = node.attributes.vendorId;
    info.productId = node.attributes.productId;
    info.interfaceNumber = node.interfaceNumber;
    info.collectionNumber = node.collections.size() > 1 ? static_cast<int>(collectionIndex + 1) : 0;
    info.usagePage = node.collections[collectionIndex].usagePage;
    info.usage = node.collections[collectionIndex].usage;
    const bool usbInterface = node.bus == kBusUsb && node.interfaceNumber >= 0;
    info.path = node.nodePath + pathMarkers(info.vendorId, info.productId,
                                            usbInterface ? node.interfaceNumber : -1,
                                            info.collectionNumber);
    return info;
}

// The two descriptors of one handle (node and eventfd) and the waiting on
// them. Every I/O call registers as a user, so the descriptors are closed only
// when close() was called and the last user has left. cancel() bumps the
// generation and makes the eventfd readable; the waiters of older generations
// return Cancelled and the last of them makes it unreadable again. Waiters of
// the new generation that arrive meanwhile wait on a condition variable for
// that instead of spinning in poll().
class NodeIo {
  public:
    enum class Wake { Ready, Timeout, Cancelled, Error };

    NodeIo(int fd, int eventFd) : fd_(fd), eventFd_(eventFd) {}
    ~NodeIo() { closeDescriptors(); }
    NodeIo(const NodeIo&) = delete;
    NodeIo& operator=(const NodeIo&) = delete;

    int fd() const { return fd_; }

    // Registers a user; nullopt when the handle is closed. The value is the
    // generation the call must watch.
    std::optional<uint64_t> begin() {
        std::lock_guard lock(mutex_);
        if (closed_) {
            return std::nullopt;
        }
        ++users_;
        return generation_;
    }

    void end() {
        std::lock_guard lock(mutex_);
        if (--users_ == 0 && closed_) {
            closeDescriptorsLocked();
        }
    }

    bool stopped(uint64_t generation) {
        std::lock_guard lock(mutex_);
        return closed_ || generation_ != generation;
    }

    Wake wait(uint64_t generation, short events, const Deadline& deadline) {
        std::unique_lock lock(mutex_);
        if (closed_ || generation_ != generation) {
            return Wake::Cancelled;
        }
        ++waiters_;
        const Wake wake = waitLocked(lock, generation, events, deadline);
        --waiters_;
        if (generation_ != generation && --stale_ == 0 && signalled_ && !closed_) {
            uint64_t count = 0;
            [[maybe_unused]] ssize_t n = ::read(eventFd_, &count, sizeof count);
            signalled_ = false;
            changed_.notify_all();
        }
        return wake;
    }

    void cancel() {
        std::lock_guard lock(mutex_);
        if (closed_) {
            return;
        }
        ++generation_;
        if (waiters_ > 0) {
            stale_ = waiters_;
            signalLocked();
        }
        changed_.notify_all();
    }

    void close() {
        std::lock_guard lock(mutex_);
        if (closed_) {
            return;
        }
        closed_ = true;
        signalLocked();
        changed_.notify_all();
        if (users_ == 0) {
            closeDescriptorsLocked();
        }
    }

  private:
    Wake waitLocked(std::unique_lock<std::mutex>& lock, uint64_t generation, short events,
                    const Deadline& deadline) {
        for (;;) {
            if (closed_ || generation_ != generation) {
                return Wake::Cancelled;
            }
            if (signalled_) {
                // A cancel for earlier waiters is still being taken up.
                if (!deadline) {
                    changed_.wait(lock);
                } else if (changed_.wait_until(lock, *deadline) == std::cv_status::timeout &&
                           signalled_ && !closed_ && generation_ == generation) {
                    return Wake::Timeout;
                }
                continue;
            }
            lock.unlock();
            pollfd fds[2] = {{fd_, events, 0}, {eventFd_, POLLIN, 0}};
            const int ready = ::poll(fds, 2, pollTimeout(deadline));
            const int error = errno;
            lock.lock();
            if (closed_ || generation_ != generation) {
                return Wake::Cancelled;
            }
            if (ready < 0) {
                if (error == EINTR) {
                    continue;
                }
                return Wake::Error;
            }
            if (fds[0].revents & POLLNVAL) {
                return Wake::Error;
            }
            if (fds[0].revents != 0) {
                return Wake::Ready;  // data, room, hang-up or error: the I/O call tells which
            }
            if (deadline && Clock::now() >= *deadline) {
                return Wake::Timeout;
            }
        }
    }

    void signalLocked() {
        if (!signalled_ && eventFd_ >= 0) {
            const uint64_t one = 1;
            [[maybe_unused]] ssize_t n = ::write(eventFd_, &one, sizeof one);
        }
        signalled_ = true;
    }

    void closeDescriptors() {
        std::lock_guard lock(mutex_);
        closeDescriptorsLocked();
    }

    void closeDescriptorsLocked() {
        if (descriptorsClosed_) {
            return;
        }
        descriptorsClosed_ = true;
        if (fd_ >= 0) {
            ::close(fd_);
        }
        if (eventFd_ >= 0) {
            ::close(eventFd_);
        }
    }

    const int fd_;
    const int eventFd_;
    std::mutex mutex_;
    std::condition_variable changed_;
    uint64_t generation_ = 0;
    bool closed_ = false;
    bool signalled_ = false;
    bool descriptorsClosed_ = false;
    int users_ = 0;
    int waiters_ = 0;
    int stale_ = 0;  // waiters of older generations still inside wait()
};

// How a read or write ends after waiting for the node; nullopt: the node is ready, go on.
std::optional<IoStatus> statusAfterWait(NodeIo::Wake wake) {
    switch (wake) {
        case NodeIo::Wake::Ready: return std::nullopt;
        case NodeIo::Wake::Timeout: return IoStatus::Timeout;
        case NodeIo::Wake::Cancelled: return IoStatus::Cancelled;
        case NodeIo::Wake::Error: return IoStatus::Error;
    }
    return IoStatus::Error;
}

// One I/O call's registration with NodeIo.
class IoCall {
  public:
    explicit IoCall(NodeIo& io) : io_(io), generation_(io.begin()) {}
    ~IoCall() {
        if (generation_) {
            io_.end();
        }
    }
    IoCall(const IoCall&) = delete;
    IoCall& operator=(const IoCall&) = delete;

    bool closed() const { return !generation_; }
    bool stopped() { return io_.stopped(*generation_); }
    NodeIo::Wake wait(short events, const Deadline& deadline) {
        return io_.wait(*generation_, events, deadline);
    }

  private:
    NodeIo& io_;
    std::optional<uint64_t> generation_;
};

bool acceptableOutputReport(const Collection& collection, std::span<const uint8_t> report) {
    return !report.empty() && collection.outputReportByteLength > 0 &&
           report.size() <= collection.outputReportByteLength && collection.ownsReportId(report[0]);
}

class HidrawDevice final : public Device {
  public:
    HidrawDevice(std::string path, const Node& node, size_t collectionIndex, const OpenMode& mode,
                 int fd, int eventFd, std::shared_ptr<HidrawBackend::TraceSlot> trace)
        : path_(std::move(path)),
          attributes_(node.attributes),
          collection_(node.collections[collectionIndex]),
          numbered_(node.numbered),
          mode_(mode),
          io_(fd, eventFd),
          trace_(std::move(trace)) {}

    ~HidrawDevice() override { io_.close(); }

    const std::string& path() const override { return path_; }
    const Attributes& attributes() const override { return attributes_; }
    const Collection& collection() const override { return collection_; }

    IoStatus read(std::span<uint8_t> buffer, size_t& transferred, int timeoutMs) override {
        transferred = 0;
        IoCall call(io_);
        if (call.closed()) {
            return IoStatus::Cancelled;
        }
        if (!mode_.read || buffer.empty()) {
            return IoStatus::Error;
        }
        const Deadline deadline = deadlineFor(timeoutMs);
        // Room for a report id in front of an unnumbered report.
        std::vector<uint8_t> report(kMaxReportSize + 1);
        const size_t offset = numbered_ ? 0 : 1;
        for (;;) {
            if (call.stopped()) {
                return IoStatus::Cancelled;
            }
            const ssize_t n = ::read(io_.fd(), report.data() + offset, kMaxReportSize);
            if (n > 0) {
                const size_t length = static_cast<size_t>(n) + offset;
                if (!numbered_) {
                    report[0] = 0;
                }
                if (collection_.ownsReportId(report[0])) {
                    transferred = std::min(length, buffer.size());
                    std::copy_n(report.begin(), transferred, buffer.begin());
                    record(TraceDirection::In, std::span(report.data(), length));
                    return IoStatus::Ok;
                }
                continue;  // another collection's report on the shared node
            }
            if (n == 0) {
                return IoStatus::Disconnected;
            }
            if (errno == EINTR) {
                continue;
            }
            if (errno != EAGAIN && errno != EWOULDBLOCK) {
                return statusForErrno(errno);
            }
            if (auto stop = statusAfterWait(call.wait(POLLIN, deadline))) {
                return *stop;
            }
        }
    }

    IoStatus write(std::span<const uint8_t> report, size_t& transferred, int timeoutMs) override {
        transferred = 0;
        IoCall call(io_);
        if (call.closed()) {
            return IoStatus::Cancelled;
        }
        std::vector<uint8_t> full;
        if (!prepareOutput(report, full)) {
            return IoStatus::Error;
        }
        IoStatus status = writeNode(call, full, deadlineFor(timeoutMs));
        if (status == IoStatus::Ok) {
            transferred = report.size();
            record(TraceDirection::Out, full);
        }
        return status;
    }

    bool setOutputReport(std::span<const uint8_t> report) override {
        IoCall call(io_);
        std::vector<uint8_t> full;
        if (call.closed() || !prepareOutput(report, full)) {
            return false;
        }
        // Byte 0 is the report id (0 when unnumbered) as for HIDIOCSFEATURE. The
        // request code holds the length in _IOC_SIZEBITS bits.
        const bool fitsRequest = full.size() < (1u << _IOC_SIZEBITS);
        if (!fitsRequest || ::ioctl(io_.fd(), HIDIOCSOUTPUT(full.size()), full.data()) < 0) {
            if (fitsRequest && errno != ENOTTY && errno != EINVAL) {
                log::debugf("hidraw: %s: set output report: %s", path_.c_str(),
                            std::strerror(errno));
                return false;
            }
            // No HIDIOCSOUTPUT before 5.11: the interrupt or control pipe via write().
            if (writeNode(call, full, deadlineFor(kControlTimeoutMs)) != IoStatus::Ok) {
                return false;
            }
        }
        record(TraceDirection::Set, full);
        return true;
    }

    void cancel() override { io_.cancel(); }
    void close() override { io_.close(); }

  private:
    static constexpr int kControlTimeoutMs = 5000;

    // Checks the report against the collection and pads it to the collection's
    // output report length, as the Windows HID stack does.
    bool prepareOutput(std::span<const uint8_t> report, std::vector<uint8_t>& full) const {
        if (!mode_.write) {
            return false;
        }
        if (!acceptableOutputReport(collection_, report)) {
            log::debugf("hidraw: %s: refused an output report of %zu bytes (id %u)", path_.c_str(),
                        report.size(), report.empty() ? 0u : report[0]);
            return false;
        }
        full.assign(report.begin(), report.end());
        full.resize(collection_.outputReportByteLength, 0);
        return true;
    }

    // hidraw takes the report id in byte 0 also for unnumbered reports (0 there)
    // and strips it itself, so the report goes out unchanged.
    IoStatus writeNode(IoCall& call, std::span<const uint8_t> report, const Deadline& deadline) {
        for (;;) {
            if (call.stopped()) {
                return IoStatus::Cancelled;
            }
            const ssize_t n = ::write(io_.fd(), report.data(), report.size());
            if (n >= 0) {
                return static_cast<size_t>(n) == report.size() ? IoStatus::Ok : IoStatus::Error;
            }
            if (errno == EINTR) {
                continue;
            }
            if (errno != EAGAIN && errno != EWOULDBLOCK) {
                return statusForErrno(errno);
            }
            if (auto stop = statusAfterWait(call.wait(POLLOUT, deadline))) {
                return *stop;
            }
        }
    }

    void record(TraceDirection direction, std::span<const uint8_t> bytes) {
        if (auto trace = trace_->get()) {
            trace->record(direction, path_, bytes);
        }
    }

    const std::string path_;
    const Attributes attributes_;
    const Collection collection_;
    const bool numbered_;
    const OpenMode mode_;
    NodeIo io_;
    std::shared_ptr<HidrawBackend::TraceSlot> trace_;
};

}  // namespace

HidrawBackend::HidrawBackend() : HidrawBackend(HidrawOptions{}) {}

HidrawBackend::HidrawBackend(HidrawOptions options)
    : options_(std::move(options)), trace_(std::make_shared<TraceSlot>()) {
    if (!options_.openNode) {
        options_.openNode = [](const std::string& nodePath, int flags) {
            return ::open(nodePath.c_str(), flags);
        };
    }
}

HidrawBackend::~HidrawBackend() = default;

bool HidrawBackend::enumerate(std::vector<InterfaceInfo>& out) {
    out.clear();
    const fs::path classDir = fs::path(options_.sysfsRoot) / "class" / "hidraw";
    std::error_code ec;
    if (!fs::exists(classDir, ec)) {
        return !ec;  // no hidraw class: no devices
    }
    std::vector<std::pair<unsigned, std::string>> names;
    fs::directory_iterator it(classDir, ec);
    if (ec) {
        log::debugf("hidraw: cannot list %s: %s", classDir.c_str(), ec.message().c_str());
        return false;
    }
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (isHidrawName(name)) {
            names.emplace_back(*parseNumber<unsigned>(std::string_view(name).substr(6), 10),
                               std::move(name));
        }
    }
    if (ec) {
        log::debugf("hidraw: listing %s failed: %s", classDir.c_str(), ec.message().c_str());
        return false;
    }
    std::sort(names.begin(), names.end());
    for (const auto& entry : names) {
        if (auto node = readNode(options_, entry.second)) {
            for (size_t c = 0; c < node->collections.size(); ++c) {
                out.push_back(interfaceInfo(*node, c));
            }
        }
    }
    return true;
}

std::unique_ptr<Device> HidrawBackend::open(const std::string& path, const OpenMode& mode) {
    const auto hash = path.find('#');
    if (hash == std::string::npos) {
        log::debugf("hidraw: not an interface path: %s", path.c_str());
        return nullptr;
    }
    const std::string nodePath = path.substr(0, hash);
    const std::string_view markers = std::string_view(path).substr(hash);
    const std::string hidrawName = fs::path(nodePath).filename().string();
    if (!isHidrawName(hidrawName) ||
        (fs::path(options_.deviceDir) / hidrawName).string() != nodePath) {
        log::debugf("hidraw: not a hidraw node: %s", nodePath.c_str());
        return nullptr;
    }
    auto node = readNode(options_, hidrawName);
    if (!node) {
        return nullptr;
    }
    // The node number may have gone to another device since the path was listed.
    auto vendorId = markerValue(markers, "vid_");
    auto productId = markerValue(markers, "pid_");
    auto interfaceNumber = markerValue(markers, "&mi_");
    if (!vendorId || !productId || (*vendorId & 0xffff) != node->attributes.vendorId ||
        (*productId & 0xffff) != node->attributes.productId ||
        (interfaceNumber && static_cast<int>(*interfaceNumber & 0xffff) != node->interfaceNumber)) {
        log::debugf("hidraw: %s is now another device", path.c_str());
        return nullptr;
    }
    const uint32_t collectionNumber = markerValue(markers, "&col").value_or(1);
    if (collectionNumber < 1 || collectionNumber > node->collections.size()) {
        log::debugf("hidraw: %s: no such collection", path.c_str());
        return nullptr;
    }
    const size_t collectionIndex = collectionNumber - 1;

    if (!mode.read && !mode.write) {
        // The presence check only proves the node opens.
        const int fd = options_.openNode(nodePath, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            log::debugf("hidraw: cannot open %s: %s", nodePath.c_str(), std::strerror(errno));
            return nullptr;
        }
        ::close(fd);
        return std::make_unique<HidrawDevice>(path, *node, collectionIndex, mode, -1, -1, trace_);
    }
    const int access = mode.read && mode.write ? O_RDWR : mode.write ? O_WRONLY : O_RDONLY;
    const int fd = options_.openNode(nodePath, access | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        log::debugf("hidraw: cannot open %s: %s", nodePath.c_str(), std::strerror(errno));
        return nullptr;
    }
    // The waits rely on a non-blocking descriptor, whatever the opener did with the flags.
    const int statusFlags = ::fcntl(fd, F_GETFL);
    if (statusFlags < 0 ||
        (!(statusFlags & O_NONBLOCK) && ::fcntl(fd, F_SETFL, statusFlags | O_NONBLOCK) < 0)) {
        log::debugf("hidraw: %s: cannot make it non-blocking: %s", nodePath.c_str(),
                    std::strerror(errno));
        ::close(fd);
        return nullptr;
    }
    const int eventFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (eventFd < 0) {
        log::debugf("hidraw: eventfd: %s", std::strerror(errno));
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<HidrawDevice>(path, *node, collectionIndex, mode, fd, eventFd, trace_);
}

void HidrawBackend::setTrace(std::shared_ptr<WireTrace> trace) {
    std::lock_guard lock(trace_->mutex);
    trace_->trace = std::move(trace);
}

}  // namespace korvane::hid
