#pragma once

#include <memory>

#include "sim/firmware.h"

namespace korvane::sim {

// Factory configuration of each kind (device information, profile count).
FirmwareConfig defaultConfig(FirmwareKind kind);

// A firmware of `kind` in factory state for `config`.
std::shared_ptr<Firmware> makeFirmware(FirmwareKind kind, const FirmwareConfig& config);
std::shared_ptr<Firmware> makeFirmware(FirmwareKind kind);

}  // namespace korvane::sim
