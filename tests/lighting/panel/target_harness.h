// A device under the lighting tests, with a panel on a plain control tree: the test device or
// a real device object. The handler contract tests run on every harness listed in
// targetHarnesses(); a device family adds its own harness there.
#pragma once

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "devices/usb_device.h"
#include "lighting/panel/light_control.h"
#include "platform/hid/hid_backend.h"
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
    class NoDevices : public hid::Backend {
      public:
        std::string name() const override { return "none"; }
        bool enumerate(std::vector<hid::InterfaceInfo>& out) override {
            out.clear();
            return true;
        }
        std::unique_ptr<hid::Device> open(const std::string&, const hid::OpenMode&) override {
            return nullptr;
        }
        void setTrace(std::shared_ptr<hid::WireTrace>) override {}
    };
    class Host : public devices::DeviceHost {
      public:
        hid::Backend& backend() override { return backend_; }
        ui::Dispatcher& dispatcher() override { return dispatcher_; }
        const devices::DevicePaths& paths() const override { return paths_; }
        void sendMessage(int, int64_t, int64_t) override {}
        int screenWidth() const override { return 1920; }
        int screenHeight() const override { return 1080; }

      private:
        NoDevices backend_;
        ui::ManualDispatcher dispatcher_;
        devices::DevicePaths paths_{"/nonexistent/program", "/nonexistent/user"};
    };

    Host host_;
    devices::CKorvaneUSBDevice device_;
};

struct HarnessFactory {
    std::string name;
    std::function<std::unique_ptr<TargetHarness>(LightKind)> make;
};

inline void PrintTo(const HarnessFactory& factory, std::ostream* out) { *out << factory.name; }

inline std::vector<HarnessFactory> targetHarnesses() {
    return {
        {"TestDevice", [](LightKind k) { return std::make_unique<TestDeviceHarness>(k); }},
        {"DeviceBase", [](LightKind k) { return std::make_unique<BaseDeviceHarness>(k); }},
    };
}

}  // namespace korvane::lighting::panel::test
