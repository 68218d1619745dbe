#include "platform/hid/sim_backend.h"

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>
#include <optional>
#include <span>
#include <thread>
#include <utility>

#include "platform/hid/wire_trace.h"
#include "platform/log/logger.h"

namespace korvane::hid {

namespace {

using Clock = std::chrono::steady_clock;
using Deadline = std::optional<Clock::time_point>;

Deadline deadlineFor(int timeoutMs) {
    if (timeoutMs < 0) {
        return std::nullopt;
    }
    return Clock::now() + std::chrono::milliseconds(timeoutMs);
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

// The checks the Windows HID class driver makes before an output report
// reaches the device; the simulator makes them too so that a host bug shows
// up here and not only on real hardware.
bool acceptableOutputReport(const Collection& collection, std::span<const uint8_t> report) {
    return !report.empty() && collection.outputReportByteLength > 0 &&
           report.size() <= collection.outputReportByteLength && collection.ownsReportId(report[0]);
}

struct QueuedReport {
    Clock::time_point readyAt;
    std::vector<uint8_t> bytes;
};

struct BusDevice;

// One open handle; its mutable fields are guarded by SimBus::mutex.
struct HandleState {
    size_t interfaceIndex = 0;
    size_t collectionIndex = 0;
    OpenMode mode;
    std::deque<QueuedReport> queue;
    uint64_t cancelGeneration = 0;
    bool closed = false;
};

class BusHost final : public VirtualDeviceHost {
  public:
    BusHost(SimBus& bus, BusDevice& device) : bus_(bus), device_(device) {}
    void sendInputReport(uint8_t interfaceNumber, std::span<const uint8_t> report,
                         std::chrono::microseconds delay) override;
    void requestUnplug() override;

  private:
    SimBus& bus_;
    BusDevice& device_;
};

struct BusInterface {
    uint8_t number = 0;
    std::vector<Collection> collections;
    std::vector<InterfaceInfo> infos;  // one per collection, same order
};

// A plugged device. The firmware is called through a "gate": at most one
// thread at a time runs receiveOutputReport or attach for it, and the gate is
// a flag under the bus mutex (not a mutex of its own) so that writers waiting
// for it can be cancelled and time out.
struct BusDevice : std::enable_shared_from_this<BusDevice> {
    BusDevice(SimBus& bus, std::shared_ptr<VirtualDevice> fw)
        : firmware(std::move(fw)), host(bus, *this) {}

    std::shared_ptr<VirtualDevice> firmware;
    std::string name;
    Attributes attributes;
    std::vector<BusInterface> interfaces;
    BusHost host;

    // Guarded by SimBus::mutex.
    bool unplugged = false;
    bool unplugRequested = false;
    bool gateBusy = false;
    std::thread::id gateOwner;
    std::vector<HandleState*> handles;
    std::condition_variable changed;  // queue, cancel, close, gate or unplug
};

}  // namespace

class SimBus {
  public:
    mutable std::mutex mutex;
    std::vector<std::shared_ptr<BusDevice>> devices;  // in plug order
    std::chrono::microseconds latency{0};
    std::shared_ptr<WireTrace> trace;

    std::shared_ptr<BusDevice> findLocked(const std::string& name) const {
        for (const auto& device : devices) {
            if (device->name == name) {
                return device;
            }
        }
        return nullptr;
    }

    void takeGateLocked(BusDevice& device) {
        device.gateBusy = true;
        device.gateOwner = std::this_thread::get_id();
    }

    // Releases the gate; when an unplug was requested meanwhile, the holder
    // detaches the firmware first, so that whoever sees Disconnected knows the
    // firmware has been told.
    void releaseGate(std::unique_lock<std::mutex>& lock, BusDevice& device) {
        if (device.unplugRequested && !device.unplugged) {
            lock.unlock();
            device.firmware->attach(nullptr);
            lock.lock();
            markUnpluggedLocked(device);
        }
        device.gateBusy = false;
        device.gateOwner = {};
        device.changed.notify_all();
    }

