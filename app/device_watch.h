#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <stop_token>

#include "device/hid_channel.h"
#include "device/supported_device.h"

namespace korvane::ui {
class Dispatcher;
}

// The device watch: scans the HID interfaces every 100 ms while a slot is
// unbound, binds what matches, checks that bound interfaces are still there,
// and tells the window synchronously.
namespace korvane::app {

class DeviceWatch {
public:
    struct Handlers {
        std::function<void(size_t slot)> found;  // run on the UI thread, the watch waits
        std::function<void(size_t slot)> lost;   // likewise
        std::function<void()> firstScan;         // posted once, after the first full scan
    };

    // `slots` is changed only by the watch; the handlers read it while it waits.
    DeviceWatch(hid::Backend& backend, device::SlotList& slots, ui::Dispatcher& dispatcher,
                Handlers handlers);

    // The thread body: returns when `stop` is requested (checked at least once
    // per pass; the 100 ms pause wakes at once) or when listing the interfaces
    // fails.
    void run(std::stop_token stop);

    // Passes completed so far (for tests and benchmarks).
    unsigned passes() const;

private:
    bool anyUnbound() const;
    void pause(std::stop_token& stop, std::chrono::milliseconds duration);

    hid::Backend& backend_;
    device::SlotList& slots_;
    ui::Dispatcher& dispatcher_;
    Handlers handlers_;
    mutable std::mutex mutex_;
    std::condition_variable_any wake_;
    unsigned passes_ = 0;
};

}  // namespace korvane::app
