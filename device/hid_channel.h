#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/hid/hid_backend.h"

// One opened HID interface: open with chosen access, capabilities, reads and
// writes with a time-out and a cancel, unpacking of reports into usages. One
// instance without an open interface also serves as the enumerator of paths.
namespace korvane::device {

inline constexpr int kInfinite = -1;
// The usage list room of a button data entry.
inline constexpr size_t kMaxUsageListLength = 64;

// One per capability (a value capability over a usage range gives one per usage).
struct DataEntry {
    bool isButtonData = false;
    uint8_t reportId = 0;
    uint16_t usagePage = 0;
    // Button data: the capability's usage range and the usages found on, ended
    // with a 0 when room is left.
    uint16_t usageMin = 0;
    uint16_t usageMax = 0;
    std::vector<uint16_t> usages;
    size_t usageCount = 0;
    // Value data.
    uint16_t usage = 0;
    uint32_t rawValue = 0;
    int32_t scaledValue = 0;
    bool isDataSet = false;
};

struct HidCaps {
    uint16_t usage = 0;
    uint16_t usagePage = 0;
    uint16_t inputReportByteLength = 0;
    uint16_t outputReportByteLength = 0;
    uint16_t featureReportByteLength = 0;
    uint16_t numberLinkCollectionNodes = 0;
    uint16_t numberInputButtonCaps = 0;
    uint16_t numberInputValueCaps = 0;
    uint16_t numberOutputButtonCaps = 0;
    uint16_t numberOutputValueCaps = 0;
    uint16_t numberFeatureButtonCaps = 0;
    uint16_t numberFeatureValueCaps = 0;
};

class HidChannel {
public:
    explicit HidChannel(hid::Backend* backend);
    ~HidChannel();
    HidChannel(const HidChannel&) = delete;
    HidChannel& operator=(const HidChannel&) = delete;

    // ---- Enumerator ----
    // Fills the path list with every present HID interface; false when the
    // listing failed.
    bool enumerate();
    // The path at the cursor, advancing it; nullopt at the end.
    std::optional<std::string> nextPath();
    void freePaths();

    // ---- One interface ----
    // Closes what was open, then opens `path`. True when it is open and its
    // capabilities are read. With neither access the open only proves presence.
    bool open(const std::string& path, bool readAccess, bool writeAccess, bool overlapped,
              bool exclusive);
    // Wakes pending I/O, frees the capability data and closes the handle.
    void close();
    bool isOpen() const;

    // One report; false on failure, time-out or cancel. `timeoutMs` may be kInfinite.
    bool read(std::span<uint8_t> buffer, size_t& transferred, int timeoutMs);
    bool write(std::span<const uint8_t> buffer, size_t& transferred, int timeoutMs);
    bool setOutputReport(std::span<const uint8_t> report);
    // Wakes the read or write pending now, if any.
    void cancel();
    // Status of the last read/write of this thread's most recent call.
    hid::IoStatus lastStatus() const;

    // Fills the data entries of `type` from one report; false when a value
    // could not be read.
    bool unpack(std::span<const uint8_t> report, hid::ReportType type);
    // Copy of the data entries of a report type (as left by the last unpack).
    std::vector<DataEntry> entries(hid::ReportType type) const;
    // Unpacks an input report and returns the first usage of the first input
    // data entry: how the devices' consumer-control interfaces carry their
    // notification codes.
    std::optional<uint16_t> firstUsage(std::span<const uint8_t> report);

    std::string path() const;
    HidCaps caps() const;
    hid::Attributes attributes() const;
    uint16_t interfaceNumber() const;
    uint16_t collectionNumber() const;
    uint16_t inputReportLength() const;

private:
    struct OpenState;

    std::shared_ptr<OpenState> state() const;

    hid::Backend* backend_;
    mutable std::mutex mutex_;
    std::shared_ptr<OpenState> state_;
    std::string path_;
    uint16_t interfaceNumber_ = 0;
    uint16_t collectionNumber_ = 0;

    // enumerator
    std::vector<std::string> paths_;
    size_t cursor_ = 0;
};

}  // namespace korvane::device
