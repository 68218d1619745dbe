// The fixed code tables from which key assignments are chosen. Each row is the assignment's
// three bytes, the Windows virtual-key code where the row has one, and the language key of its
// name. The order of every table is the order of its drop-down list on the key panel.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "keys/key_assignment.h"

namespace korvane::keys {

inline constexpr uint8_t kNoVirtualKey = 0xFF;

struct KeyRow {
    KeyAssignment code;
    uint8_t virtualKey = kNoVirtualKey;
    std::string_view languageKey;
};

// "keyset_mousekey_combo": left, middle, right, forward, back.
extern const std::array<KeyRow, 5> MouseButtonTable;
// "keyset_mousedpi_combo": next stage up, next stage down, cycle.
extern const std::array<KeyRow, 3> SensitivityTable;
// "keyset_media_combo": consumer usages, low byte first.
extern const std::array<KeyRow, 18> MediaTable;
// "keyset_system_combo": power, sleep, wake up.
extern const std::array<KeyRow, 3> SystemTable;
// "keyset_combokey_combo": right Ctrl (0x10) with a key (open, new, undo, …).
extern const std::array<KeyRow, 11> CombinationKeyTable;
// "keyset_gunkey_combo": guns 0–3.
extern const std::array<KeyRow, 4> GunKeyTable;

// The keyboard table. Rows 0–7: modifiers alone; 8–113: keys by HID usage; 114–131: consumer
// keys; 132–134: system keys; 135–139: M1–M5; 140: FN; 141: GM.
inline constexpr std::size_t kKeyboardRowCount = 142;
inline constexpr std::size_t kFirstModifierRow = 0;
inline constexpr std::size_t kModifierRowCount = 8;
inline constexpr std::size_t kFirstUsageRow = 8;
inline constexpr std::size_t kFirstConsumerRow = 114;
inline constexpr std::size_t kFirstSystemRow = 132;
inline constexpr std::size_t kFirstMacroKeyRow = 135;
inline constexpr std::size_t kFnRow = 140;
inline constexpr std::size_t kGmRow = 141;
extern const std::array<KeyRow, kKeyboardRowCount> KeyboardTable;

// Language keys of the four movement directions (swing and wheel pages, macro events).
namespace direction_key {
inline constexpr std::string_view kUp = "mouse_key_up_Swing";
inline constexpr std::string_view kDown = "mouse_key_down_Swing";
inline constexpr std::string_view kLeft = "mouse_key_left_Swing";
inline constexpr std::string_view kRight = "mouse_key_right_Swing";
}  // namespace direction_key

// The first row, from `from` on, whose three bytes equal `code`.
std::optional<std::size_t> findRow(std::span<const KeyRow> table, const KeyAssignment& code,
                                   std::size_t from = 0);
// The first row whose first and second parameters equal `code`'s (the type is the table's).
std::optional<std::size_t> findRowByParameters(std::span<const KeyRow> table,
                                               const KeyAssignment& code);

// Keyboard-table lookups.
std::optional<std::size_t> keyboardRowForUsage(uint8_t usage);  // {0x20, 0, usage}, rows 8–113
std::optional<std::size_t> modifierRowForBit(uint8_t bit);      // {0x20, bit, 0}, rows 0–7
std::optional<std::size_t> keyboardRowForVirtualKey(uint8_t virtualKey);

// The language key that names an assignment: the keyboard table for types 0x20, 0x30, 0x40,
// 0xA0 and 0xD0 (then the combination and media tables), the mouse-button, sensitivity and gun
// tables for theirs. Empty when no row has these three bytes.
std::string_view keyNameKey(const KeyAssignment& code);

// The table behind a panel function whose page is a plain list: 1 mouse buttons,
// 4 sensitivity, 7 media, 8 system, 10 gun keys, 11 combination keys; empty for the others.
std::span<const KeyRow> tableForFunction(int function);

}  // namespace korvane::keys
