// The lighting panel ("LightControl") of a device page: shows a device's lighting record and
// enables the parts of the panel each mode uses. It only shows; the handlers
// (light_handlers.h) read the user's choices from it and change the device.
//
// Every control is looked up by name below the panel's root the first time it is needed and
// kept. A missing control is tolerated: setters then do nothing and getters give the neutral
// value (mode −1, sliders 0, texts empty, palette 0xFF000000, preset colour 0).
//
// UI thread only.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "lighting/light_effect.h"
#include "lighting/lighting_target.h"
#include "ui/control.h"
#include "ui/language.h"

namespace korvane::lighting::panel {

// Colour components of the three edits.
enum class Component { Red = 0, Green = 1, Blue = 2 };

class CLightControlUI {
  public:
    // `root` holds the panel's controls (the "LightControlItem" of a page with the skin file
    // built into it). `language` resolves the texts the panel sets; without one the keys
    // themselves are shown. Fills the two sub-mode combos.
    explicit CLightControlUI(ui::Control* root, const ui::Language* language = nullptr);

    ui::Control* control() const { return root_.get(); }

    void SetLightKind(LightKind kind) { kind_ = kind; }
    LightKind lightKind() const { return kind_; }

    // Refills the mode combo: item i shows the text of language key names[i] (its data is the
    // key) and is visible when visible[i] is (a missing entry counts as visible). Sets the
    // maxima of the two sliders.
    void SetModeList(const std::vector<std::string>& names, const std::vector<bool>& visible,
                     int lightMax, int speedMax);

    // Shows a whole record (word 4 is not shown).
    void ShowLightEffect(std::uint32_t word1, std::uint32_t word2, std::uint32_t word3,
                         std::uint32_t word4);
    void ShowLightEffect(const LightWords& words) {
        ShowLightEffect(words.word1, words.word2, words.word3, words.word4);
    }

    // Selects item `mode` of the mode combo without a notification and applies the layout
    // for (kind, mode).
    void SelectMode(int mode);
    int GetMode() const;

    void SetLight(int value);
    int GetLight() const;
    void SetSpeed(int value);
    int GetSpeed() const;

    void SetRedText(std::string_view text) { SetColourText(Component::Red, text); }
    void SetGreenText(std::string_view text) { SetColourText(Component::Green, text); }
    void SetBlueText(std::string_view text) { SetColourText(Component::Blue, text); }
    std::string GetRedText() const { return GetColourText(Component::Red); }
    std::string GetGreenText() const { return GetColourText(Component::Green); }
    std::string GetBlueText() const { return GetColourText(Component::Blue); }
    void SetColourText(Component component, std::string_view text);
    std::string GetColourText(Component component) const;

    // The palette's selected colour; the setter also shows it on the preview.
    void SetPaletteColour(ui::Argb argb);
    ui::Argb GetPaletteColour() const;
    // Background colour of "deng_colordp_btn".
    void SetPreviewColour(ui::Argb argb);

    void SetMultiColour(int flag);
    bool GetMultiColour() const;
    // flag ≠ 0 selects the first direction option, 0 the second (no notification).
    void SetFx(int flag);

    void SelectZZCCMode(int index);
    int GetZZCCMode() const;
    void SelectCustomMode(int index);
    int GetCustomMode() const;

    // Background colour of "color_option_<n>"; 0 without that control.
    ui::Argb GetColourOption(int n) const;

    // Keeps the low byte of `flag` and applies the layout of the current mode again.
    void SetSyncAvailable(int flag);
    bool syncAvailable() const { return syncAvailable_ != 0; }

    // Applies the layout for (kind, mode) (panel_layout.h); nothing for an unknown kind.
    void ApplyLayout(int mode);

    // Shows the texts of the current language again (mode list, sub-combos, options).
    void ApplyLanguage();

  private:
    enum Slot {
        kModeCombo,
        kCustomCombo,
        kZZCCCombo,
        kLightSlider,
        kSpeedSlider,
        kEditRed,
        kEditGreen,
        kEditBlue,
        kPalette,
        kPreview,
        kMultiColour,
        kFxLeft,
        kFxRight,
        kSameMode,
        kEffectLayout,
        kColourLayout,
        kPaletteLayout,
        kLightLayout,
        kSpeedLayout,
        kFxLayout,
        kLightColourLayout,
        kCustomLayout,
        kZZCCLayout,
        kAudioLayout,
        kColourTabs,
        kSlotCount
    };

    ui::Control* get(Slot slot) const;
    std::string text(std::string_view key) const;
    void setEnabled(Slot slot, bool enabled);
    void setVisible(Slot slot, bool visible);
    void setFxTexts(std::string_view leftKey, std::string_view rightKey);
    void fillModeCombo();
    void fillSubCombo(Slot slot, const std::vector<std::string_view>& keys);

    ui::ControlRef root_;
    const ui::Language* language_;
    mutable std::array<ui::ControlRef, kSlotCount> refs_;
    LightKind kind_ = LightKind::Unknown;
    std::uint8_t syncAvailable_ = 0;
    int lastMode_ = -1;
    std::vector<std::string> modeNames_;
    std::vector<bool> modeVisible_;
};

// A device page's panel setup: the device's kind, its mode lists (LoadLightLists) and the
// kind's slider maxima.
void fillLightPanel(CLightControlUI& panel, LightingTarget& device);

}  // namespace korvane::lighting::panel
