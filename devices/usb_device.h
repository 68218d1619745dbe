#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "device/command_channel.h"
#include "device/supported_device.h"
#include "devices/device_host.h"
#include "lighting/effect_frames.h"
#include "lighting/light_effect.h"
#include "lighting/lighting_target.h"
#include "lighting/reactive.h"
#include "ui/control.h"

namespace korvane::devices {

class CMpDevicePowerUI;

// The common base of the four device classes: one object per physical device
// (a mouse and its receiver are one), at once its page. It keeps the command
// channel, the identity given by the window, the colour array that every
// lighting effect fills and that is streamed to the device, and the page's key
// and light buttons.
//
// Threads: the page and the controls belong to the UI thread. The colour array
// and the lighting state are also used by lighting threads; they are guarded by
// lightMutex().
//
// It is the lighting panel's and the sync engine's view of the device
// (lighting::LightingTarget): the base gives the record from its lighting state,
// the zones of its colour array and the mode lists read by LoadLightLists.
class CKorvaneUSBDevice : public lighting::LightingTarget {
public:
    explicit CKorvaneUSBDevice(DeviceHost& host);
    virtual ~CKorvaneUSBDevice();
    CKorvaneUSBDevice(const CKorvaneUSBDevice&) = delete;
    CKorvaneUSBDevice& operator=(const CKorvaneUSBDevice&) = delete;

    // The class text, also the element name of the page in the skin.
    virtual std::string className() const { return "KorvaneUSBDevice"; }

    // ---- Identity and setup, in the order the window gives them ----
    void setPageXml(std::string xml) { pageXml_ = std::move(xml); }
    const std::string& pageXml() const { return pageXml_; }
    void setKeyCount(int count);
    int keyCount() const { return keyCount_; }
    void setLedCount(int count);
    int ledCount() const { return ledCount_; }
    void setPageIndex(int index) { pageIndex_ = index; }
    int pageIndex() const { return pageIndex_; }
    void setBatteryPanel(bool on);
    bool batteryPanel() const { return batteryPanel_; }
    void setMirrorLedIndex(int index) { mirrorLedIndex_ = index; }
    int mirrorLedIndex() const { return mirrorLedIndex_; }
    void setProfileFileName(std::string name) { profileFileName_ = std::move(name); }
    const std::string& profileFileName() const { return profileFileName_; }
    void setFamilyName(std::string name) { familyName_ = std::move(name); }
    const std::string& familyName() const { return familyName_; }
    void setPowerPanel(CMpDevicePowerUI* panel);
    CMpDevicePowerUI* powerPanel() const { return powerPanel_; }
    void setSupportedDevice(const device::SupportedDevice& row);
    const device::SupportedDevice& supportedDevice() const { return supported_; }
    device::DeviceKind kind() const { return supported_.kind; }
    device::InterfaceRole role() const { return supported_.role; }
    void setLightGroup(std::string name) { lightGroup_ = std::move(name); }
    const std::string& lightGroup() const { return lightGroup_; }
    // The page control built from the page XML; bound by BindPage.
    void setPage(ui::Control* page) { page_ = page; }
    ui::Control* page() const { return page_.get(); }

    // ---- Folders and files ----
    std::filesystem::path defaultDataFolder() const;
    std::filesystem::path defaultDataFile() const;
    // Created when missing.
    std::filesystem::path deviceDataFolder() const;
    std::filesystem::path profileFile() const;
    std::filesystem::path colourOptionsFile() const;

    // ---- Channel and state ----
    device::CommandChannel& channel() { return channel_; }
    DeviceHost& host() { return host_; }
    bool isWireless() const { return wireless_.load(); }
    void setWireless(bool wireless) { wireless_.store(wireless); }
    bool active() const { return windowActive_.load(); }
    void setWindowActive(bool active) { windowActive_.store(active); }
    bool lightingOwner() const override { return lightingOwner_.load(); }
    // A keyboard that becomes the lighting owner is told with command 0x1C.
    void setLightingOwner(bool owner) override;
    bool displayPending() const { return displayPending_.load(); }
    void markDisplayPending() { displayPending_.store(true); }
    // Only devices with a battery panel keep the flag.
    void clearDisplayPending();
    bool syncActive() const override { return syncActive_.load(); }
    void setSyncActive(bool on) override { syncActive_.store(on); }
    bool channelOpen() const override { return channel_.isOpen(); }
    void setMainWindowValue(int value) { mainWindowValue_ = value; }
    int mainWindowValue() const { return mainWindowValue_; }
    void setLightListIndex(int index) { lightListIndex_ = index; }
    int lightListIndex() const { return lightListIndex_; }
    // The lighting panel on this device's page (owned by the window); nullptr without one.
    void setLightPanel(lighting::panel::CLightControlUI* panel) { lightPanel_ = panel; }
    lighting::panel::CLightControlUI* lightPanel() const override { return lightPanel_; }
    // The 34 bytes of the device-information command as last read.
    std::array<uint8_t, device::kDeviceInfoSize> deviceInfo() const;
    void setKeyFunctionMap(std::map<int, int> map);

    // ---- Lighting state (guarded by lightMutex) ----
    std::mutex& lightMutex() const { return lightMutex_; }
    std::vector<lighting::LedColour> colours() const;
    lighting::EffectState effectState() const;
    lighting::ReactiveArea reactiveArea() const;

