// The mouse family's device object: the wired mouse (kind 2) and the same mouse through its
// 2.4 GHz receiver (kind 6) are one object, and it is the mouse's page. It reads the mouse's
// layout and on-board settings, writes the settings block, the button table, macros and recoil
// data, runs the lighting preview and reads the notifications of the consumer-control
// interfaces. See docs/mouse.md.
//
// Threads:
//  - UI thread: everything public unless said otherwise; the profile data, the key table copy,
//    the position map and the page controls belong to it.
//  - the light preview thread fills the colour array and steps the lighting state, under the
//    base's light mutex;
//  - one notification thread per open consumer-control interface (cable and receiver) reads
//    reports; it only posts work to the UI thread (through the dispatcher), except the 0x0403
//    flash, which changes the fade state under the light mutex.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <random>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "device/hid_channel.h"
#include "devices/device_thread.h"
#include "devices/mouse_frames.h"
#include "devices/mouse_key_table.h"
#include "devices/mouse_sensitivity.h"
#include "devices/mouse_settings_block.h"
#include "devices/usb_device.h"
#include "profile/mouse_profile_data.h"

namespace korvane::devices {

class CDeviceOptionUI;

namespace mouse {
// Notification codes of the consumer-control interfaces.
inline constexpr std::uint16_t kResyncNotification = 0x0401;
inline constexpr std::uint8_t kProfileNotification = 0x10;       // 0x10xx: profile xx & 0x0F
inline constexpr std::uint8_t kProfileStageNotification = 0x11;  // 0x11xx: also stage xx >> 4
// Waits of the device's threads.
inline constexpr std::chrono::milliseconds kThreadStopBound{1000};
inline constexpr int kResyncDelayMs = 50;
inline constexpr int kReportRateCount = 5;
// The "brenta_" sensitivity edits take 200…6500.
inline constexpr int kBrentaMinimum = 200;
inline constexpr int kBrentaMaximum = 6500;
}  // namespace mouse

class CKorvaneMouseDevice : public CKorvaneUSBDevice {
  public:
    explicit CKorvaneMouseDevice(DeviceHost& host);
    // Stops the preview and both notification threads and closes the secondary channels.
    ~CKorvaneMouseDevice() override;

    std::string className() const override { return "KorvaneMouseDevice"; }

    // The tab whose timers drive this device; the notification 0x0401 starts its timer 1002.
    // Without one, 0x0401 runs OnResync directly on the UI thread.
    void setDeviceTab(CDeviceOptionUI* tab);

    // ---- Page ----
    // The base binding (key_ and light_ buttons of the "SelectPanel"), then the mouse's own
    // controls: "mouse_device_seting_layout", "light_0_", "logo" and the panel items.
    void BindPage() override;
    ui::Control* panelItem(std::string_view name) const;

    // ---- Profile ----
    void BindProfileFiles() override;
    // Takes the working profile entry into the object (key list, stages, system words,
    // corrections, lighting, custom-effect steps), then RefreshPage. Returns 1.
    int LoadProfile() override;
    // BindProfileFiles, loads the profile file and takes it into the object. Returns 1.
    int ReloadProfile() override;
    // The profile's default data file becomes the profile (saved), then RefreshPage.
    void ResetProfile();
    void SaveProfile() override;
    // Stores the lighting record and writes it into the working profile entry.
    void SetLightEffect(uint32_t word1, uint32_t word2, uint32_t word3, uint32_t word4) override;
    profile::CMouseProfiledata& profileData() { return profile_; }
    const profile::CMouseProfiledata& profileData() const { return profile_; }
    const std::vector<profile::KeyListEntry>& keyList() const { return keyList_; }
    // Stores `assignment` as key `position`'s current assignment and writes the key list into
    // the working profile entry (the caller saves). False for a position outside the list.
    bool StoreKeyAssignment(std::size_t position, const keys::KeyAssignment& assignment);
    // Macro `number` was deleted from the list: keys bound to it take their default, keys bound
    // to a later macro move down one; the profile is saved when anything changed.
    void RenumberMacrosAfterDelete(int number);
    // The macro names of "macro.config", as LoadLightLists read them last.
    const std::vector<std::string>& macroNames() const { return macroNames_; }

    // ---- Page refresh ----
    // Refreshes the macro names, then the base lists (default_light.json, colour options).
    void LoadLightLists() override;
    // LoadLightLists; the lighting in the panel; the five stages (enable, value, colour); the
    // report rate and the pointer controls.
    void RefreshPage() override;

    // ---- Sensitivity stages (names "DPI_…_" + N) and the other page settings ----
    // Routes a notification of the mouse page to the handlers below by type and sender name;
    // false when it is not one of theirs (the window routes it elsewhere).
    bool OnPageNotification(const ui::Notification& n);
    mouse::SensitivityScale sensitivityScale() const;
    // Slider N at index i, edit N with the value i shows; the active stage's look.
    void ShowStage(int stage, int index);
    // "movevaluechanged" of "DPI_slider_" N: shows the value, stores nothing.
    void OnStageSliderMoved(int stage);
    // "valuechanged" of "DPI_slider_" N.
    void OnStageSliderReleased(int stage);
    // "killfocus" of "DPI_edit_" N.
    void OnStageEditKillFocus(int stage);
    // "selectchanged" of "DPI_enable_check_" N.
    void OnStageEnableChanged(int stage);
    // "selectchanged" of "DPI_select_check_" N (acts only when it is selected).
    void OnStageSelected(int stage);
    // The palette dialog chose `argb` for stage N ("DPI_color_option_" N).
    void SetStageColour(int stage, uint32_t argb);
    // "selectchanged" of "polling_rate_option_" N (acts only when it is selected).
    void OnReportRateSelected(int option);
    // "valuechanged" of "pointer_speed_slider", "scroll_speed_slider", "double_click_slider"
    // and "selectchanged" of "pointer_precision_check", "scrolls_page_check": stored in the
    // profile's system words and saved; nothing is sent. False for another name.
    bool OnPointerSetting(std::string_view name);
    // "movevaluechanged" of "brenta_DPI_slider_" N and "killfocus" of "brenta_DPI_edit_" N.
    void OnBrentaSliderMoved(int stage);
    void OnBrentaEditKillFocus(int stage);

