// A simulated mouse (cable and receiver), the mouse page built from the real skin file as a
// MemoryControl tree, a host with a ManualDispatcher and temporary program and user folders.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "devices/device_host.h"
#include "devices/device_tab.h"
#include "devices/mouse_device.h"
#include "devices/power_panel.h"
#include "platform/files/json_document.h"
#include "platform/hid/sim_backend.h"
#include "sim/simulator.h"
#include "tests/files/temp_folder.h"
#include "tests/support/recording_backend.h"
#include "ui/manual_dispatcher.h"
#include "ui/memory_control.h"

namespace korvane::devices::testing {

using korvane::testing::readText;
using korvane::testing::writeText;

inline std::filesystem::path sourceRoot() {
    return KORVANE_SOURCE_ROOT;
}

// The Designer file as a control tree: widgets keep their class (a checkable push button is an
// option), sliders their range and value, options their checked state and their button group
// (also the implicit group of auto-exclusive buttons).
inline std::unique_ptr<ui::MemoryControl> pageFromSkin(const std::filesystem::path& file) {
    const std::string text = readText(file);
    static const std::regex tag(R"re(<widget\s+class="([^"]+)"\s+name="([^"]+)"\s*>|</widget>)re");
    std::unique_ptr<ui::MemoryControl> root;
    std::vector<ui::MemoryControl*> stack;
    auto property = [](const std::string& segment, const std::string& name,
                       const std::string& type) -> std::string {
        const std::regex re("name=\"" + name + "\"[^>]*>\\s*<" + type + ">([^<]*)</" + type + ">");
        std::smatch m;
        return std::regex_search(segment, m, re) ? m[1].str() : std::string();
    };
    for (auto it = std::sregex_iterator(text.begin(), text.end(), tag);
         it != std::sregex_iterator(); ++it) {
        const std::smatch& m = *it;
        if (m[1].length() == 0) {
            if (!stack.empty()) {
                stack.pop_back();
            }
            continue;
        }
        // Own properties stand between the opening tag and the next widget tag.
        const std::size_t from = static_cast<std::size_t>(m.position(0) + m.length(0));
        std::size_t to = text.find("<widget", from);
        to = std::min(to, text.find("</widget>", from));
        const std::string segment = text.substr(from, to - from);
        const std::string cls = m[1].str();
        ui::ControlKind kind = ui::kindForClassName(cls);
        if (cls == "QPushButton" && property(segment, "checkable", "bool") == "true") {
            kind = ui::ControlKind::Option;
        }
        auto control = std::make_unique<ui::MemoryControl>(cls, m[2].str(), kind);
        if (kind == ui::ControlKind::Slider) {
            const std::string lo = property(segment, "minimum", "number");
            const std::string hi = property(segment, "maximum", "number");
            control->setRange(lo.empty() ? 0 : std::stoi(lo), hi.empty() ? 99 : std::stoi(hi));
            const std::string v = property(segment, "value", "number");
            control->setValue(v.empty() ? 0 : std::stoi(v));
        }
        if (kind == ui::ControlKind::Option) {
            control->setSelected(property(segment, "checked", "bool") == "true", ui::Notify::No);
            std::smatch g;
            if (std::regex_search(
                    segment, g, std::regex(R"re(name="buttonGroup">\s*<string[^>]*>([^<]*)<)re"))) {
                control->setAttribute("group", g[1].str());
            } else if (property(segment, "autoExclusive", "bool") == "true" && !stack.empty()) {
                control->setAttribute("group", "auto:" + stack.back()->name());
            }
        }
        ui::MemoryControl* raw = control.get();
        if (stack.empty()) {
            root = std::move(control);
        } else {
            stack.back()->add(std::move(control));
        }
        stack.push_back(raw);
    }
    return root;
}

inline std::unique_ptr<ui::MemoryControl> mousePage() {
    return pageFromSkin(sourceRoot() / "skin/XML/DeviceXml/mousedevice.ui");
}

class TestHost : public DeviceHost {
  public:
    explicit TestHost(hid::Backend& backend, DevicePaths paths)
        : backend_(backend), paths_(std::move(paths)) {}
    hid::Backend& backend() override { return backend_; }
    ui::Dispatcher& dispatcher() override { return dispatcher_; }
    const DevicePaths& paths() const override { return paths_; }
    void sendMessage(int message, std::int64_t wParam, std::int64_t lParam) override {
        messages.push_back({message, wParam, lParam});
    }
    int screenWidth() const override { return 2560; }
    int screenHeight() const override { return 1440; }

    struct Sent {
        int message;
        std::int64_t wParam, lParam;
    };
    std::vector<Sent> messages;
    ui::ManualDispatcher dispatcher_;

