#include "devices/usb_device.h"

#include <system_error>

#include "devices/power_panel.h"
#include "lighting/light_stream.h"
#include "lighting/panel/light_list_files.h"
#include "platform/log/logger.h"
#include "ui/control_name.h"

namespace korvane::devices {

CKorvaneUSBDevice::CKorvaneUSBDevice(DeviceHost& host) : host_(host), channel_(&host.backend()) {}

CKorvaneUSBDevice::~CKorvaneUSBDevice() { channel_.closeAll(); }

void CKorvaneUSBDevice::setKeyCount(int count) {
    keyCount_ = std::max(0, count);
    keyButtons_.assign(static_cast<size_t>(keyCount_), ui::ControlRef());
}

void CKorvaneUSBDevice::setLedCount(int count) {
    ledCount_ = std::max(0, count);
    lightButtons_.assign(static_cast<size_t>(ledCount_), ui::ControlRef());
    std::lock_guard lock(lightMutex_);
    colours_.assign(static_cast<size_t>(ledCount_), lighting::LedColour{});
    ledEffects_.assign(static_cast<size_t>(ledCount_), std::array<uint8_t, 14>{});
}

void CKorvaneUSBDevice::setBatteryPanel(bool on) {
    batteryPanel_ = on;
    if (powerPanel_ != nullptr) {
        powerPanel_->SetBatteryPanel(on);
    }
}

void CKorvaneUSBDevice::setPowerPanel(CMpDevicePowerUI* panel) {
    powerPanel_ = panel;
    if (powerPanel_ != nullptr) {
        powerPanel_->SetBatteryPanel(batteryPanel_);
    }
}

void CKorvaneUSBDevice::setSupportedDevice(const device::SupportedDevice& row) {
    supported_ = row;
    supported_.present = 0;
    supported_.path.clear();
}

std::filesystem::path CKorvaneUSBDevice::defaultDataFolder() const {
    return host_.paths().programFolder / "DefaultData";
}

std::filesystem::path CKorvaneUSBDevice::defaultDataFile() const {
    return defaultDataFolder() / (familyName_ + ".Json");
}

std::filesystem::path CKorvaneUSBDevice::deviceDataFolder() const {
    std::filesystem::path folder = host_.paths().userFolder / familyName_;
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        log::debugf("cannot create %s: %s", folder.c_str(), ec.message().c_str());
    }
    return folder;
}

std::filesystem::path CKorvaneUSBDevice::profileFile() const {
    return deviceDataFolder() / (profileFileName_ + ".Json");
}

std::filesystem::path CKorvaneUSBDevice::colourOptionsFile() const {
    return deviceDataFolder() / (lightGroup_ + ".config");
}

void CKorvaneUSBDevice::setLightingOwner(bool owner) {
    lightingOwner_.store(owner);
    if (owner && kind() == device::DeviceKind::Keyboard) {
        channel_.hostLighting();
    }
}

void CKorvaneUSBDevice::clearDisplayPending() {
    if (batteryPanel_) {
        displayPending_.store(false);
    }
}

std::array<uint8_t, device::kDeviceInfoSize> CKorvaneUSBDevice::deviceInfo() const {
    std::lock_guard lock(infoMutex_);
    return deviceInfo_;
}

void CKorvaneUSBDevice::setKeyFunctionMap(std::map<int, int> map) { keyFunctionMap_ = std::move(map); }

std::vector<lighting::LedColour> CKorvaneUSBDevice::colours() const {
    std::lock_guard lock(lightMutex_);
    return colours_;
}

lighting::EffectState CKorvaneUSBDevice::effectState() const {
    std::lock_guard lock(lightMutex_);
    return effect_;
}

lighting::ReactiveArea CKorvaneUSBDevice::reactiveArea() const {
    std::lock_guard lock(lightMutex_);
    return reactive_;
}

lighting::LightKind CKorvaneUSBDevice::lightKind() const {
    // A receiver's device is the device of its family.
    switch (device::familyOf(kind())) {
        case device::DeviceFamily::Keyboard: return lighting::LightKind::Keyboard;
        case device::DeviceFamily::Mouse: return lighting::LightKind::Mouse;
        case device::DeviceFamily::MousePad: return lighting::LightKind::MousePad;
        case device::DeviceFamily::Headset: return lighting::LightKind::Headset;
        case device::DeviceFamily::None: break;
    }
    return lighting::LightKind::Unknown;
}

