#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "sim/firmware.h"

namespace korvane::sim {

// A three-byte key assignment: type, first parameter, second parameter.
using KeyCode = std::array<uint8_t, 3>;

// The mouse (also reached through its receiver): 11 buttons, 15 LEDs, five
// sensitivity stages per on-board profile, macro and recoil memory.
class MouseFirmware final : public Firmware {
  public:
    static constexpr size_t kSettingsStride = 128;
    static constexpr size_t kSettingsBlockSize = 71;
    static constexpr size_t kStageByte = 12;
    static constexpr size_t kLedCount = 15;
    // Room for four guns of 30 shots (an image of 2920 bytes).
    static constexpr size_t kRecoilSize = 4096;

    struct Button {
        uint8_t pagePosition;  // the page position that recognises this button
        KeyCode code;          // factory assignment
    };
    // Factory buttons in physical order (entry k is physical button k).
    static std::span<const Button> factoryButtons();
    static FirmwareConfig defaultConfig();

    explicit MouseFirmware(const FirmwareConfig& config = defaultConfig());

  protected:
    Layout layoutFor(const FirmwareConfig& config) const override;
    void fillFactoryMemory(const FirmwareConfig& config, Memory& memory) const override;
};

}  // namespace korvane::sim
