#pragma once

#include "ui/control.h"

namespace korvane::ui {
class Dispatcher;
}

// The device tab ("DeviceOption"): the header of a device page in the tab row.
// Its timers drive the device object: connect, stream light frames, resync,
// power polling and the reachability poll of a wireless device.
namespace korvane::devices {

class CKorvaneUSBDevice;
class CMpDevicePowerUI;

namespace timer {
inline constexpr int kStream = 1000;
inline constexpr int kConnect = 1001;
inline constexpr int kResync = 1002;
inline constexpr int kSlot15 = 1003;
inline constexpr int kSlot16 = 1004;
inline constexpr int kPower = 1005;
inline constexpr int kReachability = 1007;
}  // namespace timer

class CDeviceOptionUI {
public:
    // `tab` is the tab control; its timers are handled here from now on.
    CDeviceOptionUI(ui::Control* tab, ui::Dispatcher& dispatcher);
    ~CDeviceOptionUI();
    CDeviceOptionUI(const CDeviceOptionUI&) = delete;
    CDeviceOptionUI& operator=(const CDeviceOptionUI&) = delete;

    ui::Control* control() const { return tab_.get(); }
    void setDevice(CKorvaneUSBDevice* device) { device_ = device; }
    CKorvaneUSBDevice* device() const { return device_; }
    void setPowerPanel(CMpDevicePowerUI* panel) { power_ = panel; }
    CMpDevicePowerUI* powerPanel() const { return power_; }

    bool tabVisible() const;
    // Shows or hides the tab through the window (which keeps the selection right).
    void showTab(bool visible);

    void startTimer(int id, int ms);
    void killTimer(int id);
    bool timerRunning(int id) const;
    void onTimer(int id);

    // Consecutive failed reachability checks at connect time (wraps at 20).
    int failCount() const { return failCount_; }

private:
    void onConnect();
    void onStream();
    void onPower();
    void onReachability();

    ui::ControlRef tab_;
    ui::Dispatcher& dispatcher_;
    CKorvaneUSBDevice* device_ = nullptr;
    CMpDevicePowerUI* power_ = nullptr;
    int failCount_ = 0;
};

}  // namespace korvane::devices
