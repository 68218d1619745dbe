#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include <json/value.h>

#include "platform/hid/virtual_device.h"
#include "sim/command_packet.h"
#include "sim/device_models.h"
#include "sim/fault_plan.h"
#include "sim/firmware.h"

// One simulated USB device on the bus: a cable-connected device or a 2.4 GHz
// receiver in front of a device's firmware. It turns command reports into
// firmware calls and answers, applies its faults and latency, and sends
// notification codes on its consumer-control collection.
namespace korvane::sim {

class UsbDevice final : public hid::VirtualDevice {
  public:
    struct Counters {
        uint64_t commandReports = 0;  // command reports received
        uint64_t answers = 0;         // answers sent (extra answers included)
        uint64_t unanswered = 0;      // command reports left without an answer
        uint64_t refusedReports = 0;  // reports refused outright (write failed)
        uint64_t notifications = 0;
        uint64_t lightingReports = 0;  // headset lighting reports taken
    };

    UsbDevice(std::string busName, Model model, std::shared_ptr<Firmware> firmware);

    std::string name() const override { return name_; }
    uint16_t vendorId() const override { return spec_.vendorId; }
    uint16_t productId() const override { return spec_.productId; }
    // The firmware version of the device information.
    uint16_t versionNumber() const override;
    std::vector<hid::VirtualInterface> interfaces() const override { return interfaces_; }
    void attach(hid::VirtualDeviceHost* host) override;
    bool receiveOutputReport(uint8_t interfaceNumber, std::span<const uint8_t> report,
                             bool viaSetOutputReport) override;

    const ModelSpec& spec() const { return spec_; }
    const std::shared_ptr<Firmware>& firmware() const { return firmware_; }
    bool attached() const { return host_.load() != nullptr; }

    // The receiver's radio link to its device; false (and no change) on a
    // device that is not a receiver.
    bool setLink(bool on);
    bool link() const;

    void setLatency(std::chrono::microseconds latency);
    std::chrono::microseconds latency() const;
    FaultPlan& faults() { return faults_; }

    // A button press on the device: the firmware takes its effect, then the
    // code goes out on the consumer-control collection. False when the
    // device is not plugged in or its receiver has no link.
    bool notify(uint16_t code);

    Counters counters() const;
    // Last keyboard LED output byte (Num, Caps, Scroll ... lock lights).
    uint8_t keyboardLeds() const;
    Json::Value toJson() const;

  private:
    void handleCommand(hid::VirtualDeviceHost& host, const Packet& packet);

    const std::string name_;
    const ModelSpec& spec_;
    const std::shared_ptr<Firmware> firmware_;
    const std::vector<hid::VirtualInterface> interfaces_;
    FaultPlan faults_;

    // Held while the host is used from outside receiveOutputReport, so an
    // unplug (attach(nullptr)) waits for such a use to end.
    std::mutex hostMutex_;
    std::atomic<hid::VirtualDeviceHost*> host_{nullptr};

    mutable std::mutex mutex_;  // guards the fields below
    bool link_ = true;
    std::chrono::microseconds latency_{0};
    Counters counters_;
    uint8_t keyboardLeds_ = 0;
};

}  // namespace korvane::sim
