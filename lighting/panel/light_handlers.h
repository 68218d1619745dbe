// What happens when the user changes a lighting control: the main window routes the panel's
// notifications here with its current device. Each handler reads the new value from the
// device's panel, changes one field of a copy of the device's record and runs the common tail
// (light_change.h); a handler without a device, or for a device without a panel, does nothing.
//
// Most changes end the device's synchronisation (SyncActive := 0); the sub-mode, custom-group
// and preset-colour changes leave it as it is.
//
// UI thread only.
#pragma once

#include <cstdint>

#include "lighting/lighting_target.h"
#include "lighting/panel/light_change.h"
#include "lighting/panel/light_control.h"
#include "lighting/panel/light_sync.h"
#include "ui/notification.h"

namespace korvane::lighting::panel {

class LightPanelHandlers {
  public:
    // `sync` carries out the same-mode action; `screen` gives the screen size sent with the
    // settings.
    LightPanelHandlers(LightSync& sync, ScreenProvider screen);

    // Routes one notification of the window by type and sender name to the handler below.
    // Returns true when it is one of the panel's notifications (handled, or ignored because
    // there is no device).
    bool Route(const ui::Notification& n, LightingTarget* current);

    // "itemselect" of "light_combo_modeSelect".
    void OnModeSelect(LightingTarget* current);
    // "itemselect" of "light_combo_custommodeSelect" (keyboard only).
    void OnCustomModeSelect(LightingTarget* current);
    // "itemselect" of "light_combo_ZZCCmodeSelect" (keyboard only).
    void OnZZCCModeSelect(LightingTarget* current);
    // "valuechanged" of "deng_light_slider" / "deng_speed_slider".
    void OnLightChange(LightingTarget* current);
    void OnSpeedChange(LightingTarget* current);
    // "killfocus" of "deng_edit_R" / "_G" / "_B".
    void OnColourEdit(LightingTarget* current, Component component);
    // "colorchanged" of "deng_Color_Pallet".
    void OnPaletteColour(LightingTarget* current);
    // "click" of "color_option_<n>".
    void OnPresetColour(LightingTarget* current, int n);
    // "selectchanged" of "deng_7color_check".
    void OnMultiColour(LightingTarget* current);
    // "selectchanged" of "deng_FXL_check" (left) / "deng_FXR_check", when it became selected.
    void OnFx(LightingTarget* current, bool left);
    // "click" of "deng_same_mode".
    void OnSameMode(LightingTarget* current);
    // "click" of "custom_bright_color_btn" (bright) / "custom_off_color_btn" (keyboard only).
    void OnCustomLight(LightingTarget* current, bool bright);

  private:
    ScreenSize screen() const;

    LightSync& sync_;
    ScreenProvider screen_;
};

// The value of an edit's text as the colour edits read it: leading blanks and a sign are
// accepted, reading stops at the first non-digit, no digits give 0 (strtol's rules, saturating
// at the 32-bit range).
long long decimalValue(std::string_view text);

}  // namespace korvane::lighting::panel