    void markUnpluggedLocked(BusDevice& device) {
        device.unplugged = true;
        for (HandleState* handle : device.handles) {
            handle->queue.clear();
        }
        std::erase_if(devices, [&](const auto& d) { return d.get() == &device; });
        device.changed.notify_all();
        log::debugf("sim: %s unplugged", device.name.c_str());
    }

    // Waits until the firmware gate is free and takes it.
    IoStatus acquireGate(std::unique_lock<std::mutex>& lock, BusDevice& device,
                         const HandleState& handle, uint64_t generation, const Deadline& deadline) {
        for (;;) {
            if (handle.closed || handle.cancelGeneration != generation) {
                return IoStatus::Cancelled;
            }
            if (device.unplugged || device.unplugRequested) {
                return IoStatus::Disconnected;
            }
            if (!device.gateBusy) {
                takeGateLocked(device);
                return IoStatus::Ok;
            }
            if (!deadline) {
                device.changed.wait(lock);
            } else if (device.changed.wait_until(lock, *deadline) == std::cv_status::timeout &&
                       device.gateBusy) {
                return IoStatus::Timeout;
            }
        }
    }

    void deliver(BusDevice& device, uint8_t interfaceNumber, std::span<const uint8_t> report,
                 std::chrono::microseconds delay) {
        if (report.empty()) {
            return;
        }
        std::shared_ptr<WireTrace> traceCopy;
        std::string path;
        {
            std::lock_guard lock(mutex);
            if (device.unplugged) {
                return;
            }
            auto iface =
                std::find_if(device.interfaces.begin(), device.interfaces.end(),
                             [&](const BusInterface& i) { return i.number == interfaceNumber; });
            if (iface == device.interfaces.end()) {
                log::debugf("sim: %s sent a report on unknown interface %u", device.name.c_str(),
                            interfaceNumber);
                return;
            }
            auto owner =
                std::find_if(iface->collections.begin(), iface->collections.end(),
                             [&](const Collection& c) { return c.ownsReportId(report[0]); });
            if (owner == iface->collections.end()) {
                log::debugf("sim: %s sent input report id %u that no collection owns",
                            device.name.c_str(), report[0]);
                return;
            }
            size_t interfaceIndex = static_cast<size_t>(iface - device.interfaces.begin());
            size_t collectionIndex = static_cast<size_t>(owner - iface->collections.begin());
            auto readyAt = Clock::now() + std::max(delay, std::chrono::microseconds{0}) + latency;
            for (HandleState* handle : device.handles) {
                if (handle->closed || !handle->mode.read ||
                    handle->interfaceIndex != interfaceIndex ||
                    handle->collectionIndex != collectionIndex) {
                    continue;
                }
                auto& queue = handle->queue;
                auto at = std::upper_bound(
                    queue.begin(), queue.end(), readyAt,
                    [](Clock::time_point t, const QueuedReport& q) { return t < q.readyAt; });
                queue.insert(at, QueuedReport{readyAt, {report.begin(), report.end()}});
                if (queue.size() > SimBackend::kInputQueueDepth) {
                    queue.pop_front();
                }
            }
            device.changed.notify_all();
            traceCopy = trace;
            path = iface->infos[collectionIndex].path;
        }
        if (traceCopy) {
            traceCopy->record(TraceDirection::In, path, report);
        }
    }

    void requestUnplug(BusDevice& device) {
        auto keep = device.shared_from_this();
        std::unique_lock lock(mutex);
        if (device.unplugged || device.unplugRequested) {
            return;
        }
        device.unplugRequested = true;
        device.changed.notify_all();
        if (device.gateBusy) {
            return;  // the gate's holder detaches when it is done
        }
        takeGateLocked(device);
        releaseGate(lock, device);
    }
};

void BusHost::sendInputReport(uint8_t interfaceNumber, std::span<const uint8_t> report,
                              std::chrono::microseconds delay) {
    bus_.deliver(device_, interfaceNumber, report, delay);
}

void BusHost::requestUnplug() {
    bus_.requestUnplug(device_);
}

namespace {

class SimDeviceHandle final : public Device {
  public:
    SimDeviceHandle(std::shared_ptr<SimBus> bus, std::shared_ptr<BusDevice> device,
                    size_t interfaceIndex, size_t collectionIndex, const OpenMode& mode)
        : bus_(std::move(bus)),
          device_(std::move(device)),
          collection_(device_->interfaces[interfaceIndex].collections[collectionIndex]),
          path_(device_->interfaces[interfaceIndex].infos[collectionIndex].path),
          interfaceNumber_(device_->interfaces[interfaceIndex].number) {
        state_.interfaceIndex = interfaceIndex;
        state_.collectionIndex = collectionIndex;
        state_.mode = mode;
        device_->handles.push_back(&state_);  // the caller holds the bus mutex
    }

