#include "devices/device_factory.h"

#include "devices/mouse_device.h"

namespace korvane::devices {

std::unique_ptr<CKorvaneUSBDevice> makeFamilyDevice(device::DeviceFamily family, DeviceHost& host) {
    switch (family) {
        case device::DeviceFamily::Mouse:
            return std::make_unique<CKorvaneMouseDevice>(host);
        case device::DeviceFamily::Keyboard:
        case device::DeviceFamily::MousePad:
        case device::DeviceFamily::Headset:
        case device::DeviceFamily::None:
            break;
    }
    return std::make_unique<CKorvaneUSBDevice>(host);
}

}  // namespace korvane::devices
