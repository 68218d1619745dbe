#include "platform/hid/wire_trace.h"

namespace korvane::hid {

WireTrace::WireTrace(const std::string& fileName)
    : file_(std::fopen(fileName.c_str(), "w")), owned_(true), start_(std::chrono::steady_clock::now()) {}

WireTrace::WireTrace(std::FILE* stream)
    : file_(stream), owned_(false), start_(std::chrono::steady_clock::now()) {}

WireTrace::~WireTrace() {
    if (file_ != nullptr) {
        std::fflush(file_);
        if (owned_) {
            std::fclose(file_);
        }
    }
}

std::string WireTrace::formatLine(double seconds, TraceDirection direction, std::string_view path,
                                  std::span<const uint8_t> bytes) {
    static constexpr char kHex[] = "0123456789abcdef";
    char head[32];
    std::snprintf(head, sizeof head, "%.6f ", seconds);
    std::string line(head);
    line += direction == TraceDirection::Out ? "out " : direction == TraceDirection::In ? "in " : "set ";
    line += path;
    for (uint8_t b : bytes) {
        line += ' ';
        line += kHex[b >> 4];
        line += kHex[b & 0x0f];
    }
    return line;
}

void WireTrace::record(TraceDirection direction, std::string_view path, std::span<const uint8_t> bytes) {
    if (file_ == nullptr) {
        return;
    }
    std::lock_guard lock(mutex_);
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    std::string line = formatLine(seconds, direction, path, bytes);
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), file_);
    std::fflush(file_);
}

}  // namespace korvane::hid
