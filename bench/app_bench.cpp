// Figures of the running program on simulated devices (offscreen):
//  - time from plugging a device to its OnConnected (device watch + tab timer),
//  - CPU used over 10 s with four devices connected and streaming light frames.
// Prints the figures; no assertions (this is not a test).

#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <stdlib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <vector>

#include "app/app_paths.h"
#include "app/main_window.h"
#include "app/qt_window_shell.h"
#include "app/session_bus.h"
#include "devices/mouse_device.h"
#include "platform/hid/sim_backend.h"
#include "platform/qt/qt_control.h"
#include "platform/qt/qt_dispatcher.h"
#include "platform/qt/qt_file_dialog.h"
#include "platform/qt/qt_message_box.h"
#include "platform/qt/skin_loader.h"
#include "sim/simulator.h"
#include "ui/language.h"

namespace {

using namespace korvane;
using Clock = std::chrono::steady_clock;

std::atomic<int64_t> gConnectedAt{0};

void stampConnected() {
    gConnectedAt = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now().time_since_epoch()).count();
}

class TimedDevice : public devices::CKorvaneUSBDevice {
public:
    using CKorvaneUSBDevice::CKorvaneUSBDevice;
    void OnConnected() override { stampConnected(); }
};

// The real mouse: OnConnected reads the layout, loads the profile and refreshes the page.
class TimedMouse : public devices::CKorvaneMouseDevice {
public:
    using CKorvaneMouseDevice::CKorvaneMouseDevice;
    void OnConnected() override {
        CKorvaneMouseDevice::OnConnected();
        stampConnected();
    }
};

template <typename Fn>
double millisecondsOf(Fn&& fn) {
    auto start = Clock::now();
    fn();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void runFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

template <typename Pred>
bool runUntil(Pred done, int limitMs) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > limitMs) return false;
        runFor(1);
    }
    return true;
}

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Profiles and macros of this run go to a folder of its own, never the user's.
    char home[] = "/tmp/korvane-app-bench-XXXXXX";
    if (mkdtemp(home) != nullptr) {
        setenv("XDG_DATA_HOME", home, 1);
        setenv("XDG_RUNTIME_DIR", home, 1);
    }
    QApplication application(argc, argv);
    const auto programFolder = app::programFolder();
    qt::SkinLoader skin(QString::fromStdString((programFolder / "skin").string()));
    QWidget* window = skin.load("XML\\main.xml");
    if (window == nullptr) {
        std::fprintf(stderr, "no skin in %s\n", programFolder.c_str());
        return 1;
    }
    hid::SimBackend bus;
    sim::Simulator simulator(sim::busFor(bus));
    qt::QtDispatcher dispatcher;
    ui::Language language;
    qt::QtMessageBox messages(skin, &language);
    qt::QtFileDialog files;
    app::NoSessionBus session;
    app::QtWindowShell shell(window, skin);
    {
        app::CMainWnd mainWindow(
            app::CMainWnd::Context{bus, ui::UiServices{dispatcher, messages, files, language}, shell, session,
                                   devices::DevicePaths{programFolder, app::userFolder()},
                                   [](device::DeviceFamily family, devices::DeviceHost& host)
                                       -> std::unique_ptr<devices::CKorvaneUSBDevice> {
                                       if (family == device::DeviceFamily::Mouse) {
                                           return std::make_unique<TimedMouse>(host);
                                       }
                                       return std::make_unique<TimedDevice>(host);
                                   }},
            qt::QtControl::of(window));
        qt::QtControl::of(window)->setNotificationHandler([&](const ui::Notification& n) { mainWindow.onNotify(n); });
        mainWindow.windowInit();
        runFor(300);

        std::vector<double> delays;
        for (int i = 0; i < 10; ++i) {
            gConnectedAt = 0;
            auto plugged = Clock::now();
            simulator.plug("mouse");
            if (!runUntil([] { return gConnectedAt.load() != 0; }, 5000)) {
                std::fprintf(stderr, "the mouse did not connect\n");
                return 1;
            }
            auto at = Clock::time_point(std::chrono::microseconds(gConnectedAt.load()));
            delays.push_back(std::chrono::duration<double, std::milli>(at - plugged).count());
            simulator.unplug("mouse");
            runFor(300);
        }
        std::sort(delays.begin(), delays.end());
        std::printf("mouse, plug to page refreshed (OnConnected done): median %.1f ms, min %.1f ms, max %.1f ms\n"
                    "  (10 plugs; the device watch scans every 100 ms and the tab waits 500 ms by design)\n",
                    delays[delays.size() / 2], delays.front(), delays.back());

        // A full settings write over a link with 1 ms per report, like a full-speed
        // interrupt endpoint: each packet costs a write and an answer.
        simulator.plug("mouse");
        if (!runUntil([] { return gConnectedAt.load() != 0; }, 5000)) return 1;
        runFor(300);
        bus.setReportLatency(std::chrono::milliseconds(1));
        auto* mouse = dynamic_cast<devices::CKorvaneMouseDevice*>(mainWindow.currentDevice());
        if (mouse == nullptr) {
            std::fprintf(stderr, "no mouse page\n");
            return 1;
        }
        const int w = 1920, h = 1080;
        double settings = millisecondsOf([&] { mouse->WriteDeviceSettings(0, 0, 1, w, h); });
        double keys = millisecondsOf([&] { mouse->WriteOwnKeys(); });
        double connect = millisecondsOf([&] { mouse->OnConnected(); });
        // Least time: 2 ms per packet (write + answer) and the 10 ms pause before each 0x02.
        // Settings: 0x01, 0x06 ×2 (66 bytes in 56-byte packets), 0x02 = 4 packets.
        // Keys: 0x03, 0x01, 0x09 (33 bytes), 0x02 = 4 packets. Connect: 0x01, 0x03, 0x07, 0x02.
        std::printf("settings block write: %.1f ms (least %.1f ms)\n", settings, 4 * 2.0 + 10);
        std::printf("key table write:      %.1f ms (least %.1f ms)\n", keys, 4 * 2.0 + 10);
        std::printf("connect sequence:     %.1f ms (least %.1f ms for its 4 packets)\n", connect, 4 * 2.0 + 10);
        bus.setReportLatency(std::chrono::microseconds(0));
        simulator.unplug("mouse");
        runFor(300);

        for (const char* name : {"mouse", "keyboard", "pad", "headset"}) simulator.plug(name);
        runFor(2000);
        const double cpu0 = cpuSeconds();
        const auto wall0 = Clock::now();
        runFor(10000);
        const double cpu = cpuSeconds() - cpu0;
        const double wall = std::chrono::duration<double>(Clock::now() - wall0).count();
        std::printf("idle with 4 devices streaming: %.2f s CPU over %.1f s (%.1f %% of one core)\n", cpu, wall,
                    100.0 * cpu / wall);
        mainWindow.shutdown();
    }
    delete window;
    return 0;
}
