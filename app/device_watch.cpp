#include "app/device_watch.h"

#include "device/discovery.h"
#include "platform/log/logger.h"
#include "ui/dispatcher.h"

namespace korvane::app {

DeviceWatch::DeviceWatch(hid::Backend& backend, device::SlotList& slots, ui::Dispatcher& dispatcher,
                         Handlers handlers)
    : backend_(backend), slots_(slots), dispatcher_(dispatcher), handlers_(std::move(handlers)) {}

unsigned DeviceWatch::passes() const {
    std::lock_guard lock(mutex_);
    return passes_;
}

bool DeviceWatch::anyUnbound() const {
    for (const auto& slot : slots_) {
        if (!slot.isBound()) {
            return true;
        }
    }
    return false;
}

void DeviceWatch::pause(std::stop_token& stop, std::chrono::milliseconds duration) {
    std::unique_lock lock(mutex_);
    wake_.wait_for(lock, stop, duration, [] { return false; });
}

void DeviceWatch::run(std::stop_token stop) {
    device::HidChannel enumerator(&backend_);
    bool firstScanPending = true;
    for (;;) {
        pause(stop, std::chrono::milliseconds(1));
        if (stop.stop_requested()) {
            log::debug("抓取设备线程设定退出");
            return;
        }
        if (anyUnbound()) {
            bool listed = device::scanInterfaces(backend_, enumerator, slots_, [&](size_t slot) {
                if (handlers_.found) {
                    dispatcher_.send([&, slot] { handlers_.found(slot); }, stop);
                }
            });
            if (!listed) {
                log::debug("listing the HID interfaces failed; the device watch ends");
                return;
            }
            if (firstScanPending) {
                firstScanPending = false;
                if (handlers_.firstScan) {
                    dispatcher_.post(handlers_.firstScan);
                }
            }
        }
        device::checkPresence(backend_, slots_, [&](size_t slot) {
            if (handlers_.lost) {
                dispatcher_.send([&, slot] { handlers_.lost(slot); }, stop);
            }
        });
        {
            std::lock_guard lock(mutex_);
            ++passes_;
        }
        pause(stop, std::chrono::milliseconds(100));
    }
}

}  // namespace korvane::app
