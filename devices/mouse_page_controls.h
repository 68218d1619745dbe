// The controls the mouse device looks up on its page, for the skin check (ui/required_controls.h).
#pragma once

#include "ui/required_controls.h"

namespace korvane::devices {

inline constexpr const char* kMousePageSkin = "XML\\DeviceXml\\mousedevice.xml";

// Every name CKorvaneMouseDevice finds on "XML\\DeviceXml\\mousedevice.xml", with its kind.
// The "brenta_DPI_…" controls belong to another page layout and are not declared: their
// handlers do nothing without them.
void declareMousePageControls(ui::RequiredControls& required);

}  // namespace korvane::devices
