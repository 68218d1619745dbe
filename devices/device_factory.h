// The device object of a family: the window creates one per family the first time a device of
// it is found.
#pragma once

#include <memory>

#include "device/supported_device.h"
#include "devices/device_host.h"
#include "devices/usb_device.h"

namespace korvane::devices {

// The mouse family gets CKorvaneMouseDevice; the families without a class of their own yet get
// the base object.
std::unique_ptr<CKorvaneUSBDevice> makeFamilyDevice(device::DeviceFamily family, DeviceHost& host);

}  // namespace korvane::devices
