// Time stamps that name new profiles, macros and other user files.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace korvane::files {

// Local time as "%d_%02d_%02d_%02d_%02d_%02d_%03d" (year, month, day, hour, minute, second,
// millisecond), e.g. "2023_05_17_09_04_33_250".
//
// Stamps made by one process never repeat: a call in the same millisecond as the previous
// one (or after the clock went back) gets the previous stamp's time plus one millisecond,
// so a burst of calls runs a few milliseconds ahead of the clock. Thread-safe.
std::string MakeTimeStamp();

// The format alone, for a given instant (local time).
std::string FormatTimeStamp(std::chrono::system_clock::time_point time);

// The instant the next stamp uses: the later of `now` and `previous` + 1 ms (milliseconds
// since the epoch).
std::int64_t NextStampMillis(std::int64_t now, std::int64_t previous);

}  // namespace korvane::files
