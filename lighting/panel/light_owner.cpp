#include "lighting/panel/light_owner.h"

#include "lighting/panel/light_panel_controls.h"
#include "lighting/panel/light_panel_language.h"
#include "ui/control_lookup.h"

namespace korvane::lighting::panel {

LightOwnerSwitch::LightOwnerSwitch(LightFamilies& families, Broadcast broadcast)
    : families_(families), broadcast_(std::move(broadcast)) {}

void LightOwnerSwitch::Toggle() {
    setOwner(!owner_.load(), true);
}

void LightOwnerSwitch::OnNotice(std::int64_t wParam, std::int64_t lParam) {
    if (wParam != 1 || (lParam != 0 && lParam != 1)) {
        return;
    }
    setOwner(lParam == 1, false);
}

void LightOwnerSwitch::OnSuspend() {
    awake_.store(false);
    tellDevices();
}

void LightOwnerSwitch::OnResume() {
    awake_.store(true);
    tellDevices();
}

void LightOwnerSwitch::setOwner(bool owner, bool broadcast) {
    owner_.store(owner);
    if (broadcast && broadcast_) {
        broadcast_(1, owner ? 1 : 0);
    }
    ui::setText(status_.get(), name::kLightStatus, owner ? kLightOwnerOnText : kLightOwnerOffText);
    tellDevices();
}

void LightOwnerSwitch::tellDevices() {
    const bool value = owner_.load() && awake_.load();
    for (LightFamily family : {LightFamily::Mice, LightFamily::MousePads, LightFamily::Keyboards}) {
        for (LightingTarget* device : families_.list(family)) {
            device->setLightingOwner(value);
        }
    }
}

}  // namespace korvane::lighting::panel
