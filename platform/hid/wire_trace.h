#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <span>
#include <string>
#include <string_view>

// A wire trace: one line per report, read by other tools, so the format is fixed:
//   <seconds since start, 6 decimals> <out|in|set> <interface path> <bytes as "%02x" joined by ' '>
// "out" a report the program wrote, "set" an output report sent with the
// set-output-report call, "in" a report the device sent.
namespace korvane::hid {

enum class TraceDirection { Out, In, Set };

class WireTrace {
public:
    // Writes to a file (truncated); isOpen() tells whether that worked.
    explicit WireTrace(const std::string& fileName);
    // Writes to a caller-owned stream (not closed here).
    explicit WireTrace(std::FILE* stream);
    ~WireTrace();
    WireTrace(const WireTrace&) = delete;
    WireTrace& operator=(const WireTrace&) = delete;

    bool isOpen() const { return file_ != nullptr; }

    void record(TraceDirection direction, std::string_view path, std::span<const uint8_t> bytes);

    // One formatted line without the newline; exposed for tests and tools.
    static std::string formatLine(double seconds, TraceDirection direction, std::string_view path,
                                  std::span<const uint8_t> bytes);

private:
    std::mutex mutex_;
    std::FILE* file_ = nullptr;
    bool owned_ = false;
    std::chrono::steady_clock::time_point start_;
};

}  // namespace korvane::hid
