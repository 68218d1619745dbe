// The lighting-owner switch: whether this program drives the devices' lighting or leaves it
// to another program, and the system's sleep, which takes it away for a while. The window
// calls these from its click routing, its bus handlers and its power events; the devices
// (mice, mouse pads and keyboards; headsets are not told) keep the result as their
// lighting-owner flag.
//
// UI thread only.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

#include "lighting/panel/light_families.h"
#include "ui/control.h"

namespace korvane::lighting::panel {

class LightOwnerSwitch {
  public:
    // Tells other programs whether we drive the lighting (wParam 1, lParam 1 or 0).
    using Broadcast = std::function<void(int wParam, int lParam)>;

    LightOwnerSwitch(LightFamilies& families, Broadcast broadcast);

    // The control tree holding "control_light_status" (the main window's root).
    void setStatusControl(ui::Control* root) { status_ = root; }

    // 1 = this program drives the lighting (initially).
    bool lightOwner() const { return owner_.load(); }
    // false while the system is suspended.
    bool awake() const { return awake_.load(); }

    // "click" of "control_light_status": give the lighting up or take it back, tell the other
    // programs and show the new state.
    void Toggle();
    // Another program asks us to stop (wParam 1, lParam 0) or allows us again (lParam 1).
    // Other values are ignored.
    void OnNotice(std::int64_t wParam, std::int64_t lParam);
    // The system goes to sleep / has resumed.
    void OnSuspend();
    void OnResume();

  private:
    void setOwner(bool owner, bool broadcast);
    // While suspended the devices keep 0; they get the owner state on resume.
    void tellDevices();

    LightFamilies& families_;
    Broadcast broadcast_;
    ui::ControlRef status_;
    std::atomic<bool> owner_{true};
    std::atomic<bool> awake_{true};
};

}  // namespace korvane::lighting::panel
