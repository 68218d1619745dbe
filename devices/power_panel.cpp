#include "devices/power_panel.h"

#include <cstdio>

#include "ui/control_lookup.h"

namespace korvane::devices {

CMpDevicePowerUI::CMpDevicePowerUI(ui::Control* panel, int kind, int variant)
    : panel_(panel), kind_(kind), variant_(variant) {}

void CMpDevicePowerUI::SetBatteryPanel(bool on) { ui::setVisible(panel_.get(), "device_power_Layout", on); }

void CMpDevicePowerUI::ShowPowerStatus(const std::array<uint8_t, 6>& status) {
    ui::Control* root = panel_.get();
    if (root == nullptr) {
        return;
    }
    int charge = status[0];
    ui::setValue(root, "device_Power_progress", 100 - charge);
    char text[16];
    std::snprintf(text, sizeof text, "%d%s", charge, "%");
    ui::setText(root, "device_power_value", text);
    ui::setVisible(root, "device_wuxian_logo", status[3] != 0);

    switch (status[1]) {
        case 0: ui::setBackgroundImage(root, "device_power_status", "file='power/powered.png'"); break;
        case 1: ui::setBackgroundImage(root, "device_power_status", "file='power/powering.png'"); break;
        case 2: ui::setBackgroundImage(root, "device_power_status", "file='power/power.png'"); break;
        default: break;
    }

    if (kind_ == 3) {
        const char* name = "Phone_type_no_device";
        switch (status[2]) {
            case 1: name = "Phone_type_iphone"; break;
            case 2: name = "Phone_type_samsung"; break;
            case 3: name = "Phone_type_other"; break;
            default: break;
        }
        ui::setText(root, "device_phone_type", name);
        std::string image = std::string("file='power/") + name + ".png'";
        ui::setBackgroundImage(root, "device_phone_type", image);
    }
}

}  // namespace korvane::devices
