#include "lighting/panel/game_event_light.h"

#include <climits>

#include "lighting/panel/light_control.h"

namespace korvane::lighting::panel {
namespace {

int toInt(std::int64_t value) {
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

}  // namespace

GameEventLighting::GameEventLighting(ui::Dispatcher& dispatcher, ui::Control* timerOwner,
                                     ScreenProvider screen)
    : dispatcher_(dispatcher), timerOwner_(timerOwner), screen_(std::move(screen)) {}

ScreenSize GameEventLighting::screen() const {
    return screen_ ? screen_() : ScreenSize{};
}

void GameEventLighting::OnGameEvent(LightingTarget* current, std::int64_t wParam,
                                    std::int64_t lParam) {
    if (current == nullptr) {
        return;
    }
    if (wParam >= 0 && wParam <= 2) {
        current->setSyncActive(false);
        if (CLightControlUI* panel = current->lightPanel()) {
            panel->SelectMode(toInt(lParam));
        }
        LightEffect e = currentLightEffect(*current);
        if (wParam == 0) {
            e.OldLedmode = (e.SelectItem == 0 || e.SelectItem > 20) ? 1 : e.SelectItem;
        }
        e.SelectItem = static_cast<std::uint8_t>(lParam);
        commitLightEffect(*current, e, screen());
    }
    if (ui::Control* owner = timerOwner_.get()) {
        dispatcher_.startTimer(*owner, kGameEventTimer, kGameEventReturnMs);
    }
}

bool GameEventLighting::OnTimer(int id, LightingTarget* current) {
    if (id != kGameEventTimer) {
        return false;
    }
    if (ui::Control* owner = timerOwner_.get()) {
        dispatcher_.killTimer(*owner, kGameEventTimer);
    }
    if (current == nullptr) {
        return true;
    }
    current->setSyncActive(false);
    LightEffect e = currentLightEffect(*current);
    e.SelectItem = e.OldLedmode;
    if (CLightControlUI* panel = current->lightPanel()) {
        panel->SelectMode(e.OldLedmode);
    }
    commitLightEffect(*current, e, screen());
    return true;
}

bool GameEventLighting::returnPending() const {
    const ui::Control* owner = timerOwner_.get();
    return owner != nullptr && dispatcher_.isTimerRunning(*owner, kGameEventTimer);
}

}  // namespace korvane::lighting::panel
