#pragma once

#include "sim/firmware.h"

namespace korvane::sim {

// The lit mouse pad: 15 LEDs, a lighting block per on-board profile, and a
// power status that reports the phone on its charger.
class PadFirmware final : public Firmware {
  public:
    static constexpr size_t kSettingsStride = 64;
    static constexpr size_t kSettingsBlockSize = 26;
    static constexpr size_t kLedCount = 15;

    static FirmwareConfig defaultConfig();
    explicit PadFirmware(const FirmwareConfig& config = defaultConfig());

  protected:
    Layout layoutFor(const FirmwareConfig& config) const override;
    void fillFactoryMemory(const FirmwareConfig& config, Memory& memory) const override;
};

}  // namespace korvane::sim
