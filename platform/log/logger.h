#pragma once

#include <functional>
#include <string>
#include <string_view>

// The program's diagnostic stream. Silent unless enabled with --verbose or the
// environment variable KORVANE_DEBUG (any value but "0"). Thread-safe.
namespace korvane::log {

bool enabled();
void setEnabled(bool on);

// Replaces where lines go (stderr by default); an empty function restores stderr.
// Tests use it to read what a component wrote.
using Sink = std::function<void(std::string_view line)>;
void setSink(Sink sink);

// Writes one line when enabled.
void debug(std::string_view line);

// printf-style variant; the text is formatted only when enabled.
void debugf(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace korvane::log
