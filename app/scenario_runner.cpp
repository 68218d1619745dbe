#include "app/scenario_runner.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QTimer>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "platform/log/logger.h"
#include "platform/qt/notification_bridge.h"
#include "platform/qt/qt_control.h"
#include "sim/fault_plan.h"
#include "sim/firmware.h"
#include "sim/simulator.h"
#include "ui/control.h"
#include "ui/control_name.h"
#include "ui/scripted_answers.h"

namespace korvane::app {
namespace {

// Commands with the number of words they take (command included); -1: at least the given.
struct CommandShape {
    const char* name;
    size_t minWords;
    size_t maxWords;
};
constexpr CommandShape kCommands[] = {
    {"plug", 2, 3},   {"unplug", 2, 2},  {"link", 3, 3},      {"notify", 3, 3},    {"wait", 2, 2},
    {"click", 2, 2},  {"select", 3, 3},  {"slide", 3, 3},     {"type", 2, 1000},   {"pick", 3, 3},
    {"expect", 4, 1000}, {"expect-log", 2, 1000}, {"expect-log-count", 3, 1000},
    {"await", 4, 1000}, {"await-log", 2, 1000},
    {"snapshot", 2, 2}, {"answer", 2, 2}, {"choose-file", 1, 2}, {"suspend", 1, 1}, {"resume", 1, 1}, {"fault", 3, 5}, {"choose-menu", 1, 2},
    {"expect-memory", 5, 1000}, {"set-memory", 5, 1000}, {"press", 2, 2}, {"focus", 2, 2},
    {"expect-file", 3, 1000}, {"activate", 2, 3},
};

std::vector<std::string> withCommand(std::vector<std::string> words, const char* command) {
    words[0] = command;
    return words;
}

std::vector<std::string> splitWords(const std::string& text) {
    std::vector<std::string> words;
    std::istringstream in(text);
    std::string w;
    while (in >> w) words.push_back(w);
    return words;
}

// The text after the first `skip` words, as written.
std::string restAfter(const std::string& text, size_t skip) {
    size_t pos = 0;
    for (size_t i = 0; i < skip; ++i) {
        pos = text.find_first_not_of(" \t", pos);
        if (pos == std::string::npos) return {};
        pos = text.find_first_of(" \t", pos);
        if (pos == std::string::npos) return {};
    }
    pos = text.find_first_not_of(" \t", pos);
    return pos == std::string::npos ? std::string() : text.substr(pos);
}

std::optional<bool> parseFlag(const std::string& word) {
    if (word == "on" || word == "true" || word == "1" || word == "yes") return true;
    if (word == "off" || word == "false" || word == "0" || word == "no") return false;
    return std::nullopt;
}

std::optional<long> parseNumber(const std::string& word, int base = 10) {
    errno = 0;
    char* end = nullptr;
    long v = std::strtol(word.c_str(), &end, base);
    if (errno != 0 || end == word.c_str() || *end != '\0') return std::nullopt;
    return v;
}

void collectByName(ui::Control* at, const std::string& name, std::vector<ui::Control*>& out) {
    if (at == nullptr) return;
    if (ui::namesEqual(at->name(), name)) out.push_back(at);
    for (ui::Control* c : at->children()) collectByName(c, name, out);
}

}  // namespace

std::optional<std::vector<ScenarioLine>> ScenarioRunner::load(const std::filesystem::path& file,
                                                              std::string* error) {
    std::ifstream in(file);
    if (!in) {
        *error = "cannot read " + file.string();
        return std::nullopt;
    }
    std::vector<ScenarioLine> lines;
    std::string text;
    int number = 0;
    while (std::getline(in, text)) {
        ++number;
        if (!text.empty() && text.back() == '\r') text.pop_back();
        std::string trimmed = restAfter(text, 0);
        if (trimmed.empty() || trimmed[0] == '#') continue;
        ScenarioLine line{number, trimmed, splitWords(trimmed)};
        bool known = false;
        for (const auto& c : kCommands) {
            if (line.words[0] == c.name) {
                known = true;
                if (line.words.size() < c.minWords || line.words.size() > c.maxWords) {
                    *error = file.string() + ":" + std::to_string(number) + ": wrong number of arguments: " + trimmed;
                    return std::nullopt;
                }
            }
        }
        if (!known) {
            *error = file.string() + ":" + std::to_string(number) + ": unknown command: " + trimmed;
            return std::nullopt;
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

ScenarioRunner::ScenarioRunner(Environment environment, std::vector<ScenarioLine> lines, std::string fileName)
    : env_(std::move(environment)), lines_(std::move(lines)), fileName_(std::move(fileName)) {}

ScenarioRunner::~ScenarioRunner() {
    log::setSink({});
    if (!env_.echoLog) {
        log::setEnabled(false);
    }
}

void ScenarioRunner::start(std::function<void(int)> done) {
    done_ = std::move(done);
    // Expectations read the debug lines, so they are always made; they are only
    // printed with --verbose.
    log::setEnabled(true);
    const bool echo = env_.echoLog;
    log::setSink([this, echo](std::string_view line) {
        {
            std::lock_guard lock(logMutex_);
            log_.emplace_back(line);
        }
        if (echo) {
            std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
        }
    });
    QTimer::singleShot(0, this, [this] { runNext(); });
}

void ScenarioRunner::finish(int code) {
    if (done_) {
        auto done = std::move(done_);
        done_ = nullptr;
        done(code);
    }
}

void ScenarioRunner::runNext() {
    if (awaiting_) {
        // An "await" line: check again until it holds or its time is up.
        const ScenarioLine& line = lines_[next_ - 1];
        std::string reason;
        int ignored = 0;
        bool held = line.words[0] == "await-log"
                        ? countLog(restAfter(line.text, 1)) > 0
                        : run(ScenarioLine{line.number, line.text, withCommand(line.words, "expect")}, &ignored,
                              &reason);
        if (held) {
            awaiting_ = false;
        } else if (std::chrono::steady_clock::now() >= awaitUntil_) {
            awaiting_ = false;
            if (reason.empty()) reason = "no debug line contains \"" + restAfter(line.text, 1) + "\"";
            std::fprintf(stderr, "%s:%d: %s: still not so after %d ms: %s\n", fileName_.c_str(), line.number,
                         line.text.c_str(), kAwaitMs, reason.c_str());
            finish(1);
            return;
        } else {
            QTimer::singleShot(10, this, [this] { runNext(); });
            return;
        }
    }
    if (next_ >= lines_.size()) {
        std::fprintf(stderr, "%s: all %zu lines passed\n", fileName_.c_str(), lines_.size());
        finish(0);
        return;
    }
    const ScenarioLine& line = lines_[next_++];
    if (line.words[0] == "await" || line.words[0] == "await-log") {
        awaiting_ = true;
        awaitUntil_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(kAwaitMs);
        QTimer::singleShot(0, this, [this] { runNext(); });
        return;
    }
    int waitMs = 0;
    std::string reason;
    if (!run(line, &waitMs, &reason)) {
        std::fprintf(stderr, "%s:%d: %s: %s\n", fileName_.c_str(), line.number, line.text.c_str(),
                     reason.c_str());
        finish(1);
        return;
    }
    QTimer::singleShot(waitMs, this, [this] { runNext(); });
}

ui::Control* ScenarioRunner::control(const std::string& spec, std::string* reason) {
    ui::Control* root = env_.root ? env_.root() : nullptr;
    std::string name = spec;
    size_t nth = 1;
    if (auto hash = spec.rfind('#'); hash != std::string::npos && hash > 0) {
        auto n = parseNumber(spec.substr(hash + 1));
        if (n && *n >= 1) {
            name = spec.substr(0, hash);
            nth = static_cast<size_t>(*n);
        }
    }
    std::vector<ui::Control*> found;
    collectByName(root, name, found);
    if (found.size() < nth) {
        *reason = found.empty() ? "no control named " + name
                                : "only " + std::to_string(found.size()) + " controls named " + name;
        return nullptr;
    }
    return found[nth - 1];
}

size_t ScenarioRunner::countLog(const std::string& text) {
    std::lock_guard lock(logMutex_);
    size_t n = 0;
    for (const auto& l : log_) {
        if (l.find(text) != std::string::npos) ++n;
    }
    return n;
}

bool ScenarioRunner::run(const ScenarioLine& line, int* waitMs, std::string* reason) {
    const auto& w = line.words;
    const std::string& cmd = w[0];
    auto needSimulator = [&]() -> sim::Simulator* {
        if (env_.simulator == nullptr) *reason = "the program does not run on simulated devices";
        return env_.simulator;
    };

    if (cmd == "wait") {
        auto ms = parseNumber(w[1]);
        if (!ms || *ms < 0) {
            *reason = "not a number of milliseconds";
            return false;
        }
        *waitMs = static_cast<int>(*ms);
        return true;
    }
    if (cmd == "plug") {
        auto* s = needSimulator();
        if (s == nullptr) return false;
        bool ok = w.size() == 3 ? s->plug(w[1], w[2]) : s->plug(w[1]);
        if (!ok) *reason = "cannot plug " + w[1];
        return ok;
    }
    if (cmd == "unplug") {
        auto* s = needSimulator();
        if (s == nullptr) return false;
        if (!s->unplug(w[1])) {
            *reason = w[1] + " is not plugged";
            return false;
        }
        return true;
    }
    if (cmd == "link") {
        auto* s = needSimulator();
        if (s == nullptr) return false;
        auto on = parseFlag(w[2]);
        if (!on || !s->link(w[1], *on)) {
            *reason = "cannot set the link of " + w[1];
            return false;
        }
        return true;
    }
    if (cmd == "notify") {
        auto* s = needSimulator();
        if (s == nullptr) return false;
        auto code = parseNumber(w[2], 16);
        if (!code || *code < 0 || *code > 0xFFFF || !s->notify(w[1], static_cast<uint16_t>(*code))) {
            *reason = "cannot send that notification";
            return false;
        }
        return true;
    }
    if (cmd == "fault") {
        auto* s = needSimulator();
        if (s == nullptr) return false;
        if (!s->isPlugged(w[1])) {
            *reason = w[1] + " is not plugged";
            return false;
        }
        auto& plan = s->faults(w[1]);
        const std::string& kind = w[2];
        // Optional count of commands affected (default 1; "all": until cleared).
        auto count = [&](size_t at) -> int {
            if (w.size() <= at) return 1;
            if (w[at] == "all") return sim::kUntilCleared;
            auto n = parseNumber(w[at]);
            return n && *n > 0 ? static_cast<int>(*n) : 1;
        };
        if (kind == "clear") {
            plan.clear();
        } else if (kind == "noanswer") {
            plan.noAnswer(count(3));
        } else if (kind == "status" && w.size() >= 4) {
            auto st = parseNumber(w[3], 16);
            if (!st || *st < 0 || *st > 255) {
                *reason = "a status byte in hex expected";
                return false;
            }
            plan.status(static_cast<uint8_t>(*st), count(4));
        } else if (kind == "delay" && w.size() >= 4) {
            auto ms = parseNumber(w[3]);
            if (!ms || *ms < 0) {
                *reason = "milliseconds expected";
                return false;
            }
            plan.delay(std::chrono::milliseconds(*ms), count(4));
        } else if (kind == "unplug-after" && w.size() >= 4) {
            auto n = parseNumber(w[3]);
            if (!n || *n < 0) {
                *reason = "a number of reports expected";
                return false;
            }
            plan.unplugAfter(static_cast<int>(*n));
        } else {
            *reason = "fault kinds: noanswer [N|all], status HEX [N|all], delay MS [N|all], unplug-after N, clear";
            return false;
        }
        return true;
    }
    if (cmd == "expect-memory" || cmd == "set-memory") {
        auto* s = needSimulator();
        if (s == nullptr) return false;
        auto firmware = s->firmware(w[1]);
        if (!firmware) {
            firmware = s->firmware(s->firmwareName(w[1]));
        }
        std::optional<sim::Region> region;
        for (size_t r = 0; r < sim::kRegionCount; ++r) {
            if (ui::namesEqual(sim::regionName(static_cast<sim::Region>(r)), w[2])) {
                region = static_cast<sim::Region>(r);
            }
        }
        auto offset = parseNumber(w[3]);
        if (!firmware || !region || !offset || *offset < 0) {
            *reason = "FIRMWARE REGION OFFSET expected (regions as in the simulator's dump)";
            return false;
        }
        std::vector<uint8_t> bytes;
        for (size_t i = 4; i < w.size(); ++i) {
            auto b = parseNumber(w[i], 16);
            if (!b || *b < 0 || *b > 255) {
                *reason = "bytes in hex expected";
                return false;
            }
            bytes.push_back(static_cast<uint8_t>(*b));
        }
        if (cmd == "set-memory") {
            if (!firmware->write(*region, static_cast<size_t>(*offset), bytes)) {
                *reason = "outside the region";
                return false;
            }
            return true;
        }
        auto actual = firmware->read(*region, static_cast<size_t>(*offset), bytes.size());
        if (actual != bytes) {
            std::string got;
            char hex[4];
            for (uint8_t b : actual) {
                std::snprintf(hex, sizeof hex, "%02x ", b);
                got += hex;
            }
            *reason = "memory holds " + (got.empty() ? std::string("nothing there") : got);
            return false;
        }
        return true;
    }
    if (cmd == "press") {
        auto code = parseNumber(w[1]);
        if (!code || !env_.pressKey) {
            *reason = "a Linux key code expected";
            return false;
        }
        if (!env_.pressKey(static_cast<int>(*code))) {
            *reason = "nobody took the key";
            return false;
        }
        return true;
    }
    if (cmd == "expect-file") {
        std::ifstream in(w[1], std::ios::binary);
        if (!in) {
            *reason = "no file " + w[1];
            return false;
        }
        std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::string wanted = restAfter(line.text, 2);
        if (content.find(wanted) == std::string::npos) {
            *reason = "the file does not contain \"" + wanted + "\"";
            return false;
        }
        return true;
    }
    if (cmd == "choose-menu") {
        if (!env_.answerMenu) {
            *reason = "no menus here";
            return false;
        }
        env_.answerMenu(w.size() > 1 ? w[1] : std::string());
        return true;
    }
    if (cmd == "suspend" || cmd == "resume") {
        if (!env_.setAwake) {
            *reason = "no power events here";
            return false;
        }
        env_.setAwake(cmd == "resume");
        return true;
    }
    if (cmd == "answer" || cmd == "choose-file") {
        if (!env_.answers || !env_.answers->add(line.text, reason)) {
            if (reason->empty()) *reason = "no dialog answers here";
            return false;
        }
        return true;
    }
    if (cmd == "snapshot") {
        if (!env_.window) {
            *reason = "no window";
            return false;
        }
        if (!env_.window->grab().save(QString::fromStdString(w[1]))) {
            *reason = "cannot write the picture";
            return false;
        }
        return true;
    }
    if (cmd == "expect") return expect(w, reason);
    if (cmd == "expect-log") {
        std::string text = restAfter(line.text, 1);
        if (countLog(text) == 0) {
            *reason = "no debug line contains \"" + text + "\"";
            return false;
        }
        return true;
    }
    if (cmd == "expect-log-count") {
        auto n = parseNumber(w[1]);
        std::string text = restAfter(line.text, 2);
        size_t got = countLog(text);
        if (!n || got != static_cast<size_t>(*n)) {
            *reason = "found " + std::to_string(got) + " debug lines containing \"" + text + "\"";
            return false;
        }
        return true;
    }

    // Control commands.
    ui::Control* c = control(w[1], reason);
    if (c == nullptr) return false;
    QWidget* widget = qt::QtControl::widgetOf(c);
    if (cmd == "click") {
        if (!c->enabled()) {
            *reason = "the control is disabled";
            return false;
        }
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            button->click();
        } else {
            c->emitNotification("click");
        }
        return true;
    }
    if (cmd == "select") {
        auto on = parseFlag(w[2]);
        if (!on) {
            *reason = "on or off expected";
            return false;
        }
        c->setSelected(*on, ui::Notify::Yes);
        return true;
    }
    if (cmd == "slide") {
        auto v = parseNumber(w[2]);
        if (!v) {
            *reason = "not a number";
            return false;
        }
        if (auto* slider = qobject_cast<QAbstractSlider*>(widget)) {
            // Dragged, then released, like the user's hand.
            slider->setSliderDown(true);
            slider->setSliderPosition(static_cast<int>(*v));
            slider->setSliderDown(false);
        } else {
            c->setValue(static_cast<int>(*v));
            c->emitNotification("movevaluechanged");
            c->emitNotification("valuechanged");
        }
        return true;
    }
    if (cmd == "type") {
        c->setText(restAfter(line.text, 2));
        if (widget != nullptr) {
            qt::emitNotification(widget, "killfocus");
        } else {
            c->emitNotification("killfocus");
        }
        return true;
    }
    if (cmd == "focus") {
        if (widget != nullptr) {
            widget->setFocus();
            qt::emitNotification(widget, "setfocus");
        } else {
            c->emitNotification("setfocus");
        }
        return true;
    }
    if (cmd == "activate") {
        // A double click (or Return) on an item of a list.
        auto i = w.size() > 2 ? parseNumber(w[2]) : std::optional<long>(0);
        if (!i) {
            *reason = "an item index expected";
            return false;
        }
        if (widget != nullptr) {
            qt::emitNotification(widget, "itemactivate", *i);
        } else {
            c->emitNotification("itemactivate", *i);
        }
        return true;
    }
    if (cmd == "pick") {
        auto i = parseNumber(w[2]);
        if (!i || !c->selectItem(static_cast<int>(*i), ui::Notify::Yes)) {
            *reason = "no item " + w[2];
            return false;
        }
        return true;
    }
    *reason = "unknown command";
    return false;
}

bool ScenarioRunner::expect(const std::vector<std::string>& w, std::string* reason) {
    const std::string& property = w[2];
    std::string wanted = w[3];
    for (size_t i = 4; i < w.size(); ++i) wanted += " " + w[i];

    auto compareFlag = [&](bool actual) {
        auto flag = parseFlag(wanted);
        if (!flag) {
            *reason = "true or false expected";
            return false;
        }
        if (*flag != actual) {
            *reason = property + " is " + (actual ? "true" : "false");
            return false;
        }
        return true;
    };
    auto compareNumber = [&](long actual) {
        auto n = parseNumber(wanted);
        if (!n) {
            *reason = "a number expected";
            return false;
        }
        if (*n != actual) {
            *reason = property + " is " + std::to_string(actual);
            return false;
        }
        return true;
    };

    if (ui::namesEqual(w[1], "window")) {
        if (property == "visible") return compareFlag(env_.window && env_.window->isVisible());
        *reason = "the window has only the property visible";
        return false;
    }
    ui::Control* c = control(w[1], reason);
    if (c == nullptr) return false;
    if (property == "text") {
        if (c->text() != wanted) {
            *reason = "text is \"" + c->text() + "\"";
            return false;
        }
        return true;
    }
    if (property == "visible") return compareFlag(c->visible());
    if (property == "enabled") return compareFlag(c->enabled());
    if (property == "selected") return compareFlag(c->selected());
    if (property == "value") return compareNumber(c->value());
    if (property == "index") return compareNumber(c->kind() == ui::ControlKind::Tab ? c->currentPage() : c->currentIndex());
    if (property == "count") return compareNumber(static_cast<long>(c->children().size()));
    if (property == "items") return compareNumber(c->itemCount());
    if (property == "colour" || property == "color") {
        char text[16];
        std::snprintf(text, sizeof text, "%08X", c->backgroundColour());
        if (!ui::namesEqual(text, wanted)) {
            *reason = std::string("colour is ") + text;
            return false;
        }
        return true;
    }
    *reason = "unknown property " + property;
    return false;
}

}  // namespace korvane::app