    ~SimDeviceHandle() override { close(); }

    const std::string& path() const override { return path_; }
    const Attributes& attributes() const override { return device_->attributes; }
    const Collection& collection() const override { return collection_; }

    IoStatus read(std::span<uint8_t> buffer, size_t& transferred, int timeoutMs) override {
        transferred = 0;
        std::unique_lock lock(bus_->mutex);
        if (state_.closed) {
            return IoStatus::Cancelled;
        }
        if (device_->unplugged) {
            return IoStatus::Disconnected;
        }
        if (!state_.mode.read || buffer.empty()) {
            return IoStatus::Error;
        }
        const uint64_t generation = state_.cancelGeneration;
        const Deadline deadline = deadlineFor(timeoutMs);
        for (;;) {
            if (state_.closed || state_.cancelGeneration != generation) {
                return IoStatus::Cancelled;
            }
            if (device_->unplugged) {
                return IoStatus::Disconnected;
            }
            const auto now = Clock::now();
            auto& queue = state_.queue;
            if (!queue.empty() && queue.front().readyAt <= now) {
                const auto& bytes = queue.front().bytes;
                transferred = std::min(bytes.size(), buffer.size());
                std::copy_n(bytes.begin(), transferred, buffer.begin());
                queue.pop_front();
                return IoStatus::Ok;
            }
            if (deadline && now >= *deadline) {
                return IoStatus::Timeout;
            }
            Deadline wakeAt = deadline;
            if (!queue.empty() && (!wakeAt || queue.front().readyAt < *wakeAt)) {
                wakeAt = queue.front().readyAt;
            }
            if (wakeAt) {
                device_->changed.wait_until(lock, *wakeAt);
            } else {
                device_->changed.wait(lock);
            }
        }
    }

    IoStatus write(std::span<const uint8_t> report, size_t& transferred, int timeoutMs) override {
        transferred = 0;
        IoStatus status = send(report, false, deadlineFor(timeoutMs));
        if (status == IoStatus::Ok) {
            transferred = report.size();
        }
        return status;
    }

    bool setOutputReport(std::span<const uint8_t> report) override {
        // A control transfer gives up after 5 s like the USB stack's.
        return send(report, true, deadlineFor(5000)) == IoStatus::Ok;
    }

    void cancel() override {
        std::lock_guard lock(bus_->mutex);
        if (!state_.closed) {
            ++state_.cancelGeneration;
            device_->changed.notify_all();
        }
    }

    void close() override {
        std::lock_guard lock(bus_->mutex);
        if (state_.closed) {
            return;
        }
        state_.closed = true;
        state_.queue.clear();
        std::erase(device_->handles, &state_);
        device_->changed.notify_all();
    }

