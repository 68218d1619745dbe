#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/device_watch.h"
#include "app/key_panels.h"
#include "app/session_bus.h"
#include "app/window_shell.h"
#include "device/supported_device.h"
#include "devices/device_host.h"
#include "devices/device_tab.h"
#include "devices/power_panel.h"
#include "devices/usb_device.h"
#include "lighting/panel/game_event_light.h"
#include "lighting/panel/light_control.h"
#include "lighting/panel/light_families.h"
#include "lighting/panel/light_handlers.h"
#include "lighting/panel/light_owner.h"
#include "lighting/panel/light_sync.h"
#include "profile/device_profile_panel.h"
#include "ui/control.h"
#include "ui/ui_services.h"

namespace korvane::ui {
class RequiredControls;
}

namespace korvane::app {

// Window messages of the main window.
namespace message {
inline constexpr int kDeviceFound = 3090;
inline constexpr int kDeviceLost = 3091;
}  // namespace message

// The program's main window: the slot list and the device watch, the device
// objects with their tabs and pages, and the routing of every notification of
// the window by control name.
class CMainWnd : public devices::DeviceHost {
public:
    // Makes the device object of a family (the base object when empty).
    using DeviceFactory = std::function<std::unique_ptr<devices::CKorvaneUSBDevice>(
        device::DeviceFamily family, devices::DeviceHost& host)>;

    struct Context {
        hid::Backend& backend;
        ui::UiServices services;
        WindowShell& shell;
        SessionBus& bus;
        devices::DevicePaths paths;
        DeviceFactory makeDevice;
    };

    // `root` is the window's control tree (the skin's main window).
    CMainWnd(Context context, ui::Control* root);
    ~CMainWnd() override;
    CMainWnd(const CMainWnd&) = delete;
    CMainWnd& operator=(const CMainWnd&) = delete;

    // Every notification of the window's controls.
    void onNotify(const ui::Notification& n);

    // The window's initialisation ("windowinit"): slots, pages made in advance,
    // threads and timers. Runs once.
    void windowInit();
    // Stops the threads (each within its bound), closes the devices and hides the window.
    void shutdown();

    // Window messages.
    void onDeviceFound(size_t slot);
    void onDeviceLost(size_t slot);
    // A second start of the program, or the device watch's first scan.
    void onInstanceMessage(int64_t wParam, int64_t lParam);
    void onMessage(int message, int64_t wParam, int64_t lParam);
    // The system goes to sleep (false) or has resumed (true).
    void setAwake(bool awake);
    // Message 1054: the key hook that fills "keyset_keyboard_text_edit" (1 on, 0 off).
    bool keyHookActive() const { return keyHook_; }
    // A key pressed in the window while the hook is on (Linux key code); true when taken.
    bool onKeyPressed(int evdevCode);
    bool awake() const { return awake_.load(); }

    // The device of the first visible and selected tab, else of the last tab; nullptr without tabs.
    devices::CKorvaneUSBDevice* currentDevice() const;
    int deviceCount() const;
    bool lightOwner() const { return lightOwner_.lightOwner(); }
    int displayScale() const { return displayScale_; }

    // DeviceHost
    hid::Backend& backend() override { return context_.backend; }
    ui::Dispatcher& dispatcher() override { return context_.services.dispatcher; }
    const devices::DevicePaths& paths() const override { return context_.paths; }
    void sendMessage(int message, int64_t wParam, int64_t lParam) override;
    int screenWidth() const override { return screen_.width; }
    int screenHeight() const override { return screen_.height; }

    // The control names this window looks up in its skin.
    static void declareControls(ui::RequiredControls& required);

private:
    struct Tab {
        std::unique_ptr<devices::CDeviceOptionUI> option;
        std::unique_ptr<devices::CMpDevicePowerUI> power;
        devices::CKorvaneUSBDevice* device = nullptr;
        ui::ControlRef control;
        ui::ControlRef page;
        ui::ControlRef powerControl;
        std::unique_ptr<profile::CDeviceProfileUI> profiles;
        std::unique_ptr<lighting::panel::CLightControlUI> light;
        std::unique_ptr<KeyPanels> keyPanels;
        bool selected = false;
    };

    struct ThreadSlot {
        std::jthread thread;
        std::future<void> done;
    };

    enum FamilyList { kPads = 0, kMice, kKeyboards, kHeadsets, kFamilyCount };

    // Device pages
    bool pageExists(size_t slot) const;
    devices::CKorvaneUSBDevice* createPage(int templateIndex, const device::SupportedDevice& row);
    devices::CKorvaneUSBDevice* findDevice(device::DeviceFamily family, const device::SupportedDevice& row) const;
    devices::CKorvaneUSBDevice* deviceForSlot(size_t slot) const;
    devices::CKorvaneUSBDevice* deviceForSecondary(size_t slot) const;
    Tab* tabOf(const devices::CKorvaneUSBDevice* device);
    int tabIndexOfPage(int pageIndex) const;
    void bindCommand(size_t slot);
    void switchConnection(devices::CKorvaneUSBDevice& device);
    std::vector<devices::CKorvaneUSBDevice*> familyDevices(FamilyList list) const;

    // Tabs
    void showTab(int index, bool visible, bool select);
    int visibleTabCount() const;
    void selectNeighbour(int step);
    void onTabOption(const ui::Notification& n);
    void updateNoDevicePanel();

    // Profiles
    void expandPanels(ui::Control* page);
    void setUpProfiles(Tab& tab);
    Tab* currentTab();
    void onProfileButton(const ui::Notification& n);
    // The device takes the selected profile: load, show, write settings, keys and macros.
    void applyProfileSelection(Tab& tab);
    void showMessage(std::string_view key);
    // The mouse's own page controls, key/macro/recoil panels and key buttons.
    bool routeDevicePage(const ui::Notification& n);
    void restoreDefaults();

    void restoreAndRaise();
    void applyDisplayScale();
    lighting::panel::ScreenSize lightScreen() const { return {screen_.width, screen_.height}; }
    void onTabsChanged();
    void closeToTray();
    void startThread(size_t index, std::function<void(std::stop_token)> body);

    Context context_;
    ui::ControlRef root_;
    device::SlotList slots_;
    std::array<std::vector<std::unique_ptr<devices::CKorvaneUSBDevice>>, kFamilyCount> families_;
    std::vector<std::unique_ptr<Tab>> tabs_;
    // Lighting: the lists the sync engine reads outlive its thread (slot 8).
    lighting::panel::LightFamilies lightFamilies_;
    lighting::panel::LightSync lightSync_{lightFamilies_};
    lighting::panel::LightPanelHandlers lightHandlers_{lightSync_, [this] { return lightScreen(); }};
    lighting::panel::LightOwnerSwitch lightOwner_;
    lighting::panel::GameEventLighting gameEvents_;
    std::array<ThreadSlot, 20> threads_;
    std::unique_ptr<DeviceWatch> watch_;
    std::atomic<bool> awake_{true};
    bool windowActive_ = true;
    bool keyHook_ = false;
    bool initialised_ = false;
    bool shutDown_ = false;
    int displayScale_ = 96;
    ScreenSize screen_;
    std::string profileName_;
};

}  // namespace korvane::app
