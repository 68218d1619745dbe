#include "lighting/panel/light_handlers.h"

#include <climits>
#include <string>

#include "lighting/panel/light_panel_controls.h"
#include "ui/control_name.h"

namespace korvane::lighting::panel {
namespace {

// The device's panel when there is a device with one.
CLightControlUI* panelOf(LightingTarget* device) {
    return device != nullptr ? device->lightPanel() : nullptr;
}

std::uint8_t& componentOf(LightEffect& e, Component component) {
    switch (component) {
        case Component::Green:
            return e.Green;
        case Component::Blue:
            return e.Blue;
        case Component::Red:
            break;
    }
    return e.Red;
}

void setColour(LightEffect& e, ui::Argb argb) {
    e.Red = static_cast<std::uint8_t>(argb >> 16);
    e.Green = static_cast<std::uint8_t>(argb >> 8);
    e.Blue = static_cast<std::uint8_t>(argb);
}

void showColourTexts(CLightControlUI& panel, const LightEffect& e) {
    panel.SetRedText(std::to_string(e.Red));
    panel.SetGreenText(std::to_string(e.Green));
    panel.SetBlueText(std::to_string(e.Blue));
}

bool isKeyboard(const LightingTarget& device) {
    return device.lightKind() == LightKind::Keyboard;
}

}  // namespace

long long decimalValue(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) {
            value = static_cast<long long>(INT_MAX) + 1;
        }
    }
    if (negative) {
        return -value;
    }
    return value > INT_MAX ? INT_MAX : value;
}

LightPanelHandlers::LightPanelHandlers(LightSync& sync, ScreenProvider screen)
    : sync_(sync), screen_(std::move(screen)) {}

ScreenSize LightPanelHandlers::screen() const {
    return screen_ ? screen_() : ScreenSize{};
}

bool LightPanelHandlers::Route(const ui::Notification& n, LightingTarget* current) {
    if (n.is(ui::notify::kItemSelect)) {
        if (n.from(name::kModeCombo)) {
            OnModeSelect(current);
        } else if (n.from(name::kCustomCombo)) {
            OnCustomModeSelect(current);
        } else if (n.from(name::kZZCCCombo)) {
            OnZZCCModeSelect(current);
        } else {
            return false;
        }
        return true;
    }
    if (n.is(ui::notify::kValueChanged)) {
        if (n.from(name::kLightSlider)) {
            OnLightChange(current);
        } else if (n.from(name::kSpeedSlider)) {
            OnSpeedChange(current);
        } else {
            return false;
        }
        return true;
    }
    if (n.is(ui::notify::kKillFocus)) {
        if (n.from(name::kEditRed)) {
            OnColourEdit(current, Component::Red);
        } else if (n.from(name::kEditGreen)) {
            OnColourEdit(current, Component::Green);
        } else if (n.from(name::kEditBlue)) {
            OnColourEdit(current, Component::Blue);
        } else {
            return false;
        }
        return true;
    }
    if (n.is(ui::notify::kColorChanged)) {
        if (!n.from(name::kPalette)) {
            return false;
        }
        OnPaletteColour(current);
        return true;
    }
    if (n.is(ui::notify::kSelectChanged)) {
        if (n.from(name::kMultiColour)) {
            OnMultiColour(current);
        } else if (n.from(name::kFxLeft) || n.from(name::kFxRight)) {
            // The option a pair unselects reports too; only the selected one sets Fx.
            if (n.sender != nullptr && n.sender->selected()) {
                OnFx(current, n.from(name::kFxLeft));
            }
        } else {
            return false;
        }
        return true;
    }
    if (n.is(ui::notify::kClick)) {
        if (n.from(name::kSameMode)) {
            OnSameMode(current);
        } else if (n.from(name::kCustomBright)) {
            OnCustomLight(current, true);
        } else if (n.from(name::kCustomOff)) {
            OnCustomLight(current, false);
        } else if (auto index = ui::indexAfterPrefix(n.senderName, name::kColourOptionPrefix)) {
            OnPresetColour(current, *index);
        } else {
            return false;
        }
        return true;
    }
    return false;
}

void LightPanelHandlers::OnModeSelect(LightingTarget* current) {
    CLightControlUI* panel = panelOf(current);
    if (panel == nullptr) {
        return;
    }
    const int mode = panel->GetMode();
    if (mode < 0) {
        return;
    }
    current->setSyncActive(false);
    panel->SelectMode(mode);
    LightEffect e = currentLightEffect(*current);
    e.SelectItem = static_cast<std::uint8_t>(mode);
    commitLightEffect(*current, e, screen());
}

void LightPanelHandlers::OnCustomModeSelect(LightingTarget* current) {
    CLightControlUI* panel = panelOf(current);
    if (panel == nullptr || !isKeyboard(*current)) {
        return;
    }
    const int group = panel->GetCustomMode();
    if (group < 0) {
        return;
    }
    current->SelectCustomGroup(group);
    LightEffect e = currentLightEffect(*current);
    e.CustomGroup = static_cast<std::uint8_t>(group);
    commitLightEffect(*current, e, screen(), CommitOptions{.reload = false, .afterReload = {}});
    current->RefreshCustomGroup();
}

