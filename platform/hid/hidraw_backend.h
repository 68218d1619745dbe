#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/hid/hid_backend.h"

// Linux HID through hidraw. Metadata comes from sysfs
// (<sysfs>/class/hidraw/hidrawN/device/{uevent,report_descriptor} and the
// parent USB interface and device), I/O from the node <dev>/hidrawN. One node
// carries every top-level collection of its interface; each opened collection
// sees only the input reports whose ids it owns.
namespace korvane::hid {

struct HidrawOptions {
    std::string sysfsRoot = "/sys";
    std::string deviceDir = "/dev";
    // Opens a device node and returns the file descriptor (owned by the caller)
    // or -1 with errno set. Empty means ::open. Tests hand in one end of a
    // socketpair(AF_UNIX, SOCK_SEQPACKET) instead of a hidraw node.
    std::function<int(const std::string& nodePath, int flags)> openNode;
};

class HidrawBackend : public Backend {
  public:
    HidrawBackend();
    explicit HidrawBackend(HidrawOptions options);
    ~HidrawBackend() override;
    HidrawBackend(const HidrawBackend&) = delete;
    HidrawBackend& operator=(const HidrawBackend&) = delete;

    std::string name() const override { return "hidraw"; }
    bool enumerate(std::vector<InterfaceInfo>& out) override;
    std::unique_ptr<Device> open(const std::string& path, const OpenMode& mode) override;
    void setTrace(std::shared_ptr<WireTrace> trace) override;

    // Shared with the open handles, so that they follow setTrace and may
    // outlive the backend.
    struct TraceSlot;

  private:
    HidrawOptions options_;
    std::shared_ptr<TraceSlot> trace_;
};

}  // namespace korvane::hid
