#include "lighting/panel/light_control.h"

#include "lighting/panel/light_panel_controls.h"
#include "lighting/panel/light_panel_language.h"
#include "lighting/panel/panel_layout.h"
#include "ui/argb_text.h"

namespace korvane::lighting::panel {
namespace {

constexpr ui::Argb kNoPaletteColour = 0xFF000000;

// Indexed by CLightControlUI's slots.
constexpr std::array<std::string_view, 25> kSlotNames = {
    name::kModeCombo,         name::kCustomCombo,  name::kZZCCCombo,    name::kLightSlider,
    name::kSpeedSlider,       name::kEditRed,      name::kEditGreen,    name::kEditBlue,
    name::kPalette,           name::kPreview,      name::kMultiColour,  name::kFxLeft,
    name::kFxRight,           name::kSameMode,     name::kEffectLayout, name::kColourLayout,
    name::kPaletteLayout,     name::kLightLayout,  name::kSpeedLayout,  name::kFxLayout,
    name::kLightColourLayout, name::kCustomLayout, name::kZZCCLayout,   name::kAudioLayout,
    name::kColourTabs,
};

template <std::size_t N>
std::vector<std::string_view> keysOf(const std::array<std::string_view, N>& keys) {
    return {keys.begin(), keys.end()};
}

}  // namespace

CLightControlUI::CLightControlUI(ui::Control* root, const ui::Language* language)
    : root_(root), language_(language) {
    static_assert(kSlotNames.size() == kSlotCount);
    fillSubCombo(kZZCCCombo, keysOf(kZZCCModeKeys));
    fillSubCombo(kCustomCombo, keysOf(kCustomGroupKeys));
}

ui::Control* CLightControlUI::get(Slot slot) const {
    ui::ControlRef& ref = refs_[static_cast<std::size_t>(slot)];
    if (!ref) {
        if (ui::Control* root = root_.get()) {
            ref = root->find(kSlotNames[static_cast<std::size_t>(slot)]);
        }
    }
    return ref.get();
}

std::string CLightControlUI::text(std::string_view key) const {
    return language_ != nullptr ? language_->text(key) : std::string(key);
}

void CLightControlUI::setEnabled(Slot slot, bool enabled) {
    if (ui::Control* c = get(slot)) {
        c->setEnabled(enabled);
    }
}

void CLightControlUI::setVisible(Slot slot, bool visible) {
    if (ui::Control* c = get(slot)) {
        c->setVisible(visible);
    }
}

// ---------------------------------------------------------------------------
// Mode list and record

void CLightControlUI::SetModeList(const std::vector<std::string>& names,
                                  const std::vector<bool>& visible, int lightMax, int speedMax) {
    modeNames_ = names;
    modeVisible_ = visible;
    if (ui::Control* combo = get(kModeCombo)) {
        combo->clearItems();
    }
    fillModeCombo();
    if (ui::Control* slider = get(kLightSlider)) {
        slider->setMaximum(lightMax);
    }
    if (ui::Control* slider = get(kSpeedSlider)) {
        slider->setMaximum(speedMax);
    }
}

void CLightControlUI::fillModeCombo() {
    ui::Control* combo = get(kModeCombo);
    if (combo == nullptr) {
        return;
    }
    const int current = combo->currentIndex();
    combo->clearItems();
    for (std::size_t i = 0; i < modeNames_.size(); ++i) {
        const int index = combo->addItem(text(modeNames_[i]), modeNames_[i]);
        combo->setItemVisible(index, i >= modeVisible_.size() || modeVisible_[i]);
    }
    if (current >= 0) {
        combo->selectItem(current, ui::Notify::No);
    }
}

void CLightControlUI::fillSubCombo(Slot slot, const std::vector<std::string_view>& keys) {
    ui::Control* combo = get(slot);
    if (combo == nullptr) {
        return;
    }
    const int current = combo->currentIndex();
    combo->clearItems();
    for (std::string_view key : keys) {
        combo->addItem(text(key), key);
    }
    if (current >= 0) {
        combo->selectItem(current, ui::Notify::No);
    }
}

void CLightControlUI::ShowLightEffect(std::uint32_t word1, std::uint32_t word2, std::uint32_t word3,
                                      std::uint32_t word4) {
    const LightEffect e = unpackLightEffect(LightWords{word1, word2, word3, word4});
    SelectMode(e.SelectItem);
    SetLight(e.Light);
    SetSpeed(e.Speed);
    SetRedText(std::to_string(e.Red));
    SetGreenText(std::to_string(e.Green));
    SetBlueText(std::to_string(e.Blue));
    SetPaletteColour(argbColour(e));
    SetMultiColour(e.MultiColor);
    SelectZZCCMode(e.ZZCCLedMode);
    SetFx(e.Fx);
    ApplyLayout(e.SelectItem);
}

void CLightControlUI::SelectMode(int mode) {
    if (ui::Control* combo = get(kModeCombo)) {
        combo->selectItem(mode, ui::Notify::No);
    }
    lastMode_ = mode;
    ApplyLayout(mode);
}

int CLightControlUI::GetMode() const {
    const ui::Control* combo = get(kModeCombo);
    return combo != nullptr ? combo->currentIndex() : -1;
}

// ---------------------------------------------------------------------------
// Single controls

void CLightControlUI::SetLight(int value) {
    if (ui::Control* slider = get(kLightSlider)) {
        slider->setValue(value);
    }
}

int CLightControlUI::GetLight() const {
    const ui::Control* slider = get(kLightSlider);
    return slider != nullptr ? slider->value() : 0;
}

void CLightControlUI::SetSpeed(int value) {
    if (ui::Control* slider = get(kSpeedSlider)) {
        slider->setValue(value);
    }
}

int CLightControlUI::GetSpeed() const {
    const ui::Control* slider = get(kSpeedSlider);
    return slider != nullptr ? slider->value() : 0;
}

void CLightControlUI::SetColourText(Component component, std::string_view value) {
    const auto slot = static_cast<Slot>(kEditRed + static_cast<int>(component));
    if (ui::Control* edit = get(slot)) {
        edit->setText(value);
    }
}

std::string CLightControlUI::GetColourText(Component component) const {
    const auto slot = static_cast<Slot>(kEditRed + static_cast<int>(component));
    const ui::Control* edit = get(slot);
    return edit != nullptr ? edit->text() : std::string();
}

void CLightControlUI::SetPaletteColour(ui::Argb argb) {
    if (ui::Control* palette = get(kPalette)) {
        palette->setAttribute(kPaletteColourAttribute, ui::formatArgb(argb));
    }
    SetPreviewColour(argb);
}

ui::Argb CLightControlUI::GetPaletteColour() const {
    const ui::Control* palette = get(kPalette);
    if (palette == nullptr) {
        return kNoPaletteColour;
    }
    return ui::parseArgb(palette->attribute(kPaletteColourAttribute)).value_or(kNoPaletteColour);
}

void CLightControlUI::SetPreviewColour(ui::Argb argb) {
    if (ui::Control* preview = get(kPreview)) {
        preview->setBackgroundColour(argb);
    }
}

void CLightControlUI::SetMultiColour(int flag) {
    if (ui::Control* check = get(kMultiColour)) {
        check->setSelected(flag != 0, ui::Notify::No);
    }
}

bool CLightControlUI::GetMultiColour() const {
    const ui::Control* check = get(kMultiColour);
    return check != nullptr && check->selected();
}

void CLightControlUI::SetFx(int flag) {
    // The option that becomes selected goes first, so an exclusive pair never has none.
    ui::Control* on = get(flag != 0 ? kFxLeft : kFxRight);
    ui::Control* off = get(flag != 0 ? kFxRight : kFxLeft);
    if (on != nullptr) {
        on->setSelected(true, ui::Notify::No);
    }
    if (off != nullptr) {
        off->setSelected(false, ui::Notify::No);
    }
}

void CLightControlUI::SelectZZCCMode(int index) {
    if (ui::Control* combo = get(kZZCCCombo)) {
        combo->selectItem(index, ui::Notify::No);
    }
}

int CLightControlUI::GetZZCCMode() const {
    const ui::Control* combo = get(kZZCCCombo);
    return combo != nullptr ? combo->currentIndex() : -1;
}

void CLightControlUI::SelectCustomMode(int index) {
    if (ui::Control* combo = get(kCustomCombo)) {
        combo->selectItem(index, ui::Notify::No);
    }
}

int CLightControlUI::GetCustomMode() const {
    const ui::Control* combo = get(kCustomCombo);
    return combo != nullptr ? combo->currentIndex() : -1;
}

ui::Argb CLightControlUI::GetColourOption(int n) const {
    ui::Control* root = root_.get();
    if (root == nullptr) {
        return 0;
    }
    const ui::Control* option =
        root->find(std::string(name::kColourOptionPrefix) + std::to_string(n));
    return option != nullptr ? option->backgroundColour() : 0;
}

// ---------------------------------------------------------------------------
// Layout

void CLightControlUI::SetSyncAvailable(int flag) {
    syncAvailable_ = static_cast<std::uint8_t>(flag);
    const int mode = GetMode();
    ApplyLayout(mode >= 0 ? mode : lastMode_);
}

void CLightControlUI::setFxTexts(std::string_view leftKey, std::string_view rightKey) {
    for (auto [slot, key] : {std::pair{kFxLeft, leftKey}, std::pair{kFxRight, rightKey}}) {
        if (ui::Control* option = get(slot)) {
            option->setAttribute("textkey", key);
            option->setText(text(key));
        }
    }
}

void CLightControlUI::ApplyLayout(int mode) {
    const ModeLayout* layout = layoutFor(kind_, mode);
    if (layout == nullptr) {
        return;
    }
    setVisible(kSameMode, false);
    setEnabled(kFxLayout, true);
    if (hasKeyboardDefaults(kind_)) {
        setVisible(kCustomLayout, false);
        setVisible(kZZCCLayout, false);
        setVisible(kAudioLayout, false);
        setVisible(kSpeedLayout, true);
        setEnabled(kLightColourLayout, true);
        setFxTexts(kFxLeftDefaultKey, kFxRightDefaultKey);
        if (ui::Control* tabs = get(kColourTabs)) {
            tabs->selectPage(0);
        }
    }
    setEnabled(kEffectLayout, true);
    const std::pair<Slot, Enable> columns[] = {
        {kMultiColour, layout->multiColour},
        {kColourLayout, layout->colour},
        {kPaletteLayout, layout->palette},
        {kLightLayout, layout->light},
        {kSpeedLayout, layout->speed},
        {kFxLayout, layout->fx},
        {kLightColourLayout, layout->lightColour},
    };
    for (const auto& [slot, state] : columns) {
        if (state != Enable::Keep) {
            setEnabled(slot, state == Enable::On);
        }
    }
    if (layout->sameMode && syncAvailable_ != 0) {
        setVisible(kSameMode, true);
    }
    if (!layout->fxLeftKey.empty()) {
        setFxTexts(layout->fxLeftKey, layout->fxRightKey);
    }
    if (layout->hideSpeed) {
        setVisible(kSpeedLayout, false);
    }
    if (layout->showZZCC) {
        setVisible(kZZCCLayout, true);
    }
    if (layout->showCustom) {
        setVisible(kCustomLayout, true);
    }
    if (layout->showAudio) {
        setVisible(kAudioLayout, true);
    }
    if (layout->colourPage != 0) {
        if (ui::Control* tabs = get(kColourTabs)) {
            tabs->selectPage(layout->colourPage);
        }
    }
}

void CLightControlUI::ApplyLanguage() {
    fillModeCombo();
    fillSubCombo(kZZCCCombo, keysOf(kZZCCModeKeys));
    fillSubCombo(kCustomCombo, keysOf(kCustomGroupKeys));
    for (Slot slot : {kFxLeft, kFxRight}) {
        if (ui::Control* option = get(slot)) {
            const std::string key = option->attribute("textkey");
            if (!key.empty()) {
                option->setText(text(key));
            }
        }
    }
}

void fillLightPanel(CLightControlUI& panel, LightingTarget& device) {
    const LightKind kind = device.lightKind();
    panel.SetLightKind(kind);
    device.LoadLightLists();
    const LightLists lists = device.lightLists();
    panel.SetModeList(lists.modeNames, lists.modeVisible, lightMaximum(kind), speedMaximum(kind));
}

}  // namespace korvane::lighting::panel