void LightPanelHandlers::OnZZCCModeSelect(LightingTarget* current) {
    CLightControlUI* panel = panelOf(current);
    if (panel == nullptr || !isKeyboard(*current)) {
        return;
    }
    const int subMode = panel->GetZZCCMode();
    if (subMode < 0) {
        return;
    }
    LightEffect e = currentLightEffect(*current);
    e.ZZCCLedMode = static_cast<std::uint8_t>(subMode);
    panel->SelectZZCCMode(subMode);
    commitLightEffect(*current, e, screen());
}

namespace {

// A slider change: the slider shows its value again, the field takes it, the tail follows.
void sliderChange(LightingTarget* current, ScreenSize screen, int (CLightControlUI::*get)() const,
                  void (CLightControlUI::*set)(int), std::uint8_t LightEffect::*field) {
    CLightControlUI* panel = panelOf(current);
    if (panel == nullptr) {
        return;
    }
    current->setSyncActive(false);
    const int value = (panel->*get)();
    (panel->*set)(value);
    LightEffect e = currentLightEffect(*current);
    e.*field = static_cast<std::uint8_t>(value);
    commitLightEffect(*current, e, screen);
}

}  // namespace

void LightPanelHandlers::OnLightChange(LightingTarget* current) {
    sliderChange(current, screen(), &CLightControlUI::GetLight, &CLightControlUI::SetLight,
                 &LightEffect::Light);
}

void LightPanelHandlers::OnSpeedChange(LightingTarget* current) {
    sliderChange(current, screen(), &CLightControlUI::GetSpeed, &CLightControlUI::SetSpeed,
                 &LightEffect::Speed);
}

void LightPanelHandlers::OnColourEdit(LightingTarget* current, Component component) {
    CLightControlUI* panel = panelOf(current);
    if (panel == nullptr) {
        return;
    }
    const std::string text = panel->GetColourText(component);
    long long value = decimalValue(text);
    if (value > 255) {
        value = 255;
        panel->SetColourText(component, "255");
    } else if (text.empty()) {
        value = 0;
        panel->SetColourText(component, "0");
    }
    current->setSyncActive(false);
    LightEffect e = currentLightEffect(*current);
    // A negative number keeps its low 8 bits, as the byte it is stored in.
    componentOf(e, component) = static_cast<std::uint8_t>(value);
    e.MultiColor = 0;
    const ui::Argb colour = argbColour(e);
    commitLightEffect(*current, e, screen(),
                      CommitOptions{.reload = true, .afterReload = [panel, colour] {
                                        panel->SetMultiColour(0);
                                        panel->SetPaletteColour(colour);
                                    }});
}

void LightPanelHandlers::OnPaletteColour(LightingTarget* current) {
    CLightControlUI* panel = panelOf(current);
    if (panel == nullptr) {
        return;
    }
    current->setSyncActive(false);
    const ui::Argb colour = panel->GetPaletteColour();
    LightEffect e = currentLightEffect(*current);
    setColour(e, colour);
    e.MultiColor = 0;
    commitLightEffect(*current, e, screen(),
                      CommitOptions{.reload = true, .afterReload = [panel, e, colour] {
                                        showColourTexts(*panel, e);
                                        panel->SetMultiColour(0);
                                        panel->SetPreviewColour(colour);
                                    }});
}

void LightPanelHandlers::OnPresetColour(LightingTarget* current, int n) {
    CLightControlUI* panel = panelOf(current);
    if (panel == nullptr) {
        return;
    }
    const ui::Argb colour = panel->GetColourOption(n);
    LightEffect e = currentLightEffect(*current);
    setColour(e, colour);
    e.MultiColor = 0;
    commitLightEffect(*current, e, screen(),
                      CommitOptions{.reload = true, .afterReload = [panel, e, colour] {
                                        showColourTexts(*panel, e);
                                        panel->SetMultiColour(0);
                                        panel->SetPaletteColour(colour);
                                    }});
}

void LightPanelHandlers::OnMultiColour(LightingTarget* current) {
    CLightControlUI* panel = panelOf(current);
    if (panel == nullptr) {
        return;
    }
    current->setSyncActive(false);
    const bool multi = panel->GetMultiColour();
    panel->SetMultiColour(multi ? 1 : 0);
    LightEffect e = currentLightEffect(*current);
    e.MultiColor = multi ? 1 : 0;
    commitLightEffect(*current, e, screen());
}

void LightPanelHandlers::OnFx(LightingTarget* current, bool left) {
    CLightControlUI* panel = panelOf(current);
    if (panel == nullptr) {
        return;
    }
    panel->SetFx(left ? 1 : 0);
    current->setSyncActive(false);
    LightEffect e = currentLightEffect(*current);
    e.Fx = left ? 1 : 0;
    commitLightEffect(*current, e, screen());
}

void LightPanelHandlers::OnSameMode(LightingTarget* current) {
    sync_.StartSameMode(current, screen());
}

void LightPanelHandlers::OnCustomLight(LightingTarget* current, bool bright) {
    if (current == nullptr || !isKeyboard(*current)) {
        return;
    }
    current->FillCustomGroup(bright);
}

}  // namespace korvane::lighting::panel
