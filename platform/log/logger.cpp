#include "platform/log/logger.h"

#include <algorithm>
#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace korvane::log {
namespace {

bool enabledFromEnvironment() {
    const char* value = std::getenv("KORVANE_DEBUG");
    return value != nullptr && std::strcmp(value, "0") != 0 && value[0] != '\0';
}

std::atomic<bool>& enabledFlag() {
    static std::atomic<bool> flag{enabledFromEnvironment()};
    return flag;
}

std::mutex& sinkMutex() {
    static std::mutex m;
    return m;
}

Sink& sink() {
    static Sink s;
    return s;
}

}  // namespace

bool enabled() { return enabledFlag().load(std::memory_order_relaxed); }

void setEnabled(bool on) { enabledFlag().store(on, std::memory_order_relaxed); }

void setSink(Sink s) {
    std::lock_guard lock(sinkMutex());
    sink() = std::move(s);
}

void debug(std::string_view line) {
    if (!enabled()) {
        return;
    }
    std::lock_guard lock(sinkMutex());
    if (sink()) {
        sink()(line);
        return;
    }
    std::fwrite(line.data(), 1, line.size(), stderr);
    if (line.empty() || line.back() != '\n') {
        std::fputc('\n', stderr);
    }
}

void debugf(const char* format, ...) {
    if (!enabled()) {
        return;
    }
    char buffer[1024];
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (n < 0) {
        return;
    }
    debug(std::string_view(buffer, std::min<size_t>(static_cast<size_t>(n), sizeof buffer - 1)));
}

}  // namespace korvane::log
