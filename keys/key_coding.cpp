#include "keys/key_coding.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <string_view>

namespace korvane::keys {
namespace {

uint8_t nibbles(int high, int low) {
    return static_cast<uint8_t>(((high & 0x0F) << 4) | (low & 0x0F));
}

}  // namespace

std::optional<int> functionForType(uint8_t t) {
    switch (t) {
        case type::kDefault:
            return function::kDefault;
        case type::kMouseButton:
            return function::kMouseButton;
        case type::kMouseSwing:
            return function::kSwing;
        case type::kWheel:
            return function::kWheel;
        case type::kSensitivity:
            return function::kSensitivity;
        case type::kFire:
            return function::kFire;
        case type::kKeyboard:
            return function::kKeyboard;
        case type::kMedia:
            return function::kMedia;
        case type::kSystem:
            return function::kSystem;
        case type::kMacro:
        case type::kMacroRepeat:
            return function::kMacro;
        case type::kGun:
            return function::kGun;
        case type::kCombinationPage:
            return function::kCombination;
        default:
            return std::nullopt;
    }
}

KeyAssignment encodeSwing(const Movement& m) {
    const auto count = static_cast<uint8_t>(m.count & 0x7F);
    return KeyAssignment{type::kMouseSwing, nibbles(m.delay, m.speed),
                         static_cast<uint8_t>(count | (m.direction == 1 ? 0x80 : 0))};
}

Movement decodeSwing(const KeyAssignment& a) {
    return Movement{a.first >> 4, a.first & 0x0F, a.second & 0x7F, a.second >> 7};
}

KeyAssignment encodeWheel(const Movement& m) {
    uint8_t second = 0;
    if (m.direction == 1) {
        const int count = std::clamp(m.count, 0, 128);
        second = static_cast<uint8_t>(0x80 | ((128 - count) & 0x7F));
    } else {
        second = static_cast<uint8_t>(m.count & 0x7F);
    }
    return KeyAssignment{type::kWheel, nibbles(m.delay, m.speed), second};
}

Movement decodeWheel(const KeyAssignment& a) {
    const int direction = a.second >> 7;
    const int count = direction == 1 ? 128 - (a.second & 0x7F) : (a.second & 0x7F);
    return Movement{a.first >> 4, a.first & 0x0F, count, direction};
}

KeyAssignment encodeFire(int interval, int clicks) {
    return KeyAssignment{type::kFire, static_cast<uint8_t>(interval), static_cast<uint8_t>(clicks)};
}

uint8_t modifierForOption(int option) {
    if (option < 1 || option >= kModifierOptionCount) {
        return 0;
    }
    return static_cast<uint8_t>(1u << (option - 1));
}

std::optional<int> optionForModifier(uint8_t modifier) {
    if (!std::has_single_bit(static_cast<unsigned>(modifier))) {
        return std::nullopt;
    }
    // Row k of the modifier rows holds bit 1 << k; left and right share an option.
    const int k = std::countr_zero(static_cast<unsigned>(modifier));
    return (k + 1) % kModifierOptionCount + (k + 1) / kModifierOptionCount;
}

KeyAssignment encodeMacro(int macro, int runMode, int repeatCount) {
    const auto number = static_cast<uint8_t>(macro);
    if (runMode == kRunModeRepeat) {
        return KeyAssignment{type::kMacroRepeat, number, static_cast<uint8_t>(repeatCount)};
    }
    return KeyAssignment{type::kMacro, number, static_cast<uint8_t>(runMode)};
}

int readDecimal(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' ||
                               text[i] == '\r' || text[i] == '\v' || text[i] == '\f')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = std::min<long long>(value * 10 + (text[i] - '0'), LLONG_MAX / 20);
    }
    if (negative) {
        value = -value;
    }
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

}  // namespace korvane::keys
