// The common tail of every lighting change: store the changed record on the device, save the
// profile, reload it (which refreshes the page) and send the settings to the device.
#pragma once

#include <functional>

#include "lighting/light_effect.h"
#include "lighting/lighting_target.h"

namespace korvane::lighting::panel {

// The primary screen's size, read by the window at start-up; the devices are given it with
// their settings.
struct ScreenSize {
    int width = 0;
    int height = 0;
};
using ScreenProvider = std::function<ScreenSize()>;

struct CommitOptions {
    // Run LoadProfile (the keyboard's custom-group change does not).
    bool reload = true;
    // Runs right after LoadProfile (or where it would run), before the settings are sent.
    std::function<void()> afterReload;
};

// SetLightEffect(effect), SaveProfile, LoadProfile, WriteDeviceSettings(0, 0, 1, w, h).
void commitLightEffect(LightingTarget& device, const LightEffect& effect, ScreenSize screen,
                       const CommitOptions& options = {});

// The device's record.
LightEffect currentLightEffect(const LightingTarget& device);

}  // namespace korvane::lighting::panel
