// Game-event lighting: the events "Game_Start", "Game_End", "Game_Kill" and "Game_Death" from
// other programs switch the current device to a mode for a moment; five seconds after the
// last event the device returns to the mode it had (window timer 1066).
//
// UI thread only. The window delivers the events only while the system is awake.
#pragma once

#include <cstdint>

#include "lighting/lighting_target.h"
#include "lighting/panel/light_change.h"
#include "ui/control.h"
#include "ui/dispatcher.h"

namespace korvane::lighting::panel {

inline constexpr int kGameEventTimer = 1066;
inline constexpr int kGameEventReturnMs = 5000;

class GameEventLighting {
  public:
    // `timerOwner` holds timer 1066 (the main window's root); its timer handler passes the
    // expiry to OnTimer.
    GameEventLighting(ui::Dispatcher& dispatcher, ui::Control* timerOwner, ScreenProvider screen);

    // An event with wParam 0, 1 or 2 switches `current` to mode lParam (wParam 0 first keeps
    // the mode to return to: the current one, or 1 when that is 0 or above 20); any event
    // (re)starts the 5 s return timer. Nothing without a device.
    void OnGameEvent(LightingTarget* current, std::int64_t wParam, std::int64_t lParam);

    // A timer of the owner expired: for timer 1066 stop it and return `current` to its stored
    // mode. Returns whether the timer was ours.
    bool OnTimer(int id, LightingTarget* current);

    bool returnPending() const;

  private:
    ScreenSize screen() const;

    ui::Dispatcher& dispatcher_;
    ui::ControlRef timerOwner_;
    ScreenProvider screen_;
};

}  // namespace korvane::lighting::panel
