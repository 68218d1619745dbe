#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/hid/report_descriptor.h"

// The operating system's HID services behind one small interface. A device
// interface is one top-level collection, named by a path carrying the markers
// "vid_", "pid_", "&mi_" and "&col" like a Windows interface path, e.g.
//   /dev/hidraw3#vid_320f&pid_221c&mi_01&col04     (hidraw)
//   sim:mouse#vid_320f&pid_221c&mi_01&col04        (simulated)
// "&col" appears only when the USB interface has more than one top-level
// collection (numbered from 1 in descriptor order); "&mi_" only for USB
// interfaces of a composite device. Numbers are lower-case hexadecimal.
namespace korvane::hid {

class WireTrace;

struct InterfaceInfo {
    std::string path;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    int interfaceNumber = -1;   // -1 when unknown
    int collectionNumber = 0;   // 0 when the interface has a single collection
    uint16_t usagePage = 0;
    uint16_t usage = 0;
};

struct Attributes {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t versionNumber = 0;
};

// The open parameters of the command protocol: read and write access, overlapped
// I/O and exclusive sharing. With neither access the open only proves that the
// interface is still there (the presence check).
struct OpenMode {
    bool read = false;
    bool write = false;
    bool overlapped = false;
    bool exclusive = false;
};

enum class IoStatus {
    Ok,
    Timeout,       // nothing arrived (read) or the device did not take the report (write) in time
    Cancelled,     // woken by cancel() or close()
    Disconnected,  // the device is gone
    Error,         // anything else (bad arguments, no access for the operation)
};

const char* toString(IoStatus status);

// One opened top-level collection. read/write/setOutputReport may run on
// several threads at once; cancel() and close() may be called from any thread
// while another blocks in read or write.
class Device {
public:
    virtual ~Device() = default;

    virtual const std::string& path() const = 0;
    virtual const Attributes& attributes() const = 0;
    // The parsed top-level collection (usage page and usage, report lengths,
    // capabilities) as the HID parser reports it.
    virtual const Collection& collection() const = 0;

    // Reads one input report of this collection into `buffer`: byte 0 is the
    // report id (0 for unnumbered reports), like a Windows ReadFile. A report
    // longer than the buffer is cut. timeoutMs < 0 waits without limit.
    virtual IoStatus read(std::span<uint8_t> buffer, size_t& transferred, int timeoutMs) = 0;
    // Writes one output report (byte 0 the report id, 0 for unnumbered).
    virtual IoStatus write(std::span<const uint8_t> report, size_t& transferred, int timeoutMs) = 0;
    // The set-output-report call (control transfer); true when the device took it.
    virtual bool setOutputReport(std::span<const uint8_t> report) = 0;

    // Wakes the reads and writes pending at the moment of the call; they return
    // Cancelled. Later calls are not affected.
    virtual void cancel() = 0;
    // Ends the handle: pending and later I/O returns Cancelled. Idempotent.
    virtual void close() = 0;
};

class Backend {
public:
    virtual ~Backend() = default;

    // Short name for messages: "hidraw", "simulated".
    virtual std::string name() const = 0;

    // Lists every present HID top-level collection. false when the listing
    // itself failed (not when it is empty).
    virtual bool enumerate(std::vector<InterfaceInfo>& out) = 0;

    // Opens a path from enumerate(); nullptr when it cannot be opened or its
    // capabilities cannot be read.
    virtual std::unique_ptr<Device> open(const std::string& path, const OpenMode& mode) = 0;

    // Records every report from now on (nullptr stops recording).
    virtual void setTrace(std::shared_ptr<WireTrace> trace) = 0;
};

}  // namespace korvane::hid
