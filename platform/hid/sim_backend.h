#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "platform/hid/hid_backend.h"
#include "platform/hid/virtual_device.h"

// The simulated HID bus: VirtualDevices are plugged in and pulled out at run
// time, and the program talks to them through the same Backend/Device
// interface as to real hardware. Every top-level collection of a plugged
// device appears as "sim:<name>#vid_xxxx&pid_xxxx[&mi_xx][&colxx]".
namespace korvane::hid {

class SimBus;  // the bus state, shared with the handles it opened

class SimBackend : public Backend {
  public:
    // Input reports each open handle keeps before the oldest is dropped, like
    // the operating system's per-handle ring buffer.
    static constexpr size_t kInputQueueDepth = 64;

    SimBackend();
    // Unplugs every device (each gets attach(nullptr)). Handles still open
    // stay valid and report Disconnected.
    ~SimBackend() override;
    SimBackend(const SimBackend&) = delete;
    SimBackend& operator=(const SimBackend&) = delete;

    // Plugs a device in: parses its report descriptors and attaches it to the
    // bus. false (nothing attached) when the name is empty or already on the
    // bus, an interface number repeats, a non-composite device has several
    // interfaces, or a report descriptor is malformed.
    bool plug(std::shared_ptr<VirtualDevice> device);
    // Pulls a device out: its handles' blocked reads wake with Disconnected,
    // later I/O on them returns Disconnected, and the device gets
    // attach(nullptr) before this returns. Waits for a report the device is
    // receiving at that moment; called from inside the device's own
    // receiveOutputReport, the unplug completes when that call returns.
    // false when no device of that name is plugged.
    bool unplug(const std::string& name);
    std::vector<std::string> plugged() const;

    // Added to every write (the write completes that much later) and to every
    // input report (readable that much after the device sent it). Default 0.
    void setReportLatency(std::chrono::microseconds latency);

    std::string name() const override { return "simulated"; }
    bool enumerate(std::vector<InterfaceInfo>& out) override;
    std::unique_ptr<Device> open(const std::string& path, const OpenMode& mode) override;
    void setTrace(std::shared_ptr<WireTrace> trace) override;

  private:
    std::shared_ptr<SimBus> bus_;
};

}  // namespace korvane::hid
