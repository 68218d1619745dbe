// Shared pieces of the lighting panel tests: the panel's controls as a plain control tree (the
// skin file's names and kinds), and a device made for the tests that records what the panel
// and the sync engine ask of it.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "lighting/lighting_target.h"
#include "lighting/panel/light_control.h"
#include "lighting/panel/light_panel_controls.h"
#include "ui/memory_control.h"

namespace korvane::lighting::panel::test {

inline std::unique_ptr<ui::MemoryControl> makePanelTree() {
    auto root = std::make_unique<ui::MemoryControl>("LightControl", "LightControlItem");
    root->add("Button", "deng_same_mode").setVisible(false);
    auto& effect = root->add("Container", "lighteffect_layout");
    effect.add("Combo", "light_combo_modeSelect");
    effect.add("Container", "light_combo_ZZCCmodeSelectLayout")
        .add("Combo", "light_combo_ZZCCmodeSelect");
    auto& custom = effect.add("Container", "lightcustom_layout");
    custom.add("Combo", "light_combo_custommodeSelect");
    custom.add("Button", "custom_bright_color_btn");
    custom.add("Button", "custom_off_color_btn");
    effect.add("Container", "light_combo_AudiomodeSelectLayout")
        .add("Combo", "light_combo_audiomodeSelect");
    effect.add("Container", "deng_light_layout").add("Slider", "deng_light_slider");
    effect.add("Container", "deng_speed_layout").add("Slider", "deng_speed_slider");
    auto& fx = effect.add("Container", "deng_fx_layout");
    fx.add("Option", "deng_FXL_check").setAttribute("group", "fx");
    fx.add("Option", "deng_FXR_check").setAttribute("group", "fx");
    auto& tabs =
        effect.add("Container", "light_color_layout").add("TabLayout", "light_color_tablayout");
    auto& page = tabs.add("Container", "light_color_page");
    tabs.add("Container", "light_audio_page");
    page.add("Option", "deng_7color_check");
    auto& colour = page.add("Container", "deng_color_layout");
    const ui::Argb presets[] = {0xFFFF0000, 0xFFFF8000, 0xFFFFFF00, 0xFF00FF00,
                                0xFF00FFFF, 0xFF0000FF, 0xFF8000FF, 0xFFFFFFFF};
    for (int i = 0; i < kColourOptionCount; ++i) {
        colour.add("Button", "color_option_" + std::to_string(i)).setBackgroundColour(presets[i]);
    }
    colour.add("Edit", "deng_edit_R");
    colour.add("Edit", "deng_edit_G");
    colour.add("Edit", "deng_edit_B");
    colour.add("Button", "deng_colordp_btn");
    page.add("Container", "colorpallet_layout").add("ColorPalette", "deng_Color_Pallet");
    return root;
}

// A device for the tests: keeps its record, logs every call the lighting makes, and shows the
// record on its panel when the profile is "reloaded" (what the families' LoadProfile does).
class TestLightTarget : public LightingTarget {
  public:
    explicit TestLightTarget(LightKind kind, int zones = 3)
        : kind_(kind), zones_(static_cast<std::size_t>(zones), 0) {}

    LightKind lightKind() const override { return kind_; }
    LightWords GetLightEffect() const override { return record_; }
    void SetLightEffect(std::uint32_t w1, std::uint32_t w2, std::uint32_t w3,
                        std::uint32_t w4) override {
        record_ = LightWords{w1, w2, w3, w4};
        log.push_back("SetLightEffect");
    }
    void SaveProfile() override { log.push_back("SaveProfile"); }
    int LoadProfile() override {
        log.push_back("LoadProfile");
        if (onLoadProfile) {
            onLoadProfile();
        }
        if (refreshOnLoad && panel != nullptr) {
            panel->ShowLightEffect(record_);
        }
        return 1;
    }
    int WriteDeviceSettings(int profile, int first, int third, int width, int height) override {
        log.push_back("WriteDeviceSettings(" + std::to_string(profile) + "," +
                      std::to_string(first) + "," + std::to_string(third) + "," +
                      std::to_string(width) + "," + std::to_string(height) + ")");
        return 1;
    }
    int zoneCount() const override {
        std::lock_guard lock(zonesMutex_);
        return static_cast<int>(zones_.size());
    }
    void SetSyncColour(int zone, std::uint32_t packed) override {
        std::lock_guard lock(zonesMutex_);
        if (zone >= 0 && static_cast<std::size_t>(zone) < zones_.size()) {
            zones_[static_cast<std::size_t>(zone)] = packed;
            ++colourWrites_;
        }
    }
    std::vector<std::uint32_t> zones() const {
        std::lock_guard lock(zonesMutex_);
        return zones_;
    }
    int colourWrites() const {
        std::lock_guard lock(zonesMutex_);
        return colourWrites_;
    }
    bool syncActive() const override { return sync_.load(); }
    void setSyncActive(bool on) override {
        sync_.store(on);
        if (logSync) {
            log.push_back(on ? "setSyncActive(1)" : "setSyncActive(0)");
        }
    }
    bool channelOpen() const override { return open_.load(); }
    void setChannelOpen(bool open) { open_.store(open); }
    bool lightingOwner() const override { return owner_; }
    void setLightingOwner(bool owner) override {
        owner_ = owner;
        ownerCalls.push_back(owner);
    }
    void LoadLightLists() override { log.push_back("LoadLightLists"); }
    LightLists lightLists() const override { return lists; }
    CLightControlUI* lightPanel() const override { return panel; }
    void SelectCustomGroup(int group) override {
        log.push_back("SelectCustomGroup(" + std::to_string(group) + ")");
    }
    void RefreshCustomGroup() override { log.push_back("RefreshCustomGroup"); }
    void FillCustomGroup(bool on) override {
        log.push_back(on ? "FillCustomGroup(1)" : "FillCustomGroup(0)");
    }

    void setRecord(const LightEffect& e) { record_ = packLightEffect(e); }
    LightEffect record() const { return unpackLightEffect(record_); }

    std::vector<std::string> log;  // UI thread
    std::vector<bool> ownerCalls;
    std::function<void()> onLoadProfile;
    bool refreshOnLoad = false;
    bool logSync = false;
    CLightControlUI* panel = nullptr;
    LightLists lists;

  private:
    LightKind kind_;
    LightWords record_;
    mutable std::mutex zonesMutex_;
    std::vector<std::uint32_t> zones_;
    int colourWrites_ = 0;
    std::atomic<bool> sync_{false};
    std::atomic<bool> open_{true};
    bool owner_ = true;
};

// A test device with its own panel tree.
struct DeviceWithPanel {
    explicit DeviceWithPanel(LightKind kind, int zones = 3)
        : tree(makePanelTree()), panel(tree.get()), device(kind, zones) {
        panel.SetLightKind(kind);
        std::vector<std::string> names;
        for (int i = 0; i < 32; ++i) {
            names.push_back("mode_" + std::to_string(i));
        }
        panel.SetModeList(names, std::vector<bool>(names.size(), true), 5, 4);
        device.panel = &panel;
    }
    ui::MemoryControl& control(std::string_view name) {
        return *static_cast<ui::MemoryControl*>(tree->find(name));
    }

    std::unique_ptr<ui::MemoryControl> tree;
    CLightControlUI panel;
    TestLightTarget device;
};

}  // namespace korvane::lighting::panel::test
