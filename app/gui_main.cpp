// korvane: the program with its window. Without options it uses the machine's
// HID devices; --simulate runs on simulated ones.

#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QIcon>

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/app_paths.h"
#include "app/dbus_session_bus.h"
#include "app/main_window.h"
#include "app/qt_window_shell.h"
#include "app/scenario_runner.h"
#include "app/single_instance.h"
#include "platform/hid/hidraw_backend.h"
#include "platform/hid/sim_backend.h"
#include "platform/hid/wire_trace.h"
#include "platform/log/logger.h"
#include "platform/qt/message_loop.h"
#include "platform/qt/qt_control.h"
#include "platform/qt/qt_dispatcher.h"
#include "platform/qt/qt_file_dialog.h"
#include "platform/qt/qt_message_box.h"
#include "platform/qt/skin_loader.h"
#include "platform/qt/skin_theme.h"
#include "app/window_drag.h"
#include "app/key_capture_filter.h"
#include "sim/simulator.h"
#include "ui/language.h"
#include "ui/scripted_answers.h"

namespace {

using namespace korvane;

constexpr const char* kUsage =
    "usage: korvane [--simulate=LIST] [--hid-trace FILE] [--sim-dump FILE] [--script FILE]\n"
    "               [--language=en|cn] [--verbose]\n"
    "  --simulate=LIST  run on simulated devices (comma-separated: mouse, mouse-receiver,\n"
    "                   keyboard, keyboard-receiver, pad, headset; empty: none plugged yet)\n"
    "  --hid-trace FILE write every HID report to FILE\n"
    "  --sim-dump FILE  write the simulated devices' memory to FILE at exit\n"
    "  --script FILE    run a scenario against the window and exit with its result\n";

struct Options {
    std::optional<std::vector<std::string>> simulate;
    std::string trace;
    std::string simDump;
    std::string script;
    std::string language;
    bool verbose = false;
};

std::vector<std::string> splitList(std::string_view text) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start <= text.size()) {
        size_t comma = text.find(',', start);
        if (comma == std::string_view::npos) comma = text.size();
        if (comma > start) out.emplace_back(text.substr(start, comma - start));
        start = comma + 1;
    }
    return out;
}

// Options after Qt took its own (-platform and so on).
std::optional<Options> parse(const QStringList& arguments) {
    Options o;
    auto valueOf = [&](int& i, const QString& a, const char* name, std::string& out) -> bool {
        QString prefix = QString(name) + "=";
        if (a.startsWith(prefix)) {
            out = a.mid(prefix.size()).toStdString();
            return true;
        }
        if (a == name) {
            if (i + 1 >= arguments.size()) {
                std::fprintf(stderr, "korvane: %s needs a value\n", name);
                std::exit(2);
            }
            out = arguments[++i].toStdString();
            return true;
        }
        return false;
    };
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        std::string value;
        if (valueOf(i, a, "--simulate", value)) {
            o.simulate = splitList(value);
        } else if (valueOf(i, a, "--hid-trace", o.trace) || valueOf(i, a, "--sim-dump", o.simDump) ||
                   valueOf(i, a, "--script", o.script) || valueOf(i, a, "--language", o.language)) {
        } else if (a == "--verbose" || a == "-v") {
            o.verbose = true;
        } else if (a == "--help" || a == "-h") {
            std::fputs(kUsage, stdout);
            std::exit(0);
        } else {
            std::fprintf(stderr, "korvane: unknown argument %s\n", a.toStdString().c_str());
            return std::nullopt;
        }
    }
    if (o.simulate) {
        const auto known = sim::Simulator::modelNames();
        for (const auto& name : *o.simulate) {
            if (std::find(known.begin(), known.end(), name) == known.end()) {
                std::fprintf(stderr, "korvane: unknown simulated device '%s'\n", name.c_str());
                return std::nullopt;
            }
        }
    }
    return o;
}

// Fonts shipped with the program; a missing file is skipped.
void loadFonts(const std::filesystem::path& programFolder) {
    for (const char* name : {"Simplified_Chinese.ttf", "Vantor-Regular.otf", "NotoSansThai-Regular.ttf",
                             "NotoSansCJKtc-Regular.otf"}) {
        auto path = programFolder / "Font" / name;
        if (std::filesystem::exists(path)) {
            QFontDatabase::addApplicationFont(QString::fromStdString(path.string()));
        }
    }
}

