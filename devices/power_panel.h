#pragma once

#include <array>
#include <cstdint>

#include "ui/control.h"

// The battery panel of a device page ("MpDevicePower"): charge, charging
// state, the wireless mark and, on a mouse pad, the phone on its charger.
namespace korvane::devices {

class CMpDevicePowerUI {
public:
    // `panel` is the control built for the page; the kind and variant are the
    // device's the panel was created for.
    CMpDevicePowerUI(ui::Control* panel, int kind, int variant);

    ui::Control* control() const { return panel_.get(); }
    int kind() const { return kind_; }
    int variant() const { return variant_; }

    // Shows or hides "device_power_Layout".
    void SetBatteryPanel(bool on);
    // Shows the 6-byte power status.
    void ShowPowerStatus(const std::array<uint8_t, 6>& status);

private:
    ui::ControlRef panel_;
    int kind_;
    int variant_;
};

}  // namespace korvane::devices
