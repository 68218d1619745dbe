#pragma once

#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// The contract between the simulated HID backend (the "bus") and a simulated
// device's firmware. The backend knows nothing of any protocol: it turns the
// device's report descriptors into interface paths and collections, hands the
// device every report the program writes, and queues the reports the device
// sends to the handles that have its collection open.
namespace korvane::hid {

struct VirtualInterface {
    uint8_t interfaceNumber = 0;
    std::vector<uint8_t> reportDescriptor;
};

// Implemented by the backend; given to a device while it is plugged in.
class VirtualDeviceHost {
public:
    virtual ~VirtualDeviceHost() = default;
    // Queues an input report (byte 0 the report id, 0 when the interface uses
    // none) for every open handle of the collection that owns the id. The
    // report becomes readable `delay` from now. Safe from any thread, also
    // from inside VirtualDevice::receiveOutputReport.
    virtual void sendInputReport(uint8_t interfaceNumber, std::span<const uint8_t> report,
                                 std::chrono::microseconds delay = std::chrono::microseconds{0}) = 0;
    // The device drops off the bus (a cable pulled mid-transfer). Safe from
    // inside receiveOutputReport; the unplug completes after it returns.
    virtual void requestUnplug() = 0;
};

class VirtualDevice {
public:
    virtual ~VirtualDevice() = default;

    // Unique on the bus; becomes the path prefix "sim:<name>#...".
    virtual std::string name() const = 0;
    virtual uint16_t vendorId() const = 0;
    virtual uint16_t productId() const = 0;
    virtual uint16_t versionNumber() const = 0;
    // Whether the USB device is composite (paths then carry "&mi_").
    virtual bool composite() const { return true; }
    virtual std::vector<VirtualInterface> interfaces() const = 0;

    // Called with the host when plugged in and with nullptr when unplugged.
    virtual void attach(VirtualDeviceHost* host) = 0;

    // A report the program wrote (viaSetOutputReport false) or sent with the
    // set-output-report call (true). The backend calls this for one device from
    // one thread at a time. Returns false when the device refuses the report
    // (the write then fails).
    virtual bool receiveOutputReport(uint8_t interfaceNumber, std::span<const uint8_t> report,
                                     bool viaSetOutputReport) = 0;
};

}  // namespace korvane::hid
