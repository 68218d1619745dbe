#include "sim/keyboard_firmware.h"

#include <algorithm>

namespace korvane::sim {

namespace {

// Default assignment of each key position 0..125 (type, modifier, usage).
constexpr KeyCode kPositionCodes[126] = {
    {0x20, 0, 41},  {0x20, 0, 58},  {0x20, 0, 59},  {0x20, 0, 60},  {0x20, 0, 61},  {0x20, 0, 62},
    {0x20, 0, 63},  {0x20, 0, 64},  {0x20, 0, 65},  {0x20, 0, 66},  {0x20, 0, 67},  {0x20, 0, 68},
    {0x20, 0, 69},  {0x20, 0, 70},  {0x20, 0, 71},  {0x20, 0, 72},  {0xA0, 27, 0},  {0xA0, 36, 0},
    {0x20, 0, 0},   {0x20, 0, 0},   {0x20, 0, 0},   {0x20, 0, 53},  {0x20, 0, 30},  {0x20, 0, 31},
    {0x20, 0, 32},  {0x20, 0, 33},  {0x20, 0, 34},  {0x20, 0, 35},  {0x20, 0, 36},  {0x20, 0, 37},
    {0x20, 0, 38},  {0x20, 0, 39},  {0x20, 0, 45},  {0x20, 0, 46},  {0x20, 0, 42},  {0x20, 0, 73},
    {0x20, 0, 74},  {0x20, 0, 75},  {0x20, 0, 83},  {0x20, 0, 84},  {0x20, 0, 85},  {0x20, 0, 86},
    {0x20, 0, 43},  {0x20, 0, 20},  {0x20, 0, 26},  {0x20, 0, 8},   {0x20, 0, 21},  {0x20, 0, 23},
    {0x20, 0, 28},  {0x20, 0, 24},  {0x20, 0, 12},  {0x20, 0, 18},  {0x20, 0, 19},  {0x20, 0, 47},
    {0x20, 0, 48},  {0x20, 0, 49},  {0x20, 0, 76},  {0x20, 0, 77},  {0x20, 0, 78},  {0x20, 0, 95},
    {0x20, 0, 96},  {0x20, 0, 97},  {0x20, 0, 50},  {0x20, 0, 57},  {0x20, 0, 4},   {0x20, 0, 22},
    {0x20, 0, 7},   {0x20, 0, 9},   {0x20, 0, 10},  {0x20, 0, 11},  {0x20, 0, 13},  {0x20, 0, 14},
    {0x20, 0, 15},  {0x20, 0, 51},  {0x20, 0, 52},  {0x20, 0, 40},  {0x20, 0, 92},  {0x20, 0, 93},
    {0x20, 0, 94},  {0x20, 0, 138}, {0x20, 0, 139}, {0x20, 0, 144}, {0x20, 0, 145}, {0x20, 0, 136},
    {0x20, 2, 0},   {0x20, 0, 29},  {0x20, 0, 27},  {0x20, 0, 6},   {0x20, 0, 25},  {0x20, 0, 5},
    {0x20, 0, 17},  {0x20, 0, 16},  {0x20, 0, 54},  {0x20, 0, 55},  {0x20, 0, 56},  {0x20, 32, 0},
    {0x20, 0, 82},  {0x20, 0, 89},  {0x20, 0, 90},  {0x20, 0, 91},  {0x20, 0, 135}, {0x20, 0, 137},
    {0x20, 0, 100}, {0x20, 0, 133}, {0x20, 0, 0},   {0x20, 1, 0},   {0x20, 8, 0},   {0x20, 4, 0},
    {0x20, 0, 44},  {0x20, 64, 0},  {0xA0, 1, 0},   {0x20, 0, 101}, {0x20, 16, 0},  {0x20, 0, 80},
    {0x20, 0, 81},  {0x20, 0, 79},  {0x20, 0, 98},  {0x20, 0, 99},  {0x20, 0, 88},  {0x20, 0, 87},
    {0xD0, 162, 1}, {0xD0, 162, 2}, {0xD0, 162, 3}, {0xD0, 162, 4}, {0xD0, 162, 5}, {0x20, 128, 0},
};

// Where each position sits on the board (6 rows of 23 places); kNone marks
// an empty place, numbers from 126 lights without a key.
constexpr uint8_t kNone = 170;
constexpr uint8_t kLayout[6][23] = {
    {kNone, kNone, 0,  1,  2,  3,  4,  18,    5,     6,     7,    8,
     9,     10,    11, 12, 13, 14, 15, kNone, kNone, kNone, kNone},
    {120, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 101, 35, 36, 37, 38, 39, 40, 41},
    {121, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 54, 55, 103, 56, 57, 58, 59, 60, 61, 16},
    {122, 63, 64, 65, 66, 67, 68, 69, 70, 71, 72, 73, 74, 62, 75, 79, 82, 83, 17, 76, 77, 78, 119},
    {123, 84,  102, 85, 86, 87, 88, 89, 90, 91, 92, 93,
     94,  100, 19,  95, 80, 96, 81, 97, 98, 99, 118},
    {124, 105, 106, 20,  107, 126, 127, 108, 128, 129, 109, 125,
     110, 111, 130, 112, 113, 114, 115, 116, 104, 117, 131},
};

bool isKey(uint8_t position) {
    if (position >= 126) {
        return false;
    }
    const KeyCode& code = kPositionCodes[position];
    return !(code[0] == 0x20 && code[1] == 0 && code[2] == 0);
}

std::vector<KeyboardFirmware::Key> buildKeys() {
    uint8_t ledOf[126];
    std::fill(std::begin(ledOf), std::end(ledOf), 0xFF);
    uint8_t nextLed = 0;
    for (const auto& row : kLayout) {
        for (uint8_t position : row) {
            if (isKey(position)) {
                ledOf[position] = nextLed++;
            }
        }
    }
    std::vector<KeyboardFirmware::Key> keys;
    for (size_t column = 0; column < 23; ++column) {
        for (const auto& row : kLayout) {
            const uint8_t position = row[column];
            if (isKey(position)) {
                keys.push_back({position, kPositionCodes[position], ledOf[position]});
            }
        }
    }
    return keys;
}

}  // namespace

const std::vector<KeyboardFirmware::Key>& KeyboardFirmware::factoryKeys() {
    static const std::vector<Key> keys = buildKeys();
    return keys;
}

FirmwareConfig KeyboardFirmware::defaultConfig() {
    FirmwareConfig config;
    config.info.setKeyCount(static_cast<uint8_t>(factoryKeys().size()));
    config.info.setMacroUnits(32);
    config.info.setFirmwareVersion(0x0210);
    return config;
}

KeyboardFirmware::KeyboardFirmware(const FirmwareConfig& config)
    : Firmware(FirmwareKind::Keyboard, kSettingsStride, kSettingsBlockSize) {
    initialise(config);
}

Firmware::Layout KeyboardFirmware::layoutFor(const FirmwareConfig& config) const {
    Layout layout;
    const auto profiles = static_cast<size_t>(config.profileCount);
    layout.sizes[static_cast<size_t>(Region::KeyTable)] = profiles * 512;
    layout.sizes[static_cast<size_t>(Region::LedIndex)] = kMaxKeys;
    layout.sizes[static_cast<size_t>(Region::CustomLight)] =
        kCustomLightPages * kCustomLightPageSize;
    layout.sizes[static_cast<size_t>(Region::Macro)] = config.info.macroBytes();
    layout.sizes[static_cast<size_t>(Region::Power)] = 6;
    layout.sizes[static_cast<size_t>(Region::LightStream)] = kLightStreamSize;
    layout.takesHostLighting = true;
    return layout;
}

void KeyboardFirmware::fillFactoryMemory(const FirmwareConfig& config, Memory& memory) const {
    // Profile blocks overlap by one byte (26 bytes at 25-byte steps); written
    // from the last profile down so block 0 ends up whole.
    std::vector<uint8_t>& settings = regionOf(memory, Region::Settings);
    for (int p = config.profileCount - 1; p >= 0; --p) {
        const size_t base = kSettingsStride * static_cast<size_t>(p);
        uint8_t block[kSettingsBlockSize] = {};
        block[1] = 0x01;  // light mode code
        block[2] = 4;     // level
        block[3] = 2;     // 4 - speed
        block[4] = 1;     // direction
        block[5] = 1;     // multicolour
        block[6] = static_cast<uint8_t>(p * 60);
        block[7] = 128;
        block[8] = 255;
        block[22] = 3;  // report rate
        std::copy(std::begin(block), std::end(block),
                  settings.begin() + static_cast<std::ptrdiff_t>(base));
    }
    settings[0] = 0;

    const std::vector<Key>& keys = factoryKeys();
    const size_t count = std::min<size_t>(config.info.keyCount(), kMaxKeys);
    std::vector<uint8_t>& table = regionOf(memory, Region::KeyTable);
    std::vector<uint8_t>& leds = regionOf(memory, Region::LedIndex);
    std::fill(leds.begin(), leds.end(), 0xFF);
    for (size_t k = 0; k < count; ++k) {
        // Keys beyond a full board are blank (assignment 0) with LEDs of their own.
        const KeyCode code = k < keys.size() ? keys[k].code : KeyCode{0, 0, 0};
        leds[k] = k < keys.size() ? keys[k].led : static_cast<uint8_t>(k);
        for (size_t bank = 0; bank < static_cast<size_t>(config.profileCount); ++bank) {
            std::copy(code.begin(), code.end(),
                      table.begin() + static_cast<std::ptrdiff_t>(bank * 512 + 3 * k));
        }
    }

    // Factory custom colours: a ramp per page, so every LED and page differs.
    std::vector<uint8_t>& custom = regionOf(memory, Region::CustomLight);
    for (size_t page = 0; page < kCustomLightPages; ++page) {
        for (size_t led = 0; led < kMaxKeys; ++led) {
            const size_t at = page * kCustomLightPageSize + 3 * led;
            custom[at] = static_cast<uint8_t>(led);
            custom[at + 1] = static_cast<uint8_t>(page * 32);
            custom[at + 2] = static_cast<uint8_t>(255 - led);
        }
    }

    std::vector<uint8_t>& power = regionOf(memory, Region::Power);
    power[0] = 100;
}

}  // namespace korvane::sim
