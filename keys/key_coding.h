// How the key panel's fields become assignment bytes and back: the function (page) of each
// assignment type, mouse swing and wheel movements, the fire key, keyboard modifiers and
// macro run modes.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "keys/key_assignment.h"

namespace korvane::keys {

// Function numbers of the key panel (the user data of the "keyset_function_combo" items and the
// page index of "function_switch_tablayout").
namespace function {
inline constexpr int kDefault = 0;
inline constexpr int kMouseButton = 1;
inline constexpr int kSwing = 2;
inline constexpr int kWheel = 3;
inline constexpr int kSensitivity = 4;
inline constexpr int kFire = 5;
inline constexpr int kKeyboard = 6;
inline constexpr int kMedia = 7;
inline constexpr int kSystem = 8;
inline constexpr int kMacro = 9;
inline constexpr int kGun = 10;
inline constexpr int kCombination = 11;
inline constexpr int kCount = 12;  // 0–11
}  // namespace function

// The function number of an assignment type; none for types without a page (0xA0, 0xD0,
// unknown types).
std::optional<int> functionForType(uint8_t type);

// Swing and wheel: a delay and a speed (0–15 each), a count and a direction (0 or 1).
struct Movement {
    int delay = 0;
    int speed = 0;
    int count = 0;
    int direction = 0;
};

// Swing: first = delay << 4 | speed, second = count (0–127) | 0x80 for direction 1.
KeyAssignment encodeSwing(const Movement& m);
Movement decodeSwing(const KeyAssignment& a);
// Wheel: the second byte is a signed count: direction 0 gives count (0–127), direction 1 gives
// −count stored as 0x80 | (128 − count). Backwards counts 0 and 128 both store 0x80 (−128),
// which reads back as 128.
KeyAssignment encodeWheel(const Movement& m);
Movement decodeWheel(const KeyAssignment& a);

// Fire key: interval and number of clicks, each cut to 8 bits.
KeyAssignment encodeFire(int interval, int clicks);

// Keyboard modifier options of the panel: 0 none, 1 Ctrl, 2 Shift, 3 Alt, 4 Win.
inline constexpr int kModifierOptionCount = 5;
// The modifier byte a panel option stands for (left keys): 1 << (option − 1), 0 for option 0
// and anything outside 1–4.
uint8_t modifierForOption(int option);
// The option showing a single modifier bit (left and right keys alike); none when the byte
// holds no bit or more than one.
std::optional<int> optionForModifier(uint8_t modifier);
// Whether a keyboard assignment's modifier byte belongs on the combination-key page
// (right Ctrl, or anything above right Win's bit).
constexpr bool isCombinationModifier(uint8_t modifier) {
    return modifier == 0x10 || modifier > 0x80;
}

// Macro run modes: 0–3 play the macro in that mode (type 0x70); 4 repeats it a given number of
// times (type 0x71).
inline constexpr int kRunModeCount = 5;
inline constexpr int kRunModeRepeat = 4;
KeyAssignment encodeMacro(int macro, int runMode, int repeatCount);

// Reads a decimal integer the way the panels read edit fields: leading blanks and a sign are
// accepted, reading stops at the first non-digit, no digits read as 0, and the value saturates
// at the int range.
int readDecimal(std::string_view text);

}  // namespace korvane::keys
