#include "devices/mouse_device.h"

#include <algorithm>
#include <string>

#include "devices/device_tab.h"
#include "devices/power_panel.h"
#include "keys/key_coding.h"
#include "keys/macro_files.h"
#include "keys/macro_image.h"
#include "keys/macro_numbers.h"
#include "lighting/light_tables.h"
#include "lighting/panel/light_control.h"
#include "platform/log/logger.h"
#include "ui/control_lookup.h"
#include "ui/control_name.h"
#include "ui/dispatcher.h"

namespace korvane::devices {

namespace {

using device::result::kDone;

constexpr int kStageCount = static_cast<int>(mouse::kStageCount);
constexpr std::string_view kThumbActive = "file='Control/SliderBar1_Thumb.png'";
constexpr std::string_view kThumbOther = "file='Control/SliderBar2_Thumb.png'";
constexpr std::uint16_t kFlashCode = mouse::kFlashNotification;
// Bytes of the power status (command 0x1A).
constexpr std::size_t kPowerStatusSize = 6;

std::string indexed(std::string_view prefix, int index) {
    return std::string(prefix) + std::to_string(index);
}

ui::Argb stageArgb(const profile::DpiStage& s) {
    return 0xFF000000u | (static_cast<ui::Argb>(s.StageColorR) << 16) |
           (static_cast<ui::Argb>(s.StageColorG) << 8) | s.StageColorB;
}

ui::Argb ledArgb(const lighting::LedColour& c) {
    return (static_cast<ui::Argb>(c.level) << 24) | (static_cast<ui::Argb>(c.red) << 16) |
           (static_cast<ui::Argb>(c.green) << 8) | c.blue;
}

// One frame of light mode `state.effect` into `colours` (the mode table of the preview).
void renderMode(lighting::EffectState& state, lighting::ReactiveArea& area,
                mouse::FadeLedsState& fade, std::span<lighting::LedColour> colours,
                uint64_t nowMs) {
    switch (state.effect) {
        case 0:
            mouse::frameWave(state, colours);
            break;
        case 1:
            lighting::frameWheel(state, colours);
            break;
        case 2:
            lighting::framePulseWheel(state, colours);
            break;
        case 3:
            lighting::frameStatic(state, colours);
            break;
        case 4:
            lighting::frameBlinkWheel(state, colours, nowMs);
            break;
        case 5:
            mouse::frameReactive(state, area, colours);
            break;
        case 6:
            mouse::frameFadeLeds(state, fade, area, colours);
            break;
        case 7:
            lighting::framePulseBasic(state, colours);
            break;
        case 8:
            lighting::frameBlinkBasic(state, colours, nowMs);
            break;
        default:
            lighting::frameOff(colours);
            break;
    }
}

}  // namespace

CKorvaneMouseDevice::CKorvaneMouseDevice(DeviceHost& host)
    : CKorvaneUSBDevice(host),
      cable_(&host.backend(), device::DeviceKind::Mouse),
      receiver_(&host.backend(), device::DeviceKind::MouseReceiver) {
    positions_.fill(mouse::kNoButton);
}

CKorvaneMouseDevice::~CKorvaneMouseDevice() {
    StopLightPreview();
    for (Secondary* s : {&cable_, &receiver_}) {
        s->thread.stop(mouse::kThreadStopBound, [s] { s->hid.close(); });
        std::lock_guard lock(s->lock);
        s->open.store(false);
        s->hid.close();
    }
    // Work still queued for the UI thread finds the object gone.
    alive_.reset();
}

void CKorvaneMouseDevice::setDeviceTab(CDeviceOptionUI* tab) {
    tab_ = tab != nullptr ? tab->control() : nullptr;
}

// ---------------------------------------------------------------------------
// Page

void CKorvaneMouseDevice::BindPage() {
    CKorvaneUSBDevice::BindPage();
    ui::Control* root = page();
    settingsLayout_ = ui::find(root, "mouse_device_seting_layout");
    mirrorLed_ = ui::find(root, "light_0_");
    logo_ = ui::find(root, "logo");
}

ui::Control* CKorvaneMouseDevice::panelItem(std::string_view name) const {
    return ui::find(page(), name);
}

ui::Control* CKorvaneMouseDevice::control(std::string_view prefix, int index) const {
    return ui::find(page(), indexed(prefix, index));
}

// ---------------------------------------------------------------------------
// Profile

void CKorvaneMouseDevice::BindProfileFiles() {
    profile_.setDefaultDataFilePath(defaultDataFile());
    profile_.setProfileFilePath(profileFile());
    profile_.setCustomEffectIndexPath(colourOptionsFile());
}

void CKorvaneMouseDevice::applyProfile() {
    profile_.ReadLightInfo();
    keyList_ = profile_.ReadKeyList();
    profile_.ReadDPIStages();
    profile_.ReadSystemStages();
    profile_.ReadCorrectInfo();
    profile_.ReadCustomEffectIndex();
    std::vector<profile::LedEffectStep> steps = profile_.ReadCustomEffectSteps();
    const lighting::LightWords words = lighting::packLightEffect(profile_.lightEffect());
    CKorvaneUSBDevice::SetLightEffect(words.word1, words.word2, words.word3, words.word4);
    std::lock_guard lock(lightMutex_);
    customSteps_ = std::move(steps);
    customStep_ = 0;
    customStepStart_ = 0;
}

int CKorvaneMouseDevice::LoadProfile() {
    applyProfile();
    RefreshPage();
    return 1;
}

int CKorvaneMouseDevice::ReloadProfile() {
    BindProfileFiles();
    profile_.LoadEntry(profile_.profileFilePath());
    applyProfile();
    return 1;
}

void CKorvaneMouseDevice::ResetProfile() {
    BindProfileFiles();
    profile_.LoadEntry(profile_.defaultDataFilePath());
    applyProfile();
    profile_.SaveProfile();
    RefreshPage();
}

void CKorvaneMouseDevice::SaveProfile() {
    profile_.SaveProfile();
}

void CKorvaneMouseDevice::SetLightEffect(uint32_t word1, uint32_t word2, uint32_t word3,
                                         uint32_t word4) {
    CKorvaneUSBDevice::SetLightEffect(word1, word2, word3, word4);
    profile_.WriteLightInfo(lighting::LightWords{word1, word2, word3, word4});
}

bool CKorvaneMouseDevice::StoreKeyAssignment(std::size_t position,
                                             const keys::KeyAssignment& assignment) {
    if (position >= keyList_.size()) {
        return false;
    }
    keyList_[position].assignment = assignment;
    profile_.WriteKeyList(keyList_);
    return true;
}

void CKorvaneMouseDevice::RenumberMacrosAfterDelete(int number) {
    bool changed = false;
    for (profile::KeyListEntry& entry : keyList_) {
        changed =
            keys::renumberAfterDelete(entry.assignment, entry.defaultAssignment, number) || changed;
    }
    if (changed) {
        profile_.WriteKeyList(keyList_);
        profile_.SaveProfile();
    }
}

void CKorvaneMouseDevice::LoadLightLists() {
    macroNames_.clear();
    for (const keys::MacroInfo& info : keys::readMacroList(deviceDataFolder())) {
        macroNames_.push_back(info.name);
    }
    CKorvaneUSBDevice::LoadLightLists();
}

// ---------------------------------------------------------------------------
// Page refresh and handlers

void CKorvaneMouseDevice::RefreshPage() {
    if (lighting::panel::CLightControlUI* panel = lightPanel()) {
        lighting::panel::fillLightPanel(*panel, *this);  // runs LoadLightLists
        panel->ShowLightEffect(GetLightEffect());
    } else {
        LoadLightLists();
    }
    showStages();
    showReportRate(profile::unpackMouseSystemStages(profile_.systemWords()).ReportRate);
    showPointerSettings();
}

mouse::SensitivityScale CKorvaneMouseDevice::sensitivityScale() const {
    const auto info = deviceInfo();
    return mouse::SensitivityScale::fromDeviceInfo(info);
}

void CKorvaneMouseDevice::ShowStage(int stage, int index) {
    const bool active = profile_.activeStage() == stage;
    if (ui::Control* slider = control("DPI_slider_", stage)) {
        slider->setValue(index);
        slider->setAttribute("thumbimage", active ? kThumbActive : kThumbOther);
    }
    ui::setText(page(), indexed("DPI_edit_", stage),
                std::to_string(sensitivityScale().shownValue(index)));
    ui::setSelected(page(), indexed("DPI_select_check_", stage), active, ui::Notify::No);
    updateEnableChecks();
}

void CKorvaneMouseDevice::updateEnableChecks() {
    int enabled = 0;
    for (int n = 0; n < kStageCount; ++n) {
        enabled += ui::selected(page(), indexed("DPI_enable_check_", n)) ? 1 : 0;
    }
    const int active = profile_.activeStage();
    for (int n = 0; n < kStageCount; ++n) {
        ui::Control* check = control("DPI_enable_check_", n);
        if (check == nullptr) {
            continue;
        }
        // The active stage and the last enabled one cannot be switched off.
        check->setEnabled(n != active && !(enabled == 1 && check->selected()));
    }
}

void CKorvaneMouseDevice::showStages() {
    const std::vector<profile::DpiStage>& stages = profile_.dpiStages();
    for (int n = 0; n < kStageCount; ++n) {
        const profile::DpiStage s = static_cast<std::size_t>(n) < stages.size()
                                        ? stages[static_cast<std::size_t>(n)]
                                        : profile::DpiStage{};
        const bool on = s.StageActive != 0;
        ui::setSelected(page(), indexed("DPI_enable_check_", n), on, ui::Notify::No);
        ui::setEnabled(page(), indexed("DPI_layout_", n), on);
        ui::setBackgroundColour(page(), indexed("DPI_color_option_", n), stageArgb(s));
    }
    for (int n = 0; n < kStageCount; ++n) {
        const std::size_t i = static_cast<std::size_t>(n);
        ShowStage(n, i < stages.size() ? stages[i].StageDPIX : 0);
    }
}

void CKorvaneMouseDevice::showReportRate(int rate) {
    if (rate < 0 || rate >= mouse::kReportRateCount) {
        rate = 0;
    }
    for (int n = 0; n < mouse::kReportRateCount; ++n) {
        ui::setSelected(page(), indexed("polling_rate_option_", n), n == rate, ui::Notify::No);
    }
}

void CKorvaneMouseDevice::showPointerSettings() {
    const profile::MouseSystemStages s = profile::unpackMouseSystemStages(profile_.systemWords());
    ui::Control* root = page();
    ui::setValue(root, "pointer_speed_slider", s.MouseSpeed);
    ui::setSelected(root, "pointer_precision_check", s.PointerPrecision != 0, ui::Notify::No);
    ui::setSelected(root, "scrolls_page_check", s.ScorllPage != 0, ui::Notify::No);
    ui::setValue(root, "scroll_speed_slider", s.WheelScorlllinse);
    ui::setValue(root, "double_click_slider", s.DoubleClickTime);
}

std::vector<profile::DpiStage> CKorvaneMouseDevice::stagesFor(int stage) const {
    std::vector<profile::DpiStage> stages = profile_.dpiStages();
    if (stages.size() < static_cast<std::size_t>(stage) + 1) {
        stages.resize(static_cast<std::size_t>(stage) + 1);
    }
    return stages;
}

void CKorvaneMouseDevice::storeStages(const std::vector<profile::DpiStage>& stages) {
    profile_.WriteDPIStages(stages);
    profile_.SaveProfile();
    WriteDeviceSettings(0, 0, 1, host_.screenWidth(), host_.screenHeight());
}

bool CKorvaneMouseDevice::OnPageNotification(const ui::Notification& n) {
    namespace notify = ui::notify;
    const std::string& name = n.senderName;
    auto stageOf = [&](std::string_view prefix) -> std::optional<int> {
        std::optional<int> i = ui::indexAfterPrefix(name, prefix);
        if (i && *i >= 0 && *i < kStageCount) {
            return i;
        }
        return std::nullopt;
    };
    if (n.is(notify::kMoveValueChanged)) {
        if (auto i = stageOf("brenta_DPI_slider_")) {
            OnBrentaSliderMoved(*i);
            return true;
        }
        if (auto i = stageOf("DPI_slider_")) {
            OnStageSliderMoved(*i);
            return true;
        }
    } else if (n.is(notify::kValueChanged)) {
        if (auto i = stageOf("DPI_slider_")) {
            OnStageSliderReleased(*i);
            return true;
        }
        return OnPointerSetting(name);
    } else if (n.is(notify::kKillFocus)) {
        if (auto i = stageOf("brenta_DPI_edit_")) {
            OnBrentaEditKillFocus(*i);
            return true;
        }
        if (auto i = stageOf("DPI_edit_")) {
            OnStageEditKillFocus(*i);
            return true;
        }
    } else if (n.is(notify::kSelectChanged)) {
        if (auto i = stageOf("DPI_enable_check_")) {
            OnStageEnableChanged(*i);
            return true;
        }
        if (auto i = stageOf("DPI_select_check_")) {
            OnStageSelected(*i);
            return true;
        }
        if (auto i = ui::indexAfterPrefix(name, "polling_rate_option_")) {
            OnReportRateSelected(*i);
            return true;
        }
        return OnPointerSetting(name);
    }
    return false;
}

void CKorvaneMouseDevice::OnStageSliderMoved(int stage) {
    if (ui::Control* slider = control("DPI_slider_", stage)) {
        ShowStage(stage, slider->value());
    }
}

void CKorvaneMouseDevice::OnStageSliderReleased(int stage) {
    ui::Control* slider = control("DPI_slider_", stage);
    if (slider == nullptr || stage < 0 || stage >= kStageCount) {
        return;
    }
    const int index = slider->value();
    ShowStage(stage, index);
    std::vector<profile::DpiStage> stages = stagesFor(stage);
    stages[static_cast<std::size_t>(stage)].StageDPIX = static_cast<uint16_t>(index);
    storeStages(stages);
}

void CKorvaneMouseDevice::OnStageEditKillFocus(int stage) {
    ui::Control* edit = control("DPI_edit_", stage);
    if (edit == nullptr || stage < 0 || stage >= kStageCount) {
        return;
    }
    const int index = sensitivityScale().indexForText(edit->text());
    ShowStage(stage, index);
    std::vector<profile::DpiStage> stages = stagesFor(stage);
    stages[static_cast<std::size_t>(stage)].StageDPIX = static_cast<uint16_t>(index);
    storeStages(stages);
}

void CKorvaneMouseDevice::OnStageEnableChanged(int stage) {
    ui::Control* check = control("DPI_enable_check_", stage);
    if (check == nullptr || stage < 0 || stage >= kStageCount) {
        return;
    }
    const bool on = check->selected();
    ui::setEnabled(page(), indexed("DPI_layout_", stage), on);
    updateEnableChecks();
    std::vector<profile::DpiStage> stages = stagesFor(stage);
    stages[static_cast<std::size_t>(stage)].StageActive = on ? 1 : 0;
    storeStages(stages);
}

void CKorvaneMouseDevice::OnStageSelected(int stage) {
    ui::Control* check = control("DPI_select_check_", stage);
    if (stage < 0 || stage >= kStageCount || (check != nullptr && !check->selected())) {
        return;  // the option the user's choice unselected
    }
    profile_.WriteDPIStageActive(stage);
    std::vector<profile::DpiStage> stages = stagesFor(stage);
    for (int n = 0; n < kStageCount; ++n) {
        const std::size_t i = static_cast<std::size_t>(n);
        const int stored = i < stages.size() ? stages[i].StageDPIX : 0;
        ui::Control* slider = control("DPI_slider_", n);
        const int position = slider != nullptr ? slider->value() : stored;
        ShowStage(n, position);
        if (i < stages.size()) {
            stages[i].StageDPIX = static_cast<uint16_t>(position);
        }
    }
    storeStages(stages);
}

void CKorvaneMouseDevice::SetStageColour(int stage, uint32_t argb) {
    if (stage < 0 || stage >= kStageCount) {
        return;
    }
    ui::setBackgroundColour(page(), indexed("DPI_color_option_", stage), argb);
    std::vector<profile::DpiStage> stages = stagesFor(stage);
    profile::DpiStage& s = stages[static_cast<std::size_t>(stage)];
    s.StageColorR = static_cast<uint8_t>(argb >> 16);
    s.StageColorG = static_cast<uint8_t>(argb >> 8);
    s.StageColorB = static_cast<uint8_t>(argb);
    storeStages(stages);
}

void CKorvaneMouseDevice::OnReportRateSelected(int option) {
    const bool inRange = option >= 0 && option < mouse::kReportRateCount;
    if (inRange) {
        ui::Control* o = control("polling_rate_option_", option);
        if (o != nullptr && !o->selected()) {
            return;  // the option the user's choice unselected
        }
    }
    const int rate = inRange ? option : 0;
    showReportRate(rate);
    profile::MouseSystemStages s = profile::unpackMouseSystemStages(profile_.systemWords());
    s.ReportRate = static_cast<uint16_t>(rate);
    profile_.WriteSystemStages(profile::packMouseSystemStages(s));
    profile_.SaveProfile();
    WriteDeviceSettings(0, 0, 1, host_.screenWidth(), host_.screenHeight());
}

bool CKorvaneMouseDevice::OnPointerSetting(std::string_view name) {
    ui::Control* c = ui::find(page(), name);
    if (c == nullptr) {
        return false;
    }
    profile::MouseSystemStages s = profile::unpackMouseSystemStages(profile_.systemWords());
    auto word = [](int v) { return static_cast<uint16_t>(std::clamp(v, 0, 0xFFFF)); };
    if (ui::namesEqual(name, "pointer_speed_slider")) {
        s.MouseSpeed = word(c->value());
    } else if (ui::namesEqual(name, "scroll_speed_slider")) {
        s.WheelScorlllinse = word(c->value());
    } else if (ui::namesEqual(name, "double_click_slider")) {
        s.DoubleClickTime = word(c->value());
    } else if (ui::namesEqual(name, "pointer_precision_check")) {
        s.PointerPrecision = c->selected() ? 1 : 0;
    } else if (ui::namesEqual(name, "scrolls_page_check")) {
        s.ScorllPage = c->selected() ? 1 : 0;
    } else {
        return false;
    }
    profile_.WriteSystemStages(profile::packMouseSystemStages(s));
    profile_.SaveProfile();
    return true;
}

void CKorvaneMouseDevice::OnBrentaSliderMoved(int stage) {
    if (ui::Control* slider = control("brenta_DPI_slider_", stage)) {
        ui::setText(page(), indexed("brenta_DPI_edit_", stage), std::to_string(slider->value()));
    }
}

void CKorvaneMouseDevice::OnBrentaEditKillFocus(int stage) {
    ui::Control* edit = control("brenta_DPI_edit_", stage);
    if (edit == nullptr) {
        return;
    }
    const int value =
        std::clamp(keys::readDecimal(edit->text()), mouse::kBrentaMinimum, mouse::kBrentaMaximum);
    edit->setText(std::to_string(value));
    ui::setValue(page(), indexed("brenta_DPI_slider_", stage), value);
}

// ---------------------------------------------------------------------------
// Device

bool CKorvaneMouseDevice::guard() {
    if (!channel_.isWireless()) {
        return true;
    }
    return channel_.isOpen() && channel_.linkQuery();
}

int CKorvaneMouseDevice::IsOnline() {
    return channel_.isOpen() && isWireless() && channel_.linkQuery() ? 1 : 0;
}

bool CKorvaneMouseDevice::readDeviceInfo() {
    std::array<uint8_t, device::kDeviceInfoSize> info{};
    if (channel_.readDeviceInfo(info) != kDone) {
        return false;
    }
    std::lock_guard lock(infoMutex_);
    deviceInfo_ = info;
    return true;
}

void CKorvaneMouseDevice::ReadDeviceLayout() {
    if (!channel_.isOpen() || !guard()) {
        return;
    }
    channel_.beginWrite();
    if (!readDeviceInfo()) {
        return;
    }
    const auto info = deviceInfo();
    const int keys = info[5];
    if (!channel_.setBlockSize(static_cast<uint16_t>(keys * 3))) {
        return;
    }
    std::array<uint8_t, mouse::kKeyTableSize> table{};
    if (channel_.readBlock(table) != kDone) {
        return;
    }
    keyTable_ = table;
    channel_.endWrite();
    positions_ = mouse::buildPositionMap(keyTable_, keys);

    const mouse::SensitivityScale scale = mouse::SensitivityScale::fromDeviceInfo(info);
    for (int n = 0; n < kStageCount; ++n) {
        ui::setRange(page(), indexed("DPI_slider_", n), 0, scale.stepCount);
        ui::setRange(page(), indexed("DPI_edit_", n), 0, scale.editMaximum());
    }
}

int CKorvaneMouseDevice::ReadOnboardSettings() {
    if (channel_.isOpen()) {
        if (!guard()) {
            return 0;
        }
        std::array<uint8_t, 1> active{};
        if (channel_.readMemory(0, active) != kDone) {
            return 0;
        }
        mouse::MouseSettingsBlock block{};
        const auto address = static_cast<uint16_t>(active[0] * mouse::kSettingsStride);
        if (channel_.readMemory(address, block) != kDone) {
            return 0;
        }
        block[mouse::block::kFirstByte] = active[0];
        settingsBlock_ = block;
        onboardProfile_ = active[0];
        blockRead_ = true;
    } else if (!blockRead_) {
        // Nothing read yet: an empty block would wipe the profile's lighting.
        return 0;
    }
    setSyncActive(false);
    settingsBlock_[mouse::block::kCleared] = 0;
    if (lightLists().modeCodes.empty()) {
        LoadLightLists();
    }
    const lighting::LightEffect light =
        mouse::lightingFromBlock(settingsBlock_, profile_.lightEffect(),
                                 [this](int code) { return lightModeForCode(code); });
    const lighting::LightWords words = lighting::packLightEffect(light);
    CKorvaneUSBDevice::SetLightEffect(words.word1, words.word2, words.word3, words.word4);
    profile_.WriteDPIStageActive(settingsBlock_[mouse::block::kActiveStage]);
    profile_.WriteLightInfo(words);
    profile_.SaveProfile();
    return onboardProfile_;
}

int CKorvaneMouseDevice::WriteDeviceSettings(int profileNumber, int firstByte, int thirdByte,
                                             int width, int height) {
    constexpr int kMaxProfile = 0xFFFF / static_cast<int>(mouse::kSettingsStride);
    if (profileNumber < 0 || profileNumber > kMaxProfile) {
        log::debugf("mouse settings: no on-board profile %d", profileNumber);
        return 0;
    }
    mouse::MouseSettingsInput in;
    in.firstByte = static_cast<uint8_t>(firstByte);
    in.light = profile_.lightEffect();
    in.modeCode = [this](int mode) { return lightModeCode(mode); };
    in.reportRate =
        static_cast<uint8_t>(profile::unpackMouseSystemStages(profile_.systemWords()).ReportRate);
    in.activeStage = static_cast<uint8_t>(profile_.activeStage());
    in.stages = profile_.dpiStages();
    in.thirdByte = static_cast<uint8_t>(thirdByte);
    in.width = static_cast<uint16_t>(width);
    in.height = static_cast<uint16_t>(height);
    in.corrections = profile_.correctInfo();
    const mouse::MouseSettingsBlock block = mouse::buildMouseSettingsBlock(in);

    if (channel_.isOpen() && !guard()) {
        return 0;
    }
    channel_.beginWrite();
    channel_.writeMemory(static_cast<uint16_t>(profileNumber * mouse::kSettingsStride),
                         std::span(block).first(mouse::kSettingsWriteSize));
    channel_.endWrite();
    return 1;
}

int CKorvaneMouseDevice::WriteKeyMatrix(int profileNumber) {
    return WriteKeyMatrix(profileNumber, keyList_);
}

int CKorvaneMouseDevice::WriteOwnKeys() {
    return WriteKeyMatrix(0, keyList_);
}

int CKorvaneMouseDevice::WriteKeyMatrix(int profileNumber,
                                        const std::vector<profile::KeyListEntry>& list) {
    if (!channel_.isOpen() || !guard()) {
        return 0;
    }
    // Only on-board profile 0 takes a key table; refused before anything is sent.
    if (profileNumber != 0) {
        return device::result::kBankRefused;
    }
    readDeviceInfo();
    const int keys = deviceInfo()[5];
    const int macros = static_cast<int>(keys::readMacroList(deviceDataFolder()).size());
    const mouse::KeyMatrixPlan plan =
        mouse::planKeyMatrix(keyTable_, keys, positions_, list, macros);
    if (!channel_.setBlockSize(static_cast<uint16_t>(keys * 3))) {
        return 0;
    }
    channel_.beginWrite();
    channel_.writeBlock(profileNumber, plan.table);
    channel_.endWrite();
    return 1;
}

std::vector<int> CKorvaneMouseDevice::CollectUsedMacros() {
    const int keys = deviceInfo()[5];
    const int macros = static_cast<int>(keys::readMacroList(deviceDataFolder()).size());
    return mouse::planKeyMatrix(keyTable_, keys, positions_, keyList_, macros).usedMacros;
}

int CKorvaneMouseDevice::UploadMacros(const std::vector<int>& macros) {
    if (channel_.isOpen()) {
        readDeviceInfo();
    }
    if (macros.empty()) {
        return 0;
    }
    const std::size_t capacity = std::size_t{deviceInfo()[6]} * 128;
    const keys::MacroImage image =
        keys::buildMacroImageFromFolder(deviceDataFolder(), macros, capacity);
    switch (image.status) {
        case keys::MacroImage::Status::Empty:
            return 0;
        case keys::MacroImage::Status::DoesNotFit:
            return image.overflow;
        case keys::MacroImage::Status::TooLarge:
            return -1;
        case keys::MacroImage::Status::Built:
            break;
    }
    if (!guard()) {
        return -1;
    }
    channel_.beginWrite();
    if (!guard()) {
        return -1;
    }
    channel_.writeMacros(image.bytes);
    if (!guard()) {
        return -1;
    }
    channel_.endWrite();
    return 0;
}

int CKorvaneMouseDevice::UploadShootData() {
    const keys::MacroImage image = keys::buildRecoilImage(deviceDataFolder());
    if (image.status != keys::MacroImage::Status::Built) {
        return -1;
    }
    if (!guard()) {
        return 0;
    }
    channel_.beginWrite();
    if (!guard()) {
        return 0;
    }
    const int result = channel_.writeShootData(image.bytes);
    if (!guard()) {
        return 0;
    }
    channel_.endWrite();
    return result;
}

void CKorvaneMouseDevice::ReadPowerStatus() {
    // The wireless online test: through the receiver the mouse must answer.
    if (!channel_.isOpen() || channel_.busy() || (isWireless() && IsOnline() == 0)) {
        return;
    }
    std::array<uint8_t, kPowerStatusSize> status{};
    if (channel_.readMemorySingle(0, status) != kDone) {
        return;
    }
    status[3] = isWireless() ? 1 : 0;
    if (CMpDevicePowerUI* panel = powerPanel()) {
        panel->ShowPowerStatus(status);
    }
    host_.sendMessage(message::kDevicePower, status[4], 0);
}

void CKorvaneMouseDevice::OnConnected() {
    ReadDeviceLayout();
    ReloadProfile();
    RefreshPage();
    StopLightPreview();
    preview_.start([this](std::stop_token stop) { previewLoop(stop); });
}

void CKorvaneMouseDevice::OnResync() {
    ReadOnboardSettings();
    RefreshPage();
}

// ---------------------------------------------------------------------------
// Lighting

int CKorvaneMouseDevice::FrameWave() {
    std::lock_guard lock(lightMutex_);
    return static_cast<int>(mouse::frameWave(effect_, colours_));
}

int CKorvaneMouseDevice::FrameReactive() {
    std::lock_guard lock(lightMutex_);
    return static_cast<int>(mouse::frameReactive(effect_, reactive_, colours_));
}

int CKorvaneMouseDevice::FrameFadeLeds() {
    std::lock_guard lock(lightMutex_);
    return static_cast<int>(mouse::frameFadeLeds(effect_, fade_, reactive_, colours_));
}

void CKorvaneMouseDevice::StreamLightFrame() {
    ui::Control* mirror = mirrorLed_.get();
    const int index = mirrorLedIndex();
    if (lightingOwner() && mirror != nullptr && mirror->visible() && index >= 0) {
        const std::vector<lighting::LedColour> frame = colours();
        if (static_cast<std::size_t>(index) < frame.size()) {
            mirror->setBackgroundColour(ledArgb(frame[static_cast<std::size_t>(index)]));
        }
    }
    CKorvaneUSBDevice::StreamLightFrame();
}

ThreadStop CKorvaneMouseDevice::StopLightPreview() {
    return preview_.stop(mouse::kThreadStopBound);
}

void CKorvaneMouseDevice::previewLoop(std::stop_token stop) {
    uint64_t last = nowMs();
    unsigned ticks = 0;
    while (sleepFor(stop, std::chrono::milliseconds(1))) {
        if (!channel_.isOpen()) {
            if (!sleepFor(stop, std::chrono::milliseconds(100))) {
                break;
            }
            continue;
        }
        if (syncActive()) {
            continue;
        }
        const uint64_t now = nowMs();
        if (now - last > 1) {
            last = now;
            ++ticks;
        }
        uint8_t speed = 0;
        {
            std::lock_guard lock(lightMutex_);
            speed = effect_.speed;
            if (effect_.effect > mouse::kLastDeviceLightMode && !customSteps_.empty()) {
                speed = customSteps_[std::min(customStep_, customSteps_.size() - 1)].LEDSpeed;
            }
        }
        if (ticks >= lighting::stepTicksForSpeed(speed)) {
            ticks = 0;
            previewStep();
        }
    }
    log::debug("MS灯光线程设定退出");
}

void CKorvaneMouseDevice::previewStep() {
    uint8_t mode = 0;
    {
        std::lock_guard lock(lightMutex_);
        mode = effect_.effect;
    }
    switch (mode) {
        case 0:
            FrameWave();
            break;
        case 1:
            FrameWheel();
            break;
        case 2:
            FramePulseWheel();
            break;
        case 3:
            FrameStatic();
            break;
        case 4:
            FrameBlinkWheel();
            break;
        case 5:
            FrameReactive();
            break;
        case 6:
            FrameFadeLeds();
            break;
        case 7:
            FramePulseBasic();
            break;
        case 8:
            FrameBlinkBasic();
            break;
        case 9:
            FrameOff();
            break;
        default:
            customEffectStep();
            break;
    }
}

void CKorvaneMouseDevice::customEffectStep() {
    std::lock_guard lock(lightMutex_);
    if (customSteps_.empty()) {
        lighting::frameOff(colours_);
        return;
    }
    const uint64_t now = nowMs();
    if (customStep_ >= customSteps_.size()) {
        customStep_ = 0;
    }
    if (customStepStart_ == 0) {
        customStepStart_ = now;
    }
    const auto duration = static_cast<uint64_t>(std::max(customSteps_[customStep_].Time, 0));
    if (now - customStepStart_ >= duration) {
        customStep_ = (customStep_ + 1) % customSteps_.size();
        customStepStart_ = now;
    }
    const profile::LedEffectStep& step = customSteps_[customStep_];
    customState_.effect = step.LEDREGMode;
    customState_.level = step.LEDBrightness;
    customState_.speed = step.LEDSpeed;
    customState_.direction = step.LEDDirection;
    customState_.multiColour = step.LEDMultiColor;
    customState_.colour = lighting::Rgb{step.red, step.green, step.blue};
    renderMode(customState_, reactive_, fade_, colours_, now);
}

// ---------------------------------------------------------------------------
// Consumer-control interfaces

CKorvaneMouseDevice::Secondary* CKorvaneMouseDevice::secondaryFor(int kind) {
    switch (static_cast<device::DeviceKind>(kind)) {
        case device::DeviceKind::Mouse:
            return &cable_;
        case device::DeviceKind::MouseReceiver:
            return &receiver_;
        default:
            return nullptr;
    }
}

const CKorvaneMouseDevice::Secondary* CKorvaneMouseDevice::secondaryFor(int kind) const {
    return const_cast<CKorvaneMouseDevice*>(this)->secondaryFor(kind);
}

bool CKorvaneMouseDevice::secondaryOpen(int kind) const {
    const Secondary* s = secondaryFor(kind);
    return s != nullptr && s->open.load();
}

void CKorvaneMouseDevice::OpenSecondary(const device::SupportedDevice& row) {
    Secondary* s = secondaryFor(static_cast<int>(row.kind));
    if (s == nullptr) {
        return;
    }
    if (s == &cable_) {
        CloseSecondary(static_cast<int>(device::DeviceKind::Mouse));
    } else if (s->open.load()) {
        return;
    }
    {
        std::lock_guard lock(s->lock);
        s->hid.close();
        if (s->hid.open(row.path, true, true, true, false)) {
            s->open.store(true);
        }
    }
    if (s->open.load()) {
        s->thread.start([this, s](std::stop_token stop) { eventLoop(*s, stop); });
    }
}

void CKorvaneMouseDevice::CloseSecondary(int kind) {
    Secondary* s = secondaryFor(kind);
    if (s == nullptr || !s->open.load()) {
        return;
    }
    // The reader waits without a time-out: closing its channel wakes it.
    s->thread.stop(mouse::kThreadStopBound, [s] { s->hid.close(); });
    std::lock_guard lock(s->lock);
    s->open.store(false);
    s->hid.close();
}

void CKorvaneMouseDevice::eventLoop(Secondary& s, std::stop_token stop) {
    std::vector<uint8_t> report;
    while (sleepFor(stop, std::chrono::milliseconds(1))) {
        if (!s.open.load()) {
            continue;
        }
        report.assign(std::max<std::size_t>(s.hid.inputReportLength(), 3), 0);
        std::size_t n = 0;
        if (!s.hid.read(report, n, device::kInfinite) || n == 0) {
            // Closed or gone: wait for the window to reopen or close it.
            if (!sleepFor(stop, std::chrono::milliseconds(100))) {
                break;
            }
            continue;
        }
        log::debug("接收到自动添加设备的同步信息要求  TEST");
        if (std::optional<uint16_t> code = s.hid.firstUsage(std::span(report).first(n))) {
            handleNotification(s, *code);
        }
    }
    log::debug("MS 设备同步线程设定退出");
}

void CKorvaneMouseDevice::handleNotification(Secondary& s, uint16_t code) {
    if (code == mouse::kResyncNotification) {
        log::debug("接收到自动添加设备的同步信息要求");
        postToUi([](CKorvaneMouseDevice& self) { self.startResync(); });
        return;
    }
    if (code == kFlashCode) {
        if (&s == &cable_) {
            std::lock_guard lock(lightMutex_);
            mouse::flashFadeLeds(effect_, fade_, reactive_, colours_.size(), random_);
        }
        return;
    }
    if (code <= mouse::kResyncNotification || !channel_.isOpen()) {
        return;
    }
    const int high = code >> 8;
    const int low = code & 0xFF;
    if (high == mouse::kProfileNotification) {
        postToUi([low](CKorvaneMouseDevice& self) {
            self.applyProfileNotification(low & 0x0F, std::nullopt);
        });
    } else if (high == mouse::kProfileStageNotification) {
        postToUi([low](CKorvaneMouseDevice& self) {
            self.applyProfileNotification(low & 0x0F, low >> 4);
        });
    }
}

void CKorvaneMouseDevice::postToUi(std::function<void(CKorvaneMouseDevice&)> task) {
    std::weak_ptr<Alive> alive = alive_;
    host_.dispatcher().post([this, alive = std::move(alive), task = std::move(task)] {
        if (alive.lock()) {
            task(*this);
        }
    });
}

void CKorvaneMouseDevice::startResync() {
    if (ui::Control* tab = tab_.get()) {
        host_.dispatcher().startTimer(*tab, timer::kResync, mouse::kResyncDelayMs);
    } else {
        OnResync();
    }
}

void CKorvaneMouseDevice::applyProfileNotification(int onboardProfile, std::optional<int> stage) {
    onboardProfile_ = onboardProfile;
    settingsBlock_[mouse::block::kFirstByte] = static_cast<uint8_t>(onboardProfile);
    if (stage) {
        profile_.WriteDPIStageActive(*stage);
        profile_.SaveProfile();
    }
    RefreshPage();
}

}  // namespace korvane::devices
