#include "platform/files/time_stamp.h"

#include <cstdio>
#include <ctime>
#include <limits>
#include <mutex>

namespace korvane::files {

namespace chrono = std::chrono;

std::string FormatTimeStamp(chrono::system_clock::time_point time) {
    const auto sinceEpoch = chrono::duration_cast<chrono::milliseconds>(time.time_since_epoch());
    auto seconds = chrono::floor<chrono::seconds>(sinceEpoch);
    const int millis = static_cast<int>((sinceEpoch - seconds).count());
    const std::time_t whole = static_cast<std::time_t>(seconds.count());
    std::tm local{};
    if (::localtime_r(&whole, &local) == nullptr) {
        local = std::tm{};
    }
    char text[200];
    std::snprintf(text, sizeof text, "%d_%02d_%02d_%02d_%02d_%02d_%03d", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                  millis);
    return text;
}

std::int64_t NextStampMillis(std::int64_t now, std::int64_t previous) {
    if (previous == std::numeric_limits<std::int64_t>::max()) {
        return now;
    }
    return now > previous ? now : previous + 1;
}

std::string MakeTimeStamp() {
    static std::mutex mutex;
    static std::int64_t previous = std::numeric_limits<std::int64_t>::min();
    const std::int64_t now =
        chrono::duration_cast<chrono::milliseconds>(chrono::system_clock::now().time_since_epoch())
            .count();
    std::int64_t stamp = 0;
    {
        std::lock_guard lock(mutex);
        stamp = NextStampMillis(now, previous);
        previous = stamp;
    }
    return FormatTimeStamp(chrono::system_clock::time_point(chrono::milliseconds(stamp)));
}

}  // namespace korvane::files
