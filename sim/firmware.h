#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include <json/value.h>

#include "sim/command_packet.h"
#include "sim/device_information.h"

// The firmware of one physical device: its on-board memory and the command
// protocol that reads and writes it. One object serves every USB device
// through which the physical device is reached (cable and receiver). The
// memory map is documented in docs/simulator.md. Thread-safe.
namespace korvane::sim {

enum class FirmwareKind { Mouse, Keyboard, Pad, Headset };
const char* toString(FirmwareKind kind);

enum class Region : uint8_t {
    Info,         // 0x03 device information (34 bytes)
    Settings,     // 0x05/0x06 settings memory by address
    KeyTable,     // 0x07/0x09 key table, bank P at P*512
    LedIndex,     // 0x1B LED number per physical key
    CustomLight,  // 0x0A/0x0B custom-light pages
    Macro,        // 0x15 macro memory
    Recoil,       // 0x17 recoil memory
    Power,        // 0x1A power status
    LightStream,  // 0x12 last streamed light frame
};
inline constexpr size_t kRegionCount = 9;
// The region's key in the JSON dump ("settings", "keyTable", ...).
const char* regionName(Region region);

struct FirmwareConfig {
    DeviceInformation info;
    // On-board profiles: sizes the settings memory and the key-table banks,
    // and bounds the profile a button press can select.
    int profileCount = 4;

    bool operator==(const FirmwareConfig&) const = default;
};
inline constexpr int kMaxProfiles = 16;

// Refusal counters and the begin/end bracket of writes (0x01/0x02).
struct WriteSession {
    bool open = false;
    uint64_t begins = 0;
    uint64_t ends = 0;
    uint64_t writesInSession = 0;  // data writes between 0x01 and 0x02
    uint64_t writesOutside = 0;    // data writes without an open 0x01
};

struct Refusals {
    uint64_t badChecksum = 0;
    uint64_t unknownCommand = 0;
    uint64_t outOfRange = 0;
    std::string last;  // human-readable reason of the latest refusal
};

class Firmware {
  public:
    virtual ~Firmware() = default;
    Firmware(const Firmware&) = delete;
    Firmware& operator=(const Firmware&) = delete;

    FirmwareKind kind() const { return kind_; }

    // Handles one 64-byte command report (byte 0 the report id) and returns
    // the answer. A packet with a wrong sum is answered with status 0xFF and
    // an unknown command or a range outside its region with 0xFE; neither
    // touches memory.
    Packet handle(const Packet& packet);

    // What a button press on the device does before it sends `code` on its
    // consumer-control collection: 0x10xx selects on-board profile xx & 0x0F,
    // 0x11xx also the sensitivity stage (xx >> 4) where the device has stages.
    // A profile beyond profileCount changes nothing.
    void applyNotification(uint16_t code);

    // The headset's 17-byte lighting reports; other devices refuse them.
    virtual bool receiveLightingReport(std::span<const uint8_t> report, bool viaSetOutputReport);

    // Back to factory memory and state for `config`. False (nothing changed)
    // when profileCount is outside 1..kMaxProfiles.
    bool reset(const FirmwareConfig& config);
    FirmwareConfig config() const;

    // Direct memory access for tests and tools.
    size_t regionSize(Region region) const;
    // Empty when the range does not lie inside the region.
    std::vector<uint8_t> read(Region region, size_t offset, size_t length) const;
    std::vector<uint8_t> readAll(Region region) const;
    bool write(Region region, size_t offset, std::span<const uint8_t> bytes);

    uint8_t activeProfile() const;
    // Byte position of on-board profile p's block in the settings memory.
    size_t settingsBlockAddress(int profile) const;
    WriteSession writeSession() const;
    Refusals refusals() const;
    // Times command 0x1C (the host takes the lighting) arrived.
    uint64_t hostLightingRequests() const;
    uint64_t commandCount(uint8_t code) const;
    uint64_t lightStreamChunks() const;

    Json::Value toJson() const;

  protected:
    struct Layout {
        size_t settingsStride = 0;     // distance of the profile blocks
        size_t settingsBlockSize = 0;  // bytes of one profile block
        std::array<size_t, kRegionCount> sizes{};
        bool takesHostLighting = false;  // knows 0x1C
        int stageByte = -1;              // byte of a profile block holding the active stage
    };
    using Memory = std::array<std::vector<uint8_t>, kRegionCount>;

    Firmware(FirmwareKind kind, size_t settingsStride, size_t settingsBlockSize);

    // Region sizes for a configuration; settings size and stride are filled
    // by the base.
    virtual Layout layoutFor(const FirmwareConfig& config) const = 0;
    // Writes factory contents into zeroed memory sized by layoutFor; pure, it
    // touches nothing but `memory`.
    virtual void fillFactoryMemory(const FirmwareConfig& config, Memory& memory) const = 0;
    // Clears state beyond memory on a reset (called under the lock).
    virtual void clearState() {}
    // Extra state for the dump (called under the lock).
    virtual void addJson(Json::Value& /*out*/) const {}
    // Called by derived constructors once their vtable is in place.
    void initialise(const FirmwareConfig& config);

    static std::vector<uint8_t>& regionOf(Memory& memory, Region region) {
        return memory[static_cast<size_t>(region)];
    }

    mutable std::mutex mutex_;

  private:
    Packet refuse(const CommandView& cmd, uint8_t status, uint64_t& counter, std::string reason);
    Packet accessRegion(const CommandView& cmd, Region region, bool isWrite);

    const FirmwareKind kind_;
    const size_t settingsStride_;
    const size_t settingsBlockSize_;
    FirmwareConfig config_;
    Layout layout_;
    Memory memory_;
    WriteSession session_;
    Refusals refusals_;
    uint64_t hostLightingRequests_ = 0;
    uint64_t lightStreamChunks_ = 0;
    std::map<uint8_t, uint64_t> commandCounts_;
};

}  // namespace korvane::sim
