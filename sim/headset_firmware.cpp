#include "sim/headset_firmware.h"

#include <algorithm>

#include "sim/hex_text.h"

namespace korvane::sim {

std::array<uint8_t, 3> HeadsetLighting::colour(uint8_t target, size_t light) const {
    for (size_t t = 0; t < 2; ++t) {
        if (kTargets[t] == target && light < kLights) {
            return {levels[t][0][light], levels[t][1][light], levels[t][2][light]};
        }
    }
    return {0, 0, 0};
}

FirmwareConfig HeadsetFirmware::defaultConfig() {
    FirmwareConfig config;
    config.info.setFirmwareVersion(0x0100);
    return config;
}

HeadsetFirmware::HeadsetFirmware(const FirmwareConfig& config)
    : Firmware(FirmwareKind::Headset, kSettingsStride, kSettingsBlockSize) {
    initialise(config);
}

Firmware::Layout HeadsetFirmware::layoutFor(const FirmwareConfig&) const {
    Layout layout;
    layout.sizes[static_cast<size_t>(Region::Power)] = 6;
    return layout;
}

void HeadsetFirmware::fillFactoryMemory(const FirmwareConfig& config, Memory& memory) const {
    std::vector<uint8_t>& settings = regionOf(memory, Region::Settings);
    for (int p = 0; p < config.profileCount; ++p) {
        const size_t base = kSettingsStride * static_cast<size_t>(p);
        uint8_t block[kSettingsBlockSize] = {};
        block[1] = 0x01;  // light mode code
        block[2] = 4;     // level (the headset's maximum)
        block[3] = 2;     // 4 - speed
        block[5] = 1;     // multicolour
        block[6] = 255;
        block[7] = static_cast<uint8_t>(p * 50);
        block[8] = 0;
        std::copy(std::begin(block), std::end(block),
                  settings.begin() + static_cast<std::ptrdiff_t>(base));
    }
    settings[0] = 0;
    regionOf(memory, Region::Power)[0] = 100;
}

bool HeadsetFirmware::receiveLightingReport(std::span<const uint8_t> report,
                                            bool viaSetOutputReport) {
    std::lock_guard lock(mutex_);
    // A bus may pad the report to its collection's longest output report;
    // the padding must be zeros.
    const bool padded = report.size() > HeadsetLighting::kReportSize &&
                        std::any_of(report.begin() + HeadsetLighting::kReportSize, report.end(),
                                    [](uint8_t b) { return b != 0; });
    if (report.size() < HeadsetLighting::kReportSize || padded ||
        report[0] != HeadsetLighting::kReportId || report[3] != 0 || report[2] < 0xAA ||
        report[2] > 0xAF) {
        ++lighting_.refused;
        return false;
    }
    size_t target = 2;
    for (size_t t = 0; t < 2; ++t) {
        if (HeadsetLighting::kTargets[t] == report[1]) {
            target = t;
        }
    }
    if (target == 2) {
        ++lighting_.refused;
        return false;
    }
    const size_t reg = report[2] - 0xAA;   // 0..5
    const size_t channel = reg % 3;        // red, green, blue
    const size_t first = reg < 3 ? 0 : 7;  // lights 0-6 or 7-12
    const size_t count = reg < 3 ? 7 : 6;
    auto& levels = lighting_.levels[target][channel];
    std::copy_n(report.begin() + 4, count, levels.begin() + static_cast<std::ptrdiff_t>(first));
    ++lighting_.reports;
    if (viaSetOutputReport) {
        ++lighting_.viaSetOutputReport;
    }
    std::copy_n(report.begin(), HeadsetLighting::kReportSize, lighting_.last.begin());
    return true;
}

HeadsetLighting HeadsetFirmware::lighting() const {
    std::lock_guard lock(mutex_);
    return lighting_;
}

void HeadsetFirmware::addJson(Json::Value& out) const {
    static const char* const kChannels[3] = {"red", "green", "blue"};
    Json::Value lighting(Json::objectValue);
    lighting["reports"] = static_cast<Json::UInt64>(lighting_.reports);
    lighting["viaSetOutputReport"] = static_cast<Json::UInt64>(lighting_.viaSetOutputReport);
    lighting["refused"] = static_cast<Json::UInt64>(lighting_.refused);
    lighting["last"] = toHex(lighting_.last);
    for (size_t t = 0; t < 2; ++t) {
        Json::Value target(Json::objectValue);
        for (size_t c = 0; c < 3; ++c) {
            target[kChannels[c]] = toHex(lighting_.levels[t][c]);
        }
        lighting[t == 0 ? "0x22" : "0x44"] = target;
    }
    out["lighting"] = lighting;
}

}  // namespace korvane::sim
