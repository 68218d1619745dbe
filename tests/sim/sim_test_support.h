#pragma once

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "platform/hid/virtual_device.h"
#include "sim/bus.h"

// Test side of the bus. Packets are built here byte by byte, with the sum
// computed here too, so the tests do not trust the simulator's own framing.
namespace korvane::sim::test {

using Bytes = std::vector<uint8_t>;

inline uint16_t sumOf(const Bytes& packet) {
    uint32_t sum = 0;
    for (size_t i = 3; i < 64; ++i) {
        sum += packet[i];
    }
    return static_cast<uint16_t>(sum);
}

inline Bytes command(uint8_t code, uint8_t length = 0, uint16_t offset = 0,
                     const Bytes& payload = {}) {
    Bytes p(64, 0);
    p[0] = 0x04;
    p[3] = code;
    p[4] = length;
    p[5] = static_cast<uint8_t>(offset);
    p[6] = static_cast<uint8_t>(offset >> 8);
    for (size_t i = 0; i < payload.size() && i < 56; ++i) {
        p[8 + i] = payload[i];
    }
    const uint16_t sum = sumOf(p);
    p[1] = static_cast<uint8_t>(sum);
    p[2] = static_cast<uint8_t>(sum >> 8);
    return p;
}

inline Bytes pattern(size_t n, uint8_t seed) {
    Bytes b(n);
    for (size_t i = 0; i < n; ++i) {
        b[i] = static_cast<uint8_t>(seed + 7 * i);
    }
    return b;
}

inline bool answerSumValid(const Bytes& a) {
    return a.size() == 64 && a[1] == static_cast<uint8_t>(sumOf(a)) &&
           a[2] == static_cast<uint8_t>(sumOf(a) >> 8);
}

struct SentReport {
    uint8_t interfaceNumber;
    Bytes bytes;
    std::chrono::microseconds delay;
};

class FakeHost : public hid::VirtualDeviceHost {
  public:
    void sendInputReport(uint8_t interfaceNumber, std::span<const uint8_t> report,
                         std::chrono::microseconds delay) override {
        std::lock_guard lock(mutex_);
        reports_.push_back({interfaceNumber, Bytes(report.begin(), report.end()), delay});
        changed_.notify_all();
    }
    void requestUnplug() override {
        std::lock_guard lock(mutex_);
        ++unplugRequests_;
    }
    std::vector<SentReport> take() {
        std::lock_guard lock(mutex_);
        return std::exchange(reports_, {});
    }
    int unplugRequests() const {
        std::lock_guard lock(mutex_);
        return unplugRequests_;
    }

  private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<SentReport> reports_;
    int unplugRequests_ = 0;
};

// A bus that attaches each plugged device to a FakeHost of its own.
class FakeBus : public Bus {
  public:
    bool plug(std::shared_ptr<hid::VirtualDevice> device) override {
        std::lock_guard lock(mutex_);
        auto& slot = devices_[device->name()];
        slot.device = device;
        slot.host = std::make_shared<FakeHost>();
        device->attach(slot.host.get());
        return true;
    }
    bool unplug(const std::string& name) override {
        std::shared_ptr<hid::VirtualDevice> device;
        {
            std::lock_guard lock(mutex_);
            auto it = devices_.find(name);
            if (it == devices_.end()) {
                return false;
            }
            device = it->second.device;
            retired_.push_back(it->second.host);  // reports sent before stay readable
            devices_.erase(it);
        }
        device->attach(nullptr);
        return true;
    }
    std::shared_ptr<FakeHost> host(const std::string& name) {
        std::lock_guard lock(mutex_);
        auto it = devices_.find(name);
        return it == devices_.end() ? nullptr : it->second.host;
    }
    std::shared_ptr<hid::VirtualDevice> device(const std::string& name) {
        std::lock_guard lock(mutex_);
        auto it = devices_.find(name);
        return it == devices_.end() ? nullptr : it->second.device;
    }

  private:
    struct Slot {
        std::shared_ptr<hid::VirtualDevice> device;
        std::shared_ptr<FakeHost> host;
    };
    std::mutex mutex_;
    std::map<std::string, Slot> devices_;
    std::vector<std::shared_ptr<FakeHost>> retired_;
};

}  // namespace korvane::sim::test