std::string chooseLanguage(const std::string& asked) {
    if (!asked.empty()) return asked;
    QString locale = QLocale::system().name();
    return locale.startsWith("zh") ? "cn" : "en";
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    auto options = parse(QApplication::arguments());
    if (!options) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (options->verbose) {
        log::setEnabled(true);
    }
    QApplication::setApplicationName(QString::fromUtf8(app::kWindowTitle.data(),
                                                       static_cast<int>(app::kWindowTitle.size())));
    QApplication::setQuitOnLastWindowClosed(false);

    app::SingleInstance instance(app::SingleInstance::defaultSocketPath());
    if (instance.notifyRunning()) {
        log::debug("another instance runs: it was asked to come to the front");
        return 0;
    }

    const auto programFolder = app::programFolder();
    loadFonts(programFolder);
    const auto skinFolder = programFolder / "skin";
    ui::Language language;
    std::string languageError;
    if (!language.load(ui::Language::fileFor(skinFolder, chooseLanguage(options->language)), &languageError)) {
        log::debugf("language: %s", languageError.c_str());
    }
    qt::SkinLoader skin(QString::fromStdString(skinFolder.string()));
    skin.setLanguage(&language);
    if (!qt::applySkinTheme(application, QString::fromStdString(skinFolder.string()))) {
        log::debug("the skin has no readable style.qss");
    }

    // Devices: the machine's, or simulated ones.
    std::unique_ptr<hid::Backend> backend;
    hid::SimBackend* simBus = nullptr;
    std::unique_ptr<sim::Simulator> simulator;
    if (options->simulate) {
        auto bus = std::make_unique<hid::SimBackend>();
        simBus = bus.get();
        backend = std::move(bus);
        simulator = std::make_unique<sim::Simulator>(sim::busFor(*simBus));
        for (const auto& name : *options->simulate) {
            if (!simulator->plug(name)) {
                std::fprintf(stderr, "korvane: cannot plug simulated device '%s'\n", name.c_str());
                return 1;
            }
        }
    } else {
        backend = std::make_unique<hid::HidrawBackend>();
    }
    if (!options->trace.empty()) {
        auto trace = std::make_shared<hid::WireTrace>(options->trace);
        if (!trace->isOpen()) {
            std::fprintf(stderr, "korvane: cannot write %s: %s\n", options->trace.c_str(), std::strerror(errno));
            return 1;
        }
        backend->setTrace(trace);
    }

    QWidget* window = skin.load("XML\\main.xml");
    if (window == nullptr) {
        std::fprintf(stderr, "korvane: cannot load the skin from %s: %s\n", skinFolder.c_str(),
                     skin.errorString().toStdString().c_str());
        return 1;
    }
    // The skin draws its own caption: the window has no system frame and is
    // moved by its caption bar.
    window->setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    app::makeDraggable(window, window->findChild<QWidget*>("caption_bar"));
    window->setWindowTitle(QString::fromUtf8(app::kWindowTitle.data(), static_cast<int>(app::kWindowTitle.size())));
    window->setWindowIcon(QIcon(QString::fromStdString((skinFolder / "logo.svg").string())));
    window->resize(800, 572);

    qt::QtDispatcher dispatcher;
    auto answers = std::make_shared<ui::ScriptedAnswers>();
    qt::QtMessageBox messages(skin, &language);
    qt::QtFileDialog files;
    messages.setScriptedAnswers(answers);
    files.setScriptedAnswers(answers);
    app::DBusSessionBus bus;
    app::QtWindowShell shell(window, skin);

    int exitCode = 0;
    {
        app::CMainWnd mainWindow(
            app::CMainWnd::Context{*backend, ui::UiServices{dispatcher, messages, files, language}, shell, bus,
                                   devices::DevicePaths{programFolder, app::userFolder()}, nullptr},
            qt::QtControl::of(window));
        ui::Control* root = qt::QtControl::of(window);
        root->setNotificationHandler([&mainWindow](const ui::Notification& n) { mainWindow.onNotify(n); });
        instance.listen([&mainWindow] { mainWindow.onInstanceMessage(0, 1); });
        mainWindow.windowInit();
        // Keys typed while the key-capture edit has the focus go to the key panel.
        app::KeyCaptureFilter keyCapture([&mainWindow](int evdevCode) { return mainWindow.onKeyPressed(evdevCode); },
                                         [&mainWindow] { return mainWindow.keyHookActive(); });
        application.installEventFilter(&keyCapture);

        std::unique_ptr<app::ScenarioRunner> runner;
        if (!options->script.empty()) {
            std::string error;
            auto lines = app::ScenarioRunner::load(options->script, &error);
            if (!lines) {
                std::fprintf(stderr, "korvane: %s\n", error.c_str());
                mainWindow.shutdown();
                return 2;
            }
            runner = std::make_unique<app::ScenarioRunner>(
                app::ScenarioRunner::Environment{simulator.get(), [window] { return qt::QtControl::of(window); },
                                                 window, answers, options->verbose,
                                                 [&mainWindow](bool awake) { mainWindow.setAwake(awake); },
                                                 [&shell](std::string command) { shell.queueMenuAnswer(std::move(command)); },
                                                 [&mainWindow](int evdevCode) { return mainWindow.onKeyPressed(evdevCode); }},
                std::move(*lines), options->script);
            runner->start([](int code) { qt::quitMessageLoop(code); });
        }
        exitCode = qt::runMessageLoop();
        mainWindow.shutdown();
        runner.reset();
    }
    delete window;
    if (simulator && !options->simDump.empty() && !simulator->writeToFile(options->simDump)) {
        std::fprintf(stderr, "korvane: cannot write %s\n", options->simDump.c_str());
    }
    backend->setTrace(nullptr);
    return exitCode;
}