    // ---- Device ----
    // 1 when the channel is open, the mouse is wireless and the link query answers.
    int IsOnline() override;
    // Reads the device information and the key table, rebuilds the position map and sets the
    // sliders' ranges. Stops at the first failed step, keeping the old copies.
    void ReadDeviceLayout();
    // Active on-board profile and its block: the lighting and the active stage go into the
    // profile (saved). The active profile, or 0 when nothing could be read.
    int ReadOnboardSettings();
    // 1, or 0 when the wireless guard stopped it.
    int WriteDeviceSettings(int profile, int firstByte, int thirdByte, int width,
                            int height) override;
    int WriteKeyMatrix(int profile) override;
    // 1; 0 when the channel is closed or the guard fails; -201 for a profile other than 0.
    int WriteKeyMatrix(int profile, const std::vector<profile::KeyListEntry>& keyList);
    int WriteOwnKeys() override;
    std::vector<int> CollectUsedMacros() override;
    // 0 when sent or nothing to send; -1 when the guard or the image stopped it; above 0 the
    // 4-byte units missing plus one when the image does not fit the macro memory.
    int UploadMacros(const std::vector<int>& macros) override;
    // The four gun files as one 0x17 image: the result of the write, 0 when the guard stopped
    // it, -1 when no image could be built.
    int UploadShootData();
    void ReadPowerStatus() override;

    // ---- Tab timers ----
    // ReadDeviceLayout, ReloadProfile, RefreshPage, start the preview thread.
    void OnConnected() override;
    // ReadOnboardSettings, RefreshPage.
    void OnResync() override;

    // ---- Lighting ----
    int FrameWave();
    int FrameReactive();
    int FrameFadeLeds();
    // Paints the light buttons and the mirrored LED control ("light_0_"), then the base.
    void StreamLightFrame() override;
    bool previewRunning() const { return preview_.running(); }
    ThreadStop StopLightPreview();

    // ---- Consumer-control interfaces ----
    // Kind 2 (cable) reopens its channel; kind 6 (receiver) opens it only when it is closed.
    void OpenSecondary(const device::SupportedDevice& row) override;
    void CloseSecondary(int kind) override;
    bool secondaryOpen(int kind) const;

    // ---- State for the page and tests ----
    int onboardProfile() const { return onboardProfile_; }
    const mouse::PositionMap& positionMap() const { return positions_; }
    const std::array<uint8_t, mouse::kKeyTableSize>& keyTable() const { return keyTable_; }
    const mouse::MouseSettingsBlock& lastSettingsBlock() const { return settingsBlock_; }

  private:
    struct Secondary {
        explicit Secondary(hid::Backend* backend, device::DeviceKind k) : hid(backend), kind(k) {}
        device::HidChannel hid;
        std::mutex lock;  // held while the channel is opened or closed
        std::atomic<bool> open{false};
        device::DeviceKind kind;
        DeviceThread thread;
    };

    // Work posted to the UI thread holds a weak handle to this; it expires with the object.
    struct Alive {};

    Secondary* secondaryFor(int kind);
    const Secondary* secondaryFor(int kind) const;
    void eventLoop(Secondary& channel, std::stop_token stop);
    void handleNotification(Secondary& channel, uint16_t code);
    void postToUi(std::function<void(CKorvaneMouseDevice&)> task);
    void startResync();
    void applyProfileNotification(int onboardProfile, std::optional<int> stage);
    void previewLoop(std::stop_token stop);
    void previewStep();
    void customEffectStep();

    // The wireless guard: in Wired mode always; in Wireless mode only when the channel is open
    // and the link query answers.
    bool guard();
    bool readDeviceInfo();
    // The profile's records into the object (no page work).
    void applyProfile();
    // Stages grown to at least stage + 1 entries.
    std::vector<profile::DpiStage> stagesFor(int stage) const;
    // "store": the stages into the profile, save, write the settings block to profile 0.
    void storeStages(const std::vector<profile::DpiStage>& stages);
    void showStages();
    void updateEnableChecks();
    void showReportRate(int rate);
    void showPointerSettings();
    ui::Control* control(std::string_view prefix, int index) const;

    profile::CMouseProfiledata profile_;
    std::vector<profile::KeyListEntry> keyList_;
    std::vector<std::string> macroNames_;
    std::array<uint8_t, mouse::kKeyTableSize> keyTable_{};
    mouse::PositionMap positions_{};
    mouse::MouseSettingsBlock settingsBlock_{};
    int onboardProfile_ = 0;
    bool blockRead_ = false;

    ui::ControlRef tab_;
    ui::ControlRef settingsLayout_;
    ui::ControlRef mirrorLed_;
    ui::ControlRef logo_;

    // Guarded by the base's light mutex.
    mouse::FadeLedsState fade_;
    std::mt19937 random_{std::random_device{}()};
    std::vector<profile::LedEffectStep> customSteps_;
    std::size_t customStep_ = 0;
    uint64_t customStepStart_ = 0;
    lighting::EffectState customState_;

    std::shared_ptr<Alive> alive_ = std::make_shared<Alive>();
    Secondary cable_;
    Secondary receiver_;
    DeviceThread preview_;
};

}  // namespace korvane::devices