  private:
    IoStatus send(std::span<const uint8_t> report, bool viaSetOutputReport,
                  const Deadline& deadline) {
        std::unique_lock lock(bus_->mutex);
        if (state_.closed) {
            return IoStatus::Cancelled;
        }
        if (device_->unplugged) {
            return IoStatus::Disconnected;
        }
        if (!state_.mode.write) {
            return IoStatus::Error;
        }
        if (!acceptableOutputReport(collection_, report)) {
            log::debugf("sim: %s refused an output report of %zu bytes (id %u)", path_.c_str(),
                        report.size(), report.empty() ? 0u : report[0]);
            return IoStatus::Error;
        }
        const uint64_t generation = state_.cancelGeneration;
        IoStatus status = bus_->acquireGate(lock, *device_, state_, generation, deadline);
        if (status != IoStatus::Ok) {
            return status;
        }
        // The bus latency: the report goes out at the endpoint's next poll.
        if (bus_->latency.count() > 0) {
            const auto sentAt = Clock::now() + bus_->latency;
            for (;;) {
                if (state_.closed || state_.cancelGeneration != generation) {
                    status = IoStatus::Cancelled;
                } else if (device_->unplugRequested) {
                    status = IoStatus::Disconnected;
                } else if (Clock::now() >= sentAt) {
                    break;
                } else if (deadline && Clock::now() >= *deadline) {
                    status = IoStatus::Timeout;
                }
                if (status != IoStatus::Ok) {
                    bus_->releaseGate(lock, *device_);
                    return status;
                }
                device_->changed.wait_until(lock, deadline ? std::min(sentAt, *deadline) : sentAt);
            }
        }
        // Reports shorter than the collection's output report go out zero-padded, as
        // a full-size report always does on the wire.
        std::vector<uint8_t> full(report.begin(), report.end());
        full.resize(collection_.outputReportByteLength, 0);
        auto traceCopy = bus_->trace;
        lock.unlock();
        if (traceCopy) {
            traceCopy->record(viaSetOutputReport ? TraceDirection::Set : TraceDirection::Out, path_,
                              full);
        }
        const bool accepted =
            device_->firmware->receiveOutputReport(interfaceNumber_, full, viaSetOutputReport);
        lock.lock();
        bus_->releaseGate(lock, *device_);
        return accepted ? IoStatus::Ok : IoStatus::Error;
    }

