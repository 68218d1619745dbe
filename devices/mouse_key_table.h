// The mouse's buttons: the page shows 11 key positions; the firmware numbers its physical
// buttons in its own order. Each position recognises its button by the button's factory
// assignment in the key table (command 0x07, three bytes per button).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "keys/key_assignment.h"
#include "profile/profile_records.h"

namespace korvane::devices::mouse {

inline constexpr std::size_t kKeyPositionCount = 11;
// A position without a physical button.
inline constexpr std::uint8_t kNoButton = 170;
// The key table copy: N × 3 bytes of at most 512.
inline constexpr std::size_t kKeyTableSize = 512;

// The assignment by which each page position recognises its button: left, right, middle,
// forward, back, stage up, stage down, stage cycle, the GM key and the two extra side keys.
extern const std::array<keys::KeyAssignment, kKeyPositionCount> MouseKeyPositions;

using PositionMap = std::array<std::uint8_t, kKeyPositionCount>;

// Every position starts without a button; then, position by position, the first physical
// button k < keyCount whose table entry equals the position's assignment is its button.
// Entries beyond the table are not looked at.
PositionMap buildPositionMap(std::span<const std::uint8_t> keyTable, int keyCount);

// What WriteKeyMatrix sends and which macros the keys use.
struct KeyMatrixPlan {
    std::vector<std::uint8_t> table;  // keyCount × 3 bytes
    std::vector<int> usedMacros;      // upload order: first-seen, each once
};

// Starts from the key table copy and, for each key-list position in order that has a button,
// writes the key's assignment to the button's entry: macro assignments (0x70, 0x71) take their
// macro's place in the upload list; a macro at or beyond `macroCount` (deleted) gives the key's
// default assignment instead.
KeyMatrixPlan planKeyMatrix(std::span<const std::uint8_t> keyTable, int keyCount,
                            const PositionMap& positions,
                            const std::vector<profile::KeyListEntry>& keyList, int macroCount);

}  // namespace korvane::devices::mouse
