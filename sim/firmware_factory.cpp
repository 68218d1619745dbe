#include "sim/firmware_factory.h"

#include "sim/headset_firmware.h"
#include "sim/keyboard_firmware.h"
#include "sim/mouse_firmware.h"
#include "sim/pad_firmware.h"

namespace korvane::sim {

FirmwareConfig defaultConfig(FirmwareKind kind) {
    switch (kind) {
        case FirmwareKind::Mouse:
            return MouseFirmware::defaultConfig();
        case FirmwareKind::Keyboard:
            return KeyboardFirmware::defaultConfig();
        case FirmwareKind::Pad:
            return PadFirmware::defaultConfig();
        case FirmwareKind::Headset:
            return HeadsetFirmware::defaultConfig();
    }
    return {};
}

std::shared_ptr<Firmware> makeFirmware(FirmwareKind kind, const FirmwareConfig& config) {
    switch (kind) {
        case FirmwareKind::Mouse:
            return std::make_shared<MouseFirmware>(config);
        case FirmwareKind::Keyboard:
            return std::make_shared<KeyboardFirmware>(config);
        case FirmwareKind::Pad:
            return std::make_shared<PadFirmware>(config);
        case FirmwareKind::Headset:
            return std::make_shared<HeadsetFirmware>(config);
    }
    return nullptr;
}

std::shared_ptr<Firmware> makeFirmware(FirmwareKind kind) {
    return makeFirmware(kind, defaultConfig(kind));
}

}  // namespace korvane::sim