    std::shared_ptr<SimBus> bus_;
    std::shared_ptr<BusDevice> device_;
    const Collection& collection_;
    const std::string path_;
    const uint8_t interfaceNumber_;
    HandleState state_;
};

// Windows share-mode rules: a new open conflicts with an open handle when it
// asks for an access the other does not share, or the other holds an access
// the new one does not share. Opens without access take part in neither.
bool sharingConflict(const OpenMode& wanted, const OpenMode& held) {
    if (!(wanted.read || wanted.write) || !(held.read || held.write)) {
        return false;
    }
    const bool wantedSharesWrite = !wanted.exclusive;
    const bool heldSharesWrite = !held.exclusive;
    return (wanted.write && !heldSharesWrite) || (held.write && !wantedSharesWrite);
}

}  // namespace

SimBackend::SimBackend() : bus_(std::make_shared<SimBus>()) {}

SimBackend::~SimBackend() {
    for (const std::string& deviceName : plugged()) {
        unplug(deviceName);
    }
}

bool SimBackend::plug(std::shared_ptr<VirtualDevice> firmware) {
    if (!firmware) {
        return false;
    }
    auto device = std::make_shared<BusDevice>(*bus_, firmware);
    device->name = firmware->name();
    device->attributes = {firmware->vendorId(), firmware->productId(), firmware->versionNumber()};
    const bool composite = firmware->composite();
    const std::vector<VirtualInterface> interfaces = firmware->interfaces();
    if (device->name.empty()) {
        log::debug("sim: refused a device without a name");
        return false;
    }
    if (!composite && interfaces.size() > 1) {
        log::debugf("sim: refused %s: not composite but %zu interfaces", device->name.c_str(),
                    interfaces.size());
        return false;
    }
    for (const VirtualInterface& vi : interfaces) {
        for (const BusInterface& seen : device->interfaces) {
            if (seen.number == vi.interfaceNumber) {
                log::debugf("sim: refused %s: interface %u listed twice", device->name.c_str(),
                            vi.interfaceNumber);
                return false;
            }
        }
        ParseError error;
        auto collections = parseReportDescriptor(vi.reportDescriptor, &error);
        if (!collections) {
            log::debugf("sim: refused %s: report descriptor of interface %u: %s at byte %zu",
                        device->name.c_str(), vi.interfaceNumber, error.message.c_str(),
                        error.offset);
            return false;
        }
        BusInterface bi;
        bi.number = vi.interfaceNumber;
        bi.collections = std::move(*collections);
        const bool numbered = bi.collections.size() > 1;
        for (size_t c = 0; c < bi.collections.size(); ++c) {
            InterfaceInfo info;
            info.vendorId = device->attributes.vendorId;
            info.productId = device->attributes.productId;
            info.interfaceNumber = vi.interfaceNumber;
            info.collectionNumber = numbered ? static_cast<int>(c + 1) : 0;
            info.usagePage = bi.collections[c].usagePage;
            info.usage = bi.collections[c].usage;
            info.path = "sim:" + device->name +
                        pathMarkers(info.vendorId, info.productId,
                                    composite ? vi.interfaceNumber : -1, info.collectionNumber);
            bi.infos.push_back(std::move(info));
        }
        device->interfaces.push_back(std::move(bi));
    }

    std::unique_lock lock(bus_->mutex);
    if (bus_->findLocked(device->name)) {
        log::debugf("sim: refused %s: a device of that name is plugged", device->name.c_str());
        return false;
    }
    // Visible at once, but writes wait at the gate until attach() has returned.
    bus_->takeGateLocked(*device);
    bus_->devices.push_back(device);
    lock.unlock();
    firmware->attach(&device->host);
    lock.lock();
    bus_->releaseGate(lock, *device);
    log::debugf("sim: %s plugged", device->name.c_str());
    return true;
}

bool SimBackend::unplug(const std::string& deviceName) {
    std::unique_lock lock(bus_->mutex);
    std::shared_ptr<BusDevice> device = bus_->findLocked(deviceName);
    if (!device) {
        return false;
    }
    device->unplugRequested = true;
    device->changed.notify_all();
    if (device->gateBusy && device->gateOwner == std::this_thread::get_id()) {
        return true;  // called from the firmware's own call: completes when that returns
    }
    device->changed.wait(lock, [&] { return !device->gateBusy || device->unplugged; });
    if (!device->unplugged) {
        bus_->takeGateLocked(*device);
        bus_->releaseGate(lock, *device);
    }
    return true;
}

std::vector<std::string> SimBackend::plugged() const {
    std::lock_guard lock(bus_->mutex);
    std::vector<std::string> names;
    for (const auto& device : bus_->devices) {
        names.push_back(device->name);
    }
    return names;
}

void SimBackend::setReportLatency(std::chrono::microseconds latency) {
    std::lock_guard lock(bus_->mutex);
    bus_->latency = std::max(latency, std::chrono::microseconds{0});
}

bool SimBackend::enumerate(std::vector<InterfaceInfo>& out) {
    std::lock_guard lock(bus_->mutex);
    out.clear();
    for (const auto& device : bus_->devices) {
        for (const BusInterface& bi : device->interfaces) {
            out.insert(out.end(), bi.infos.begin(), bi.infos.end());
        }
    }
    return true;
}

std::unique_ptr<Device> SimBackend::open(const std::string& path, const OpenMode& mode) {
    std::lock_guard lock(bus_->mutex);
    for (const auto& device : bus_->devices) {
        if (device->unplugRequested) {
            continue;
        }
        for (size_t i = 0; i < device->interfaces.size(); ++i) {
            const BusInterface& bi = device->interfaces[i];
            for (size_t c = 0; c < bi.infos.size(); ++c) {
                if (bi.infos[c].path != path) {
                    continue;
                }
                for (const HandleState* held : device->handles) {
                    if (held->interfaceIndex == i && held->collectionIndex == c &&
                        sharingConflict(mode, held->mode)) {
                        log::debugf("sim: %s is open in a conflicting share mode", path.c_str());
                        return nullptr;
                    }
                }
                return std::make_unique<SimDeviceHandle>(bus_, device, i, c, mode);
            }
        }
    }
    log::debugf("sim: no such interface %s", path.c_str());
    return nullptr;
}

void SimBackend::setTrace(std::shared_ptr<WireTrace> trace) {
    std::lock_guard lock(bus_->mutex);
    bus_->trace = std::move(trace);
}

}  // namespace korvane::hid