lighting::LightWords CKorvaneUSBDevice::GetLightEffect() const {
    std::lock_guard lock(lightMutex_);
    lighting::LightEffect e;
    e.SelectItem = effect_.effect;
    e.Light = effect_.level;
    e.Speed = effect_.speed;
    e.Fx = effect_.direction;
    e.MultiColor = effect_.multiColour;
    e.Red = effect_.colour.red;
    e.Green = effect_.colour.green;
    e.Blue = effect_.colour.blue;
    lighting::LightWords words = lighting::packLightEffect(e);
    words.word3 = effect_.word3;
    words.word4 = effect_.word4;
    return words;
}

int CKorvaneUSBDevice::zoneCount() const {
    std::lock_guard lock(lightMutex_);
    return static_cast<int>(colours_.size());
}

void CKorvaneUSBDevice::LoadLightLists() {
    lighting::LightLists lists = lightLists();
    const std::filesystem::path customIndex =
        lightGroup_.empty() ? deviceDataFolder() / lighting::panel::kCustomEffectIndexFileName
                            : colourOptionsFile();
    lighting::panel::readLightListFiles(defaultDataFolder() / lighting::panel::kDefaultLightFileName,
                                        customIndex, lightListIndex_, lists);
    std::lock_guard lock(lightListsMutex_);
    lightLists_ = std::move(lists);
}

lighting::LightLists CKorvaneUSBDevice::lightLists() const {
    std::lock_guard lock(lightListsMutex_);
    return lightLists_;
}

int CKorvaneUSBDevice::lightModeCode(int mode) const {
    std::lock_guard lock(lightListsMutex_);
    if (mode < 0 || static_cast<size_t>(mode) >= lightLists_.modeCodes.size()) {
        return -1;
    }
    return lightLists_.modeCodes[static_cast<size_t>(mode)];
}

int CKorvaneUSBDevice::lightModeForCode(int code) const {
    std::lock_guard lock(lightListsMutex_);
    const auto& codes = lightLists_.modeCodes;
    for (size_t i = 0; i < codes.size(); ++i) {
        if (codes[i] == code) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void CKorvaneUSBDevice::BindPage() {
    keyButtons_.assign(static_cast<size_t>(keyCount_), ui::ControlRef());
    lightButtons_.assign(static_cast<size_t>(ledCount_), ui::ControlRef());
    if (pageXml_.empty()) {
        keyCount_ = 0;
        ledCount_ = 0;
        keyButtons_.clear();
        lightButtons_.clear();
        return;
    }
    ui::Control* page = page_.get();
    if (page == nullptr) {
        return;
    }
    ui::Control* panel = page->findClass("SelectPanel");
    if (panel == nullptr) {
        return;
    }
    for (ui::Control* child : panel->children()) {
        if (!ui::namesEqual(child->className(), "DeviceKeyButton")) {
            continue;
        }
        ui::IndexedName split = ui::SplitIndexedName(child->name());
        if (!split.hasPrefix || split.number < 0) {
            continue;
        }
        if (ui::namesEqual(split.prefix, "key_") && split.number < keyCount_) {
            keyButtons_[static_cast<size_t>(split.number)] = child;
        } else if (ui::namesEqual(split.prefix, "light_") && split.number < ledCount_) {
            lightButtons_[static_cast<size_t>(split.number)] = child;
            paintLightButton(split.number, lighting::LedColour{255, 255, 255, 255});
        }
    }
}

ui::Control* CKorvaneUSBDevice::keyButton(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= keyButtons_.size()) {
        return nullptr;
    }
    return keyButtons_[static_cast<size_t>(index)].get();
}

ui::Control* CKorvaneUSBDevice::lightButton(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= lightButtons_.size()) {
        return nullptr;
    }
    return lightButtons_[static_cast<size_t>(index)].get();
}

void CKorvaneUSBDevice::paintLightButton(int index, const lighting::LedColour& colour) {
    ui::Control* button = lightButton(index);
    if (button == nullptr || !button->visible()) {
        return;
    }
    ui::Argb argb = (static_cast<ui::Argb>(colour.level) << 24) |
                    (static_cast<ui::Argb>(colour.red) << 16) |
                    (static_cast<ui::Argb>(colour.green) << 8) | colour.blue;
    if (button->backgroundColour() != argb) {
        button->setBackgroundColour(argb);
    }
}

uint64_t CKorvaneUSBDevice::nowMs() {
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now().time_since_epoch())
                                     .count());
}

int CKorvaneUSBDevice::FramePulseWheel() {
    std::lock_guard lock(lightMutex_);
    return static_cast<int>(lighting::framePulseWheel(effect_, colours_));
}

int CKorvaneUSBDevice::FramePulseBasic() {
    std::lock_guard lock(lightMutex_);
    return static_cast<int>(lighting::framePulseBasic(effect_, colours_));
}

int CKorvaneUSBDevice::FrameStatic() {
    std::lock_guard lock(lightMutex_);
    return static_cast<int>(lighting::frameStatic(effect_, colours_));
}

