// The macro memory image that mice and keyboards receive, and the recoil image of the mouse,
// which has the same layout. Little-endian:
//   0: 0x55AA   2: total size T   4: record count n   6–15: 0
//   16: n offsets, one per record (its place in the image)
//   records in order: event count (16 bits), two 0 bytes, then 4 bytes per event
// so T = 16 + 6n + 4 × (all events).
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

#include "keys/macro_event.h"

namespace korvane::keys {

inline constexpr uint16_t kMacroImageMagic = 0x55AA;
inline constexpr std::size_t kMacroImageHeaderSize = 16;
// T and the offsets are 16-bit, so no image can be larger.
inline constexpr std::size_t kMaxMacroImageSize = 0xFFFF;

using EventList = std::vector<MacroEvent>;

struct MacroImage {
    enum class Status {
        Built,       // bytes holds the image
        Empty,       // no records: nothing to send
        DoesNotFit,  // larger than the device's memory: overflow says by how much
        TooLarge,    // beyond the 16-bit size field (no capacity given)
    };
    Status status = Status::Empty;
    std::vector<uint8_t> bytes;
    // For DoesNotFit: ((T − C) >> 2) + 1, the 4-byte units missing plus one.
    int overflow = 0;
    std::size_t totalSize = 0;  // T, also when nothing was built
};

// T for records with these event counts.
std::size_t macroImageSize(std::span<const std::size_t> eventCounts);

// The image of `records`, in order. With a capacity C (the device's macro memory, information
// byte 6 × 128) an image with C < T is refused as DoesNotFit; without one (the recoil image)
// only the 16-bit limit applies.
MacroImage buildMacroImage(std::span<const EventList> records, std::optional<std::size_t> capacity);

// The macro image of the listed macro numbers (positions in "macro.config") of a device
// folder: each macro's events come from its ".mac" file (readMacroEvents: a missing or damaged
// file gives no events, bad events are left out). A list that cannot be read, or an empty
// list, gives Empty. A number outside the list gives a record without events, so the places
// of the others do not move.
MacroImage buildMacroImageFromFolder(const std::filesystem::path& folder,
                                     std::span<const int> macroNumbers, std::size_t capacity);

// The recoil image: the four gun files "ShootData_<n>.Shoot" of a device folder, in order
// (a missing or damaged file gives a record without events).
MacroImage buildRecoilImage(const std::filesystem::path& folder);

}  // namespace korvane::keys
