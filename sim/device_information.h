#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The 34 bytes a device answers to command 0x03. Only the fields the program
// interprets have accessors; every other byte is free and kept as set.
namespace korvane::sim {

struct DeviceInformation {
    static constexpr size_t kSize = 34;
    std::array<uint8_t, kSize> bytes{};

    uint8_t keyCount() const { return bytes[5]; }
    void setKeyCount(uint8_t n) { bytes[5] = n; }
    // Macro memory in 128-byte units.
    uint8_t macroUnits() const { return bytes[6]; }
    void setMacroUnits(uint8_t units) { bytes[6] = units; }
    size_t macroBytes() const { return size_t{bytes[6]} * 128; }
    uint16_t sensorId() const { return get16(9); }
    void setSensorId(uint16_t v) { set16(9, v); }
    uint8_t sensitivityStep() const { return bytes[11]; }
    void setSensitivityStep(uint8_t v) { bytes[11] = v; }
    uint16_t stepCount() const { return get16(12); }
    void setStepCount(uint16_t v) { set16(12, v); }
    uint16_t lowestValue() const { return get16(14); }
    void setLowestValue(uint16_t v) { set16(14, v); }
    uint16_t firmwareVersion() const { return get16(32); }
    void setFirmwareVersion(uint16_t v) { set16(32, v); }

    bool operator==(const DeviceInformation&) const = default;

  private:
    uint16_t get16(size_t at) const {
        return static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8));
    }
    void set16(size_t at, uint16_t v) {
        bytes[at] = static_cast<uint8_t>(v & 0xFF);
        bytes[at + 1] = static_cast<uint8_t>(v >> 8);
    }
};

}  // namespace korvane::sim
