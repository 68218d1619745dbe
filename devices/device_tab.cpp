#include "devices/device_tab.h"

#include "devices/device_host.h"
#include "devices/power_panel.h"
#include "devices/usb_device.h"
#include "platform/log/logger.h"
#include "ui/control_lookup.h"
#include "ui/dispatcher.h"

namespace korvane::devices {

CDeviceOptionUI::CDeviceOptionUI(ui::Control* tab, ui::Dispatcher& dispatcher)
    : tab_(tab), dispatcher_(dispatcher) {
    if (tab != nullptr) {
        tab->setTimerHandler([this](const ui::Notification& n) { onTimer(static_cast<int>(n.wParam)); });
    }
}

CDeviceOptionUI::~CDeviceOptionUI() {
    if (ui::Control* tab = tab_.get()) {
        for (int id : {timer::kStream, timer::kConnect, timer::kResync, timer::kSlot15, timer::kSlot16,
                       timer::kPower, timer::kReachability}) {
            dispatcher_.killTimer(*tab, id);
        }
        tab->setTimerHandler(nullptr);
    }
}

bool CDeviceOptionUI::tabVisible() const {
    ui::Control* tab = tab_.get();
    return tab != nullptr && tab->visible();
}

void CDeviceOptionUI::showTab(bool visible) {
    if (device_ != nullptr) {
        device_->host().sendMessage(message::kShowTab, device_->pageIndex(), visible ? 1 : 0);
    }
}

void CDeviceOptionUI::startTimer(int id, int ms) {
    if (ui::Control* tab = tab_.get()) {
        dispatcher_.startTimer(*tab, id, ms);
    }
}

void CDeviceOptionUI::killTimer(int id) {
    if (ui::Control* tab = tab_.get()) {
        dispatcher_.killTimer(*tab, id);
    }
}

bool CDeviceOptionUI::timerRunning(int id) const {
    ui::Control* tab = tab_.get();
    return tab != nullptr && dispatcher_.isTimerRunning(*tab, id);
}

void CDeviceOptionUI::onTimer(int id) {
    killTimer(id);
    if (device_ == nullptr) {
        return;
    }
    switch (id) {
        case timer::kConnect: onConnect(); break;
        case timer::kStream: onStream(); break;
        case timer::kResync: device_->OnResync(); break;
        case timer::kSlot15: device_->OnTimer1003(); break;
        case timer::kSlot16: device_->OnTimer1004(); break;
        case timer::kPower: onPower(); break;
        case timer::kReachability: onReachability(); break;
        default: break;
    }
}

void CDeviceOptionUI::onConnect() {
    CKorvaneUSBDevice& d = *device_;
    const bool open = d.channel().isOpen();
    if (d.isWireless() && open && d.IsOnline() == 0) {
        failCount_ = (failCount_ + 1) % 20;
        if (tabVisible()) {
            showTab(false);
        }
        startTimer(timer::kConnect, 3000);
        return;
    }
    if (d.isWireless()) {
        showTab(true);
    }
    d.OnConnected();
    log::debugf("connected: %s", d.familyName().c_str());
    failCount_ = 0;
    startTimer(timer::kStream, 5);
    if (d.batteryPanel() && d.channel().isOpen()) {
        startTimer(timer::kPower, 50);
    }
    if (d.isWireless() && d.channel().isOpen()) {
        startTimer(timer::kReachability, 2000);
    }
}

void CDeviceOptionUI::onStream() {
    CKorvaneUSBDevice& d = *device_;
    d.StreamLightFrame();
    if (d.channel().isOpen()) {
        startTimer(timer::kStream, d.isWireless() ? 500 : 5);
    }
}

void CDeviceOptionUI::onPower() {
    device_->ReadPowerStatus();
    if (device_->batteryPanel()) {
        startTimer(timer::kPower, 5000);
    }
}

void CDeviceOptionUI::onReachability() {
    CKorvaneUSBDevice& d = *device_;
    if (d.isWireless()) {
        const bool online = d.IsOnline() != 0;
        if (online && !tabVisible()) {
            showTab(true);
            if (d.batteryPanel()) {
                d.ReadPowerStatus();
            }
        } else if (!online && tabVisible()) {
            showTab(false);
        }
    }
    if (d.isWireless() && d.channel().isOpen()) {
        startTimer(timer::kReachability, 3000);
    }
}

}  // namespace korvane::devices
