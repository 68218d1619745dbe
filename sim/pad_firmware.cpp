#include "sim/pad_firmware.h"

#include <algorithm>

namespace korvane::sim {

FirmwareConfig PadFirmware::defaultConfig() {
    FirmwareConfig config;
    config.info.setFirmwareVersion(0x0101);
    return config;
}

PadFirmware::PadFirmware(const FirmwareConfig& config)
    : Firmware(FirmwareKind::Pad, kSettingsStride, kSettingsBlockSize) {
    initialise(config);
}

Firmware::Layout PadFirmware::layoutFor(const FirmwareConfig&) const {
    Layout layout;
    layout.sizes[static_cast<size_t>(Region::Power)] = 6;
    layout.sizes[static_cast<size_t>(Region::LightStream)] = kLedCount * 3;
    return layout;
}

void PadFirmware::fillFactoryMemory(const FirmwareConfig& config, Memory& memory) const {
    std::vector<uint8_t>& settings = regionOf(memory, Region::Settings);
    for (int p = 0; p < config.profileCount; ++p) {
        const size_t base = kSettingsStride * static_cast<size_t>(p);
        uint8_t block[kSettingsBlockSize] = {};
        block[1] = 0x01;  // light mode code
        block[2] = 4;     // level
        block[3] = 1;     // 4 - speed
        block[4] = 0;     // direction
        block[5] = 0;     // multicolour
        block[6] = 0;
        block[7] = static_cast<uint8_t>(255 - p * 40);
        block[8] = 128;
        // Bytes 9-20 belong to the pad; the host writes them back unchanged.
        for (size_t i = 9; i <= 20; ++i) {
            block[i] = static_cast<uint8_t>(0x30 + i);
        }
        std::copy(std::begin(block), std::end(block),
                  settings.begin() + static_cast<std::ptrdiff_t>(base));
    }
    settings[0] = 0;

    std::vector<uint8_t>& power = regionOf(memory, Region::Power);
    power[0] = 100;
    power[1] = 0;  // charging state of the phone charger
    power[2] = 0;  // no phone on the pad
}

}  // namespace korvane::sim
