#pragma once

#include <cstdint>
#include <vector>

#include "sim/firmware.h"
#include "sim/mouse_firmware.h"

namespace korvane::sim {

// The keyboard (also reached through its receiver): up to 170 keys with one
// LED each, one settings block per on-board profile at 25-byte steps,
// custom-light pages, macro memory, and the host-lighting command 0x1C.
class KeyboardFirmware final : public Firmware {
  public:
    static constexpr size_t kSettingsStride = 25;
    static constexpr size_t kSettingsBlockSize = 26;
    static constexpr size_t kMaxKeys = 170;  // 512 / 3
    static constexpr size_t kCustomLightPages = 8;
    static constexpr size_t kCustomLightPageSize = 512;
    static constexpr size_t kLightStreamSize = 512;

    struct Key {
        uint8_t position;  // row of the key position table
        KeyCode code;      // factory assignment (that row's default)
        uint8_t led;       // LED number
    };
    // Every key of a full keyboard in physical (switch-matrix) order: column
    // by column of the key layout, top to bottom. LEDs are numbered row by
    // row instead, so position, physical index and LED number all differ.
    static const std::vector<Key>& factoryKeys();
    static FirmwareConfig defaultConfig();

    explicit KeyboardFirmware(const FirmwareConfig& config = defaultConfig());

  protected:
    Layout layoutFor(const FirmwareConfig& config) const override;
    void fillFactoryMemory(const FirmwareConfig& config, Memory& memory) const override;
};

}  // namespace korvane::sim