    // ---- Lighting as the panel and the sync engine see it ----
    lighting::LightKind lightKind() const override;
    // The four words of the lighting state (words 3 and 4 as last stored).
    lighting::LightWords GetLightEffect() const override;
    // The zones are the entries of the colour array.
    int zoneCount() const override;
    // The lists LoadLightLists read last (empty before).
    lighting::LightLists lightLists() const override;
    // The firmware code of mode `mode` (LightModeCodeList), or -1 when the list has none.
    int lightModeCode(int mode) const;
    // The first mode whose code is `code`, or -1.
    int lightModeForCode(int code) const;

    // ---- Virtual operations ----
    virtual void BindPage();
    int LoadProfile() override { return 0; }
    virtual int FramePulseWheel();
    virtual int FramePulseBasic();
    virtual int FrameStatic();
    virtual int FrameWheel();
    virtual int FrameBlinkWheel();
    virtual int FrameBlinkBasic();
    virtual int FrameOff();
    // UI thread: paints the light buttons and sends the colour array to the device.
    virtual void StreamLightFrame();
    void SetSyncColour(int index, uint32_t packed) override;
    virtual uint32_t GetSyncColour(int index) const;
    virtual void OnConnected() {}
    virtual void OnResync() {}
    virtual void OnTimer1003() {}
    virtual void OnTimer1004() {}
    virtual void ReadPowerStatus() {}
    virtual int IsOnline() { return 1; }
    virtual int ReloadProfile() { return 0; }
    virtual void RefreshPage() {}
    virtual std::vector<int> CollectUsedMacros() { return {}; }
    virtual int WriteKeyMatrix(int /*profile*/) { return 0; }
    virtual int WriteOwnKeys() { return 0; }
    virtual int UploadMacros(const std::vector<int>& /*macros*/) { return 0; }
    int WriteDeviceSettings(int /*profile*/, int /*firstByte*/, int /*thirdByte*/,
                            int /*width*/, int /*height*/) override {
        return 0;
    }
    // Reads the mode and area lists of the device's light-list index from
    // "DefaultData/default_light.json" and the custom-effect names from the colour
    // options file ("brenta_light.config") in the device data folder; a missing or
    // damaged file leaves its lists as they were. The families that keep macro names
    // refresh them first, then call this.
    void LoadLightLists() override;
    // A consumer-control interface of the device arrived (`row` is its slot, path
    // included) or went away; the families read their notifications there.
    virtual void OpenSecondary(const device::SupportedDevice& /*row*/) {}
    virtual void CloseSecondary(int /*kind*/) {}
    virtual void FadeLed(int index, int mode);
    virtual void LightFirstNine();
    virtual void RotateRing(int direction);
    virtual void ClearReactive();
    virtual void ShowSubPage(int type);
    int subPageType() const { return subPageType_; }
    virtual void BindProfileFiles() {}
    void SaveProfile() override {}
    void SetLightEffect(uint32_t word1, uint32_t word2, uint32_t word3, uint32_t word4) override;
    virtual void SetAudioLight(uint32_t a, uint32_t b, uint32_t c);
    virtual std::array<uint32_t, 3> GetAudioLight() const;

    // Light buttons (UI thread); an entry may be empty.
    ui::Control* keyButton(int index) const;
    ui::Control* lightButton(int index) const;

protected:
    // Milliseconds on a steady clock, for the blink frames.
    static uint64_t nowMs();
    // Streams `frame` and paints the light buttons; for subclasses with their own frame layout.
    void paintLightButton(int index, const lighting::LedColour& colour);

    DeviceHost& host_;
    device::CommandChannel channel_;
    device::SupportedDevice supported_;
    std::array<uint8_t, device::kDeviceInfoSize> deviceInfo_{};
    mutable std::mutex infoMutex_;

    mutable std::mutex lightMutex_;
    std::vector<lighting::LedColour> colours_;
    std::vector<std::array<uint8_t, 14>> ledEffects_;
    lighting::EffectState effect_;
    lighting::ReactiveArea reactive_;
    std::array<uint32_t, 3> audioLight_{};
    mutable std::mutex lightListsMutex_;
    lighting::LightLists lightLists_;

private:
    std::string pageXml_;
    int keyCount_ = 0;
    int ledCount_ = 0;
    int pageIndex_ = 0;
    bool batteryPanel_ = false;
    int mirrorLedIndex_ = -1;
    std::string profileFileName_;
    std::string familyName_;
    std::string lightGroup_;
    CMpDevicePowerUI* powerPanel_ = nullptr;
    ui::ControlRef page_;
    std::vector<ui::ControlRef> keyButtons_;
    std::vector<ui::ControlRef> lightButtons_;
    ui::ControlRef functionSwitch_;
    ui::ControlRef keyFunctionSwitch_;
    bool switchesLooked_ = false;
    int subPageType_ = 0;
    int mainWindowValue_ = -1;
    int lightListIndex_ = 0;
    lighting::panel::CLightControlUI* lightPanel_ = nullptr;
    std::map<int, int> keyFunctionMap_;
    std::atomic<bool> wireless_{false};
    std::atomic<bool> windowActive_{true};
    std::atomic<bool> lightingOwner_{true};
    std::atomic<bool> displayPending_{false};
    std::atomic<bool> syncActive_{false};
    // Streaming pauses after a frame the device did not take, so a device that
    // stopped answering is not flooded.
    std::chrono::steady_clock::time_point streamPausedUntil_{};
};

}  // namespace korvane::devices
