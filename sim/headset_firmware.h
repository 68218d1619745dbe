#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "sim/firmware.h"

namespace korvane::sim {

// The 13 lights of the headset as its two light controllers (targets 0x22
// and 0x44) last received them.
struct HeadsetLighting {
    static constexpr size_t kLights = 13;
    static constexpr size_t kReportSize = 17;
    static constexpr uint8_t kReportId = 0xFF;
    static constexpr uint8_t kTargets[2] = {0x22, 0x44};

    // levels[target index][channel 0 red, 1 green, 2 blue][light]
    std::array<std::array<std::array<uint8_t, kLights>, 3>, 2> levels{};
    uint64_t reports = 0;  // accepted reports
    uint64_t viaSetOutputReport = 0;
    uint64_t refused = 0;  // malformed reports
    std::array<uint8_t, kReportSize> last{};

    // Red, green and blue of one light at one target (0x22 or 0x44); zeros
    // for an unknown target or light.
    std::array<uint8_t, 3> colour(uint8_t target, size_t light) const;
};

// The headset: a lighting block per on-board profile over the command
// protocol, a power status, and its lights driven by 17-byte output reports:
// byte 0 0xFF, byte 1 target, byte 2 register, byte 3 0, data from byte 4.
// Registers 0xAA/0xAB/0xAC carry red/green/blue of lights 0-6, 0xAD/0xAE/0xAF
// those of lights 7-12. A report zero-padded beyond 17 bytes is taken too.
class HeadsetFirmware final : public Firmware {
  public:
    static constexpr size_t kSettingsStride = 64;
    static constexpr size_t kSettingsBlockSize = 26;

    static FirmwareConfig defaultConfig();
    explicit HeadsetFirmware(const FirmwareConfig& config = defaultConfig());

    bool receiveLightingReport(std::span<const uint8_t> report, bool viaSetOutputReport) override;
    HeadsetLighting lighting() const;

  protected:
    Layout layoutFor(const FirmwareConfig& config) const override;
    void fillFactoryMemory(const FirmwareConfig& config, Memory& memory) const override;
    void clearState() override { lighting_ = {}; }
    void addJson(Json::Value& out) const override;

  private:
    HeadsetLighting lighting_;  // guarded by mutex_
};

}  // namespace korvane::sim