int CKorvaneUSBDevice::FrameWheel() {
    std::lock_guard lock(lightMutex_);
    return static_cast<int>(lighting::frameWheel(effect_, colours_));
}

int CKorvaneUSBDevice::FrameBlinkWheel() {
    std::lock_guard lock(lightMutex_);
    return static_cast<int>(lighting::frameBlinkWheel(effect_, colours_, nowMs()));
}

int CKorvaneUSBDevice::FrameBlinkBasic() {
    std::lock_guard lock(lightMutex_);
    return static_cast<int>(lighting::frameBlinkBasic(effect_, colours_, nowMs()));
}

int CKorvaneUSBDevice::FrameOff() {
    std::lock_guard lock(lightMutex_);
    return static_cast<int>(lighting::frameOff(colours_));
}

void CKorvaneUSBDevice::StreamLightFrame() {
    if (!lightingOwner_.load()) {
        return;
    }
    std::vector<lighting::LedColour> frame = colours();
    for (size_t i = 0; i < frame.size(); ++i) {
        paintLightButton(static_cast<int>(i), frame[i]);
    }
    if (wireless_.load()) {
        return;
    }
    auto now = std::chrono::steady_clock::now();
    if (now < streamPausedUntil_) {
        return;
    }
    lighting::LightStreamFrame bytes = lighting::buildLightStream(frame);
    if (channel_.streamLightData(bytes.data()) != device::result::kDone) {
        streamPausedUntil_ = now + std::chrono::milliseconds(200);
    }
}

void CKorvaneUSBDevice::SetSyncColour(int index, uint32_t packed) {
    if (index < 0) {
        return;
    }
    std::lock_guard lock(lightMutex_);
    lighting::setSyncColour(colours_, static_cast<size_t>(index), packed);
}

uint32_t CKorvaneUSBDevice::GetSyncColour(int index) const {
    if (index < 0) {
        return 0;
    }
    std::lock_guard lock(lightMutex_);
    return lighting::getSyncColour(colours_, static_cast<size_t>(index));
}

void CKorvaneUSBDevice::FadeLed(int index, int mode) {
    if (index < 0) {
        return;
    }
    std::lock_guard lock(lightMutex_);
    lighting::fadeLed(reactive_, static_cast<size_t>(index), mode);
}

void CKorvaneUSBDevice::LightFirstNine() {
    std::lock_guard lock(lightMutex_);
    lighting::lightFirstNine(reactive_);
}

void CKorvaneUSBDevice::RotateRing(int direction) {
    std::lock_guard lock(lightMutex_);
    lighting::rotateRing(reactive_, direction != 0);
}

void CKorvaneUSBDevice::ClearReactive() {
    std::lock_guard lock(lightMutex_);
    lighting::clearReactive(reactive_);
}

void CKorvaneUSBDevice::ShowSubPage(int type) {
    subPageType_ = type;
    if (!switchesLooked_ && page_.get() != nullptr) {
        functionSwitch_ = page_->find("device_function_switch");
        keyFunctionSwitch_ = page_->find("device_key_function_switch");
        switchesLooked_ = true;
    }
    auto select = [](ui::ControlRef& ref, int page) {
        if (ref) {
            ref->selectPage(page);
        }
    };
    const auto k = kind();
    switch (type) {
        case 2:
        case 6:
            select(functionSwitch_, 0);
            select(keyFunctionSwitch_, 1);
            break;
        case 3:
        case 8:
            select(functionSwitch_, 1);
            break;
        case 4:
            if (k == device::DeviceKind::Keyboard || k == device::DeviceKind::Mouse) {
                select(functionSwitch_, 3);
            } else {
                select(functionSwitch_, 0);
                select(keyFunctionSwitch_, 2);
            }
            break;
        case 7:
            select(functionSwitch_, 0);
            select(keyFunctionSwitch_, 2);
            break;
        case 5:
            select(functionSwitch_, 2);
            break;
        default:
            select(functionSwitch_, 0);
            select(keyFunctionSwitch_, 0);
            break;
    }
}

void CKorvaneUSBDevice::SetLightEffect(uint32_t word1, uint32_t word2, uint32_t word3, uint32_t word4) {
    std::lock_guard lock(lightMutex_);
    lighting::applyLightWords(effect_, lighting::LightWords{word1, word2, word3, word4});
}

void CKorvaneUSBDevice::SetAudioLight(uint32_t a, uint32_t b, uint32_t c) {
    std::lock_guard lock(lightMutex_);
    audioLight_ = {a, b, c};
}

std::array<uint32_t, 3> CKorvaneUSBDevice::GetAudioLight() const {
    std::lock_guard lock(lightMutex_);
    return audioLight_;
}

}  // namespace korvane::devices
