#pragma once

#include <cstdint>
#include <utility>

#include "devices/device_host.h"
#include "tests/support/no_devices_backend.h"
#include "ui/manual_dispatcher.h"

// A window for device objects under test: no devices on its bus, a manual dispatcher,
// messages dropped, a 1920 × 1080 screen.
namespace korvane::testing {

class QuietDeviceHost : public devices::DeviceHost {
public:
    explicit QuietDeviceHost(devices::DevicePaths paths) : paths_(std::move(paths)) {}
    hid::Backend& backend() override { return backend_; }
    ui::Dispatcher& dispatcher() override { return dispatcher_; }
    const devices::DevicePaths& paths() const override { return paths_; }
    void sendMessage(int, int64_t, int64_t) override {}
    int screenWidth() const override { return 1920; }
    int screenHeight() const override { return 1080; }

private:
    NoDevicesBackend backend_;
    ui::ManualDispatcher dispatcher_;
    devices::DevicePaths paths_;
};

}  // namespace korvane::testing
