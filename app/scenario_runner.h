#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace korvane::sim {
class Simulator;
}
namespace korvane::ui {
class Control;
class ScriptedAnswers;
}  // namespace korvane::ui

// Runs a scenario script against the real main window (docs/scenarios.md): one
// command a line, driving simulated devices and the window's controls and
// checking what the window shows. The program ends with 0 when every
// expectation held, otherwise with 1 and a message naming the failed line.
namespace korvane::app {

struct ScenarioLine {
    int number = 0;
    std::string text;               // as written, for messages
    std::vector<std::string> words; // command and arguments
};

class ScenarioRunner : public QObject {
public:
    struct Environment {
        sim::Simulator* simulator = nullptr;  // nullptr: device commands fail
        std::function<ui::Control*()> root;   // the main window's controls
        QPointer<QWidget> window;             // for "window" and snapshots
        std::shared_ptr<ui::ScriptedAnswers> answers;
        bool echoLog = false;                 // also print the debug lines
        std::function<void(bool)> setAwake;   // "suspend" and "resume"
        std::function<void(std::string)> answerMenu;  // "choose-menu"
        std::function<bool(int)> pressKey;            // "press": a Linux key code
    };

    // Reads and checks a script; nullopt with *error on a malformed one.
    static std::optional<std::vector<ScenarioLine>> load(const std::filesystem::path& file,
                                                         std::string* error);

    ScenarioRunner(Environment environment, std::vector<ScenarioLine> lines, std::string fileName);
    ~ScenarioRunner() override;

    // Starts on the next turn of the event loop; `done` gets the exit code.
    void start(std::function<void(int)> done);

private:
    void runNext();
    // Runs one line; false (with the reason) when it failed. Sets *waitMs for "wait".
    bool run(const ScenarioLine& line, int* waitMs, std::string* reason);
    ui::Control* control(const std::string& spec, std::string* reason);
    bool expect(const std::vector<std::string>& words, std::string* reason);
    size_t countLog(const std::string& text);
    void finish(int code);

    Environment env_;
    std::vector<ScenarioLine> lines_;
    std::string fileName_;
    size_t next_ = 0;
    // How long "await" waits for its condition; generous, for slow (sanitizer) builds.
    static constexpr int kAwaitMs = 20000;
    bool awaiting_ = false;
    std::chrono::steady_clock::time_point awaitUntil_;
    std::function<void(int)> done_;
    std::mutex logMutex_;
    std::vector<std::string> log_;
};

}  // namespace korvane::app
