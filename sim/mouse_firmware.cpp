#include "sim/mouse_firmware.h"

#include <algorithm>

namespace korvane::sim {

namespace {

// Physical order: the switch matrix wires the side and top buttons in an
// order of their own, so it differs from the page's position order.
constexpr MouseFirmware::Button kButtons[] = {
    {0, {0x10, 0x01, 0x00}},  {1, {0x10, 0x02, 0x00}}, {2, {0x10, 0x04, 0x00}},
    {4, {0x10, 0x08, 0x00}},  {3, {0x10, 0x10, 0x00}}, {9, {0x16, 0x90, 0x01}},
    {10, {0x14, 0x78, 0x02}}, {5, {0x13, 0x01, 0x00}}, {6, {0x13, 0x02, 0x00}},
    {7, {0x13, 0x03, 0x00}},  {8, {0xA0, 0x1B, 0x00}},
};

// Stage indexes (X and Y) and colours of the five factory stages.
constexpr uint16_t kStageIndex[5] = {7, 15, 31, 52, 68};
constexpr uint8_t kStageColour[5][3] = {
    {255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}, {255, 0, 255}};
constexpr uint8_t kProfileColour[4][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {0, 255, 255}};

void put16(std::vector<uint8_t>& bytes, size_t at, uint16_t value) {
    bytes[at] = static_cast<uint8_t>(value & 0xFF);
    bytes[at + 1] = static_cast<uint8_t>(value >> 8);
}

}  // namespace

std::span<const MouseFirmware::Button> MouseFirmware::factoryButtons() {
    return kButtons;
}

FirmwareConfig MouseFirmware::defaultConfig() {
    FirmwareConfig config;
    config.info.setKeyCount(11);
    config.info.setMacroUnits(32);
    config.info.setSensorId(0x3325);
    config.info.setSensitivityStep(50);
    config.info.setStepCount(96);
    config.info.setLowestValue(50);
    config.info.setFirmwareVersion(0x0103);
    return config;
}

MouseFirmware::MouseFirmware(const FirmwareConfig& config)
    : Firmware(FirmwareKind::Mouse, kSettingsStride, kSettingsBlockSize) {
    initialise(config);
}

Firmware::Layout MouseFirmware::layoutFor(const FirmwareConfig& config) const {
    Layout layout;
    const auto profiles = static_cast<size_t>(config.profileCount);
    layout.sizes[static_cast<size_t>(Region::KeyTable)] = profiles * 512;
    layout.sizes[static_cast<size_t>(Region::Macro)] = config.info.macroBytes();
    layout.sizes[static_cast<size_t>(Region::Recoil)] = kRecoilSize;
    layout.sizes[static_cast<size_t>(Region::Power)] = 6;
    layout.sizes[static_cast<size_t>(Region::LightStream)] = kLedCount * 3;
    layout.stageByte = static_cast<int>(kStageByte);
    return layout;
}

void MouseFirmware::fillFactoryMemory(const FirmwareConfig& config, Memory& memory) const {
    std::vector<uint8_t>& settings = regionOf(memory, Region::Settings);
    for (int p = 0; p < config.profileCount; ++p) {
        const size_t base = kSettingsStride * static_cast<size_t>(p);
        std::vector<uint8_t> block(kSettingsBlockSize, 0);
        const uint8_t* colour = kProfileColour[p % 4];
        block[1] = 0x01;  // light mode code
        block[2] = 4;     // level
        block[3] = 2;     // 4 - speed
        block[4] = 0;     // direction
        block[5] = 1;     // multicolour
        std::copy_n(colour, 3, block.begin() + 6);
        block[11] = 3;  // report-rate index
        block[12] = static_cast<uint8_t>(p % 5);
        for (size_t s = 0; s < 5; ++s) {
            const size_t at = 14 + 9 * s;
            block[at] = 1;      // enabled
            block[at + 1] = 0;  // same X and Y
            put16(block, at + 2, kStageIndex[s]);
            put16(block, at + 4, kStageIndex[s]);
            std::copy_n(kStageColour[s], 3, block.begin() + static_cast<std::ptrdiff_t>(at + 6));
        }
        block[59] = 1;
        put16(block, 60, 1920);
        put16(block, 62, 1080);
        block[68] = 0x64;
        block[70] = 0x01;
        std::copy(block.begin(), block.end(), settings.begin() + static_cast<std::ptrdiff_t>(base));
    }
    settings[0] = 0;  // active on-board profile

    std::vector<uint8_t>& keys = regionOf(memory, Region::KeyTable);
    const size_t buttons = std::min<size_t>(config.info.keyCount(), 512 / 3);
    for (size_t bank = 0; bank < static_cast<size_t>(config.profileCount); ++bank) {
        for (size_t k = 0; k < buttons && k < std::size(kButtons); ++k) {
            std::copy(kButtons[k].code.begin(), kButtons[k].code.end(),
                      keys.begin() + static_cast<std::ptrdiff_t>(bank * 512 + 3 * k));
        }
    }

    std::vector<uint8_t>& power = regionOf(memory, Region::Power);
    power[0] = 80;  // charge %
    power[1] = 0;   // charging state
}

}  // namespace korvane::sim
