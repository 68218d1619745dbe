// From a key pressed on this machine to a row of the keyboard table (key_tables.h), without any
// toolkit: the window hands over the Linux input key code (evdev KEY_*) of the key; X11 and Qt
// give it as their native scan code minus 8. See docs/keys.md for the mapping.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace korvane::keys {

// X11/Qt native scan code (QKeyEvent::nativeScanCode) → evdev key code.
constexpr int evdevCodeForX11Keycode(int nativeScanCode) {
    return nativeScanCode - 8;
}

// The keyboard-table row of an evdev key code: the modifiers, the keys by HID usage (rows
// 0–112), the consumer and system keys. None for keys without a row, and for K42 (row 113),
// which Linux reports as the backslash key.
std::optional<std::size_t> rowForEvdevCode(int code);
// The main evdev key code of a row; none for rows without one (K42, M1–M5, FN, GM).
std::optional<int> evdevCodeForRow(std::size_t row);

// A PC set-1 scan code with the extended (E0) flag: how the key recognition table of macro
// recording names a key (rows 0–112; Pause is 0x45 without and Num Lock 0x45 with the flag).
struct ScanCode {
    uint8_t code = 0;
    bool extended = false;
    friend bool operator==(const ScanCode&, const ScanCode&) = default;
};
inline constexpr std::size_t kRecognitionRowCount = 113;
std::optional<ScanCode> scanCodeForRow(std::size_t row);
std::optional<std::size_t> rowForScanCode(ScanCode scan);

}  // namespace korvane::keys
