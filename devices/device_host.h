#pragma once

#include <cstdint>
#include <filesystem>

namespace korvane::hid {
class Backend;
}
namespace korvane::ui {
class Dispatcher;
}

// What a device object needs from the window that owns it.
namespace korvane::devices {

// Plain window messages a device sends to its window.
namespace message {
inline constexpr int kDeviceProfile = 3328;  // wParam = active on-board profile
inline constexpr int kDevicePower = 3329;    // wParam = power status byte 4
inline constexpr int kShowTab = 3331;        // wParam = page index, lParam = 1 show / 0 hide
}  // namespace message

struct DevicePaths {
    // The program's data folder (holds "skin", "DefaultData", "Font").
    std::filesystem::path programFolder;
    // The per-user data folder named by the window title.
    std::filesystem::path userFolder;
};

class DeviceHost {
public:
    virtual ~DeviceHost() = default;
    virtual hid::Backend& backend() = 0;
    virtual ui::Dispatcher& dispatcher() = 0;
    virtual const DevicePaths& paths() const = 0;
    // Runs the window's handler of `message` on the UI thread (the caller is on it).
    virtual void sendMessage(int message, std::int64_t wParam, std::int64_t lParam) = 0;
    virtual int screenWidth() const = 0;
    virtual int screenHeight() const = 0;
};

}  // namespace korvane::devices