  private:
    hid::Backend& backend_;
    DevicePaths paths_;
};

// Runs the UI thread's work until `done` holds; false after `bound`.
inline bool waitFor(ui::ManualDispatcher& dispatcher, const std::function<bool()>& done,
                    std::chrono::seconds bound = std::chrono::seconds(10)) {
    const auto until = std::chrono::steady_clock::now() + bound;
    while (std::chrono::steady_clock::now() < until) {
        dispatcher.runPending();
        if (done()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

// Everything a mouse test needs. The program folder holds copies of the shipped DefaultData.
class MouseRig {
  public:
    MouseRig() {
        std::filesystem::create_directories(program_ / "DefaultData");
        for (const auto& e : std::filesystem::directory_iterator(sourceRoot() / "DefaultData")) {
            std::filesystem::copy_file(e.path(), program_ / "DefaultData" / e.path().filename());
        }
        page = mousePage();
        powerControl = std::make_unique<ui::MemoryControl>("MpDevicePower", "device_power");
        powerControl->add("Container", "device_power_Layout");
        powerControl->add("Progress", "device_Power_progress");
        powerControl->add("Label", "device_power_value");
        powerControl->add("Label", "device_wuxian_logo");
        powerControl->add("Label", "device_power_status");
        power = std::make_unique<CMpDevicePowerUI>(powerControl.get(), 2, 0);
        tabControl = std::make_unique<ui::MemoryControl>("DeviceOption", "device_option");
        makeMouse();
    }
    ~MouseRig() {
        mouse.reset();
        tab.reset();
    }

    void makeMouse() {
        mouse.reset();
        mouse = std::make_unique<CKorvaneMouseDevice>(host);
        mouse->setPageXml("XML\\DeviceXml\\mousedevice.xml");
        mouse->setKeyCount(11);
        mouse->setLedCount(15);
        mouse->setBatteryPanel(true);
        mouse->setMirrorLedIndex(14);
        mouse->setProfileFileName("profile1");
        mouse->setFamilyName("mouse");
        mouse->setPowerPanel(power.get());
        device::SupportedDevice row = device::supportedDevices()[0];
        for (const auto& r : device::supportedDevices()) {
            if (r.kind == device::DeviceKind::Mouse && r.role == device::InterfaceRole::Command) {
                row = r;
            }
        }
        mouse->setSupportedDevice(row);
        mouse->setLightListIndex(1);
        mouse->setLightGroup("brenta_light");
        mouse->setPage(page.get());
        mouse->BindPage();
        tab = std::make_unique<CDeviceOptionUI>(tabControl.get(), host.dispatcher_);
        tab->setDevice(mouse.get());
        mouse->setDeviceTab(tab.get());
        page->setNotificationHandler(
            [this](const ui::Notification& n) { handled.push_back(mouse->OnPageNotification(n)); });
    }

    // Plugs the cable (or the receiver) in and opens the command channel as the device watch
    // does.
    void connect(bool wireless = false) {
        const std::string bus = wireless ? "mouse-receiver" : "mouse";
        ASSERT_TRUE(simulator.plug(bus));
        const std::string path = korvane::testing::findPath(recorder, bus, 0xFF1C);
        ASSERT_FALSE(path.empty());
        auto& channel = mouse->channel();
        std::lock_guard lock(channel.exchangeLock());
        device::HidChannel& hid = wireless ? channel.wireless() : channel.wired();
        ASSERT_TRUE(hid.open(path, true, true, true, false));
        channel.setOpen(true);
        channel.setConnectionMode(wireless ? device::ConnectionMode::Wireless
                                           : device::ConnectionMode::Wired);
        mouse->setWireless(wireless);
    }

    // The consumer-control interface of `bus` as the window's slot row.
    device::SupportedDevice consumerRow(const std::string& bus) {
        device::SupportedDevice row;
        row.kind = bus == "mouse" ? device::DeviceKind::Mouse : device::DeviceKind::MouseReceiver;
        row.role = device::InterfaceRole::ConsumerControl;
        row.path = korvane::testing::findPath(recorder, bus, 0x000C);
        return row;
    }

    std::vector<uint8_t> memory(sim::Region region, size_t offset, size_t length) {
        return simulator.firmware("mouse")->read(region, offset, length);
    }
    std::vector<uint8_t> settings(size_t offset, size_t length) {
        return memory(sim::Region::Settings, offset, length);
    }
    // Command codes written since the last clear, in order.
    std::vector<uint8_t> codesSent() const {
        std::vector<uint8_t> codes;
        for (const auto& w : recorder.writes()) {
            if (w.bytes.size() > 3) {
                codes.push_back(w.bytes[3]);
            }
        }
        return codes;
    }

    std::filesystem::path deviceFolder() const { return user_ / "mouse"; }
    std::filesystem::path profileFile() const { return deviceFolder() / "profile1.Json"; }
    // Mouse light mode i gets code base + i in default_light.json.
    void useModeCodes(int base) {
        const auto file = program_ / "DefaultData" / "default_light.json";
        Json::Value doc = files::ReadJsonDocument(file);
        Json::Value& modes = doc["DefaultLightName"][1];
        for (Json::ArrayIndex i = 0; i < modes.size(); ++i) {
            modes[i]["value"] = base + static_cast<int>(i);
        }
        files::WriteJsonDocument(file, doc);
    }

    korvane::testing::TempFolder folder;
    std::filesystem::path program_ = folder / "program";
    std::filesystem::path user_ = folder / "user";
    hid::SimBackend bus;
    sim::Simulator simulator{sim::busFor(bus)};
    korvane::testing::RecordingBackend recorder{bus};
    TestHost host{recorder, DevicePaths{program_, user_}};
    std::unique_ptr<ui::MemoryControl> page;
    std::unique_ptr<ui::MemoryControl> powerControl;
    std::unique_ptr<CMpDevicePowerUI> power;
    std::unique_ptr<ui::MemoryControl> tabControl;
    std::unique_ptr<CDeviceOptionUI> tab;
    std::unique_ptr<CKorvaneMouseDevice> mouse;
    std::vector<bool> handled;
};

}  // namespace korvane::devices::testing
