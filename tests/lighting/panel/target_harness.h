// A device under the lighting tests, with a panel on a plain control tree: the test device or
// a real device object. The handler contract tests run on every harness listed in
// targetHarnesses(); a device family adds its own harness there.
#pragma once

#include <functional>
#include <optional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include <cstdlib>
#include <filesystem>

#include "devices/mouse_device.h"
#include "devices/usb_device.h"
#include "lighting/panel/light_control.h"
#include "platform/hid/hid_backend.h"
#include "tests/support/test_device_host.h"
#include "tests/lighting/panel/light_test_support.h"
#include "ui/manual_dispatcher.h"

namespace korvane::lighting::panel::test {

class TargetHarness {
  public:
    TargetHarness() : tree_(makePanelTree()), panel_(tree_.get()) {}
    virtual ~TargetHarness() = default;
    TargetHarness(const TargetHarness&) = delete;
    TargetHarness& operator=(const TargetHarness&) = delete;

    virtual LightingTarget& device() = 0;
    CLightControlUI& panel() { return panel_; }
    ui::MemoryControl& control(std::string_view name) {
        return *static_cast<ui::MemoryControl*>(tree_->find(name));
    }

  protected:
    // The panel as a page setup leaves it: the kind, 31 modes, the maxima.
    void setUpPanel(LightKind kind) {
        panel_.SetLightKind(kind);
        std::vector<std::string> names;
        for (int i = 0; i < 31; ++i) {
            names.push_back("mode_" + std::to_string(i));
        }
        panel_.SetModeList(names, std::vector<bool>(names.size(), true), 5, 4);
    }

  private:
    std::unique_ptr<ui::MemoryControl> tree_;
    CLightControlUI panel_;
};

class TestDeviceHarness : public TargetHarness {
  public:
    explicit TestDeviceHarness(LightKind kind) : device_(kind) {
        setUpPanel(kind);
        device_.panel = &panel();
    }
    LightingTarget& device() override { return device_; }

  private:
    TestLightTarget device_;
};

// The device base over a bus without devices; its channel counts as open.
class BaseDeviceHarness : public TargetHarness {
  public:
    explicit BaseDeviceHarness(LightKind kind) : device_(host_) {
        device::SupportedDevice row;
        row.kind = static_cast<device::DeviceKind>(kind);
        device_.setSupportedDevice(row);
        device_.setLedCount(4);
        device_.channel().setOpen(true);
        setUpPanel(kind);
        device_.setLightPanel(&panel());
    }
    LightingTarget& device() override { return device_; }

  private:
    testing::QuietDeviceHost host_{devices::DevicePaths{"/nonexistent/program", "/nonexistent/user"}};
    devices::CKorvaneUSBDevice device_;
};

// The mouse over a bus without devices, with its profile in a temporary user folder made
// from the shipped default data; its channel counts as open (its writes find no device).
class MouseHarness : public TargetHarness {
  public:
    MouseHarness()
        : host_(devices::DevicePaths{std::getenv("KORVANE_SOURCE_DIR"), makeFolder()}), mouse_(host_) {
        mouse_.setFamilyName("mouse");
        mouse_.setProfileFileName("profile1");
        mouse_.setKeyCount(11);
        mouse_.setLedCount(15);
        mouse_.setLightGroup("brenta_light");
        mouse_.setSupportedDevice(device::supportedDevices()[4]);
        mouse_.ReloadProfile();
        mouse_.channel().setOpen(true);
        setUpPanel(LightKind::Mouse);
        mouse_.setLightPanel(&panel());
    }
    ~MouseHarness() override {
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }
    LightingTarget& device() override { return mouse_; }

  private:

    std::filesystem::path makeFolder() {
        char pattern[] = "/tmp/korvane-light-mouse-XXXXXX";
        folder_ = mkdtemp(pattern);
        return folder_;
    }

    std::filesystem::path folder_;
    testing::QuietDeviceHost host_;
    devices::CKorvaneMouseDevice mouse_;
};

struct HarnessFactory {
    std::string name;
    std::function<std::unique_ptr<TargetHarness>(LightKind)> make;
    // A real family serves its own kind only; the others take any kind.
    std::optional<LightKind> onlyKind;

    bool serves(LightKind kind) const { return !onlyKind || *onlyKind == kind; }
};

inline void PrintTo(const HarnessFactory& factory, std::ostream* out) { *out << factory.name; }

inline std::vector<HarnessFactory> targetHarnesses() {
    return {
        {"TestDevice", [](LightKind k) { return std::make_unique<TestDeviceHarness>(k); }, std::nullopt},
        {"DeviceBase", [](LightKind k) { return std::make_unique<BaseDeviceHarness>(k); }, std::nullopt},
        {"Mouse", [](LightKind) { return std::make_unique<MouseHarness>(); }, LightKind::Mouse},
    };
}

}  // namespace korvane::lighting::panel::test
