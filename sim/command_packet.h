#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

// The firmware's view of the 64-byte command reports: what a device reads
// from a command packet and how it frames its answer. Kept apart from the
// host's packet code on purpose, so a framing mistake on either side shows up
// as a refused packet or an unmatched answer instead of cancelling out.
namespace korvane::sim {

inline constexpr size_t kPacketSize = 64;
inline constexpr uint8_t kCommandReportId = 0x04;
inline constexpr size_t kDataStart = 8;
inline constexpr size_t kMaxData = kPacketSize - kDataStart;  // 56

using Packet = std::array<uint8_t, kPacketSize>;

// Status byte (answer byte 7).
inline constexpr uint8_t kStatusOk = 0x00;
inline constexpr uint8_t kStatusRefused = 0xFE;      // unknown command, bad range
inline constexpr uint8_t kStatusBadChecksum = 0xFF;  // damaged packet

enum class Command : uint8_t {
    BeginWrite = 0x01,
    EndWrite = 0x02,
    ReadInfo = 0x03,
    ReadSettings = 0x05,
    WriteSettings = 0x06,
    ReadKeyTable = 0x07,
    WriteKeyTable = 0x09,
    ReadCustomLight = 0x0A,
    WriteCustomLight = 0x0B,
    LightStream = 0x12,
    WriteMacro = 0x15,
    WriteRecoil = 0x17,
    ReadPower = 0x1A,
    ReadLedIndex = 0x1B,
    HostLighting = 0x1C,
    LinkQuery = 0xAA,
};

// Plain 32-bit sum of bytes 3..63, cut to 16 bits.
uint16_t packetSum(const Packet& packet);
bool checksumMatches(const Packet& packet);
// Stores the sum in bytes 1-2 (low byte first).
void seal(Packet& packet);

// The fields of a command packet as the firmware reads them.
struct CommandView {
    uint8_t code = 0;
    uint8_t length = 0;
    uint16_t offset = 0;
    std::span<const uint8_t> data;  // bytes 8..63 (always 56 bytes)
};
CommandView view(const Packet& packet);

// An answer: report id 4, code, length, offset, status, data from byte 8
// (cut at 56 bytes), sealed with its sum.
Packet makeAnswer(uint8_t code, uint8_t length, uint16_t offset, uint8_t status,
                  std::span<const uint8_t> data = {});

}  // namespace korvane::sim
