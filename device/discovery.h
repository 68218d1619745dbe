#pragma once

#include <cstddef>
#include <functional>

#include "device/hid_channel.h"
#include "device/supported_device.h"

// The scan and presence check of the device watch, usable on their own (the
// command-line tool runs one scan).
namespace korvane::device {

// One pass over the present HID interfaces: parse each path, pre-match it,
// open the kept ones for reading, take the ids from the attributes and usage
// page/usage from the capabilities, and run the full match. `onBound` runs for
// each slot the pass binds, after the probe handle is closed again. False when
// the enumeration itself failed.
bool scanInterfaces(hid::Backend& backend, HidChannel& enumerator, SlotList& slots,
                    const std::function<void(size_t slot)>& onBound);

// Unbinds every bound slot whose path no longer opens (an access-less open) and
// runs `onLost` for it, in slot order.
void checkPresence(hid::Backend& backend, SlotList& slots,
                   const std::function<void(size_t slot)>& onLost);

}  // namespace korvane::device
