#include "ui/scripted_answers.h"

#include <algorithm>

namespace korvane::ui {
namespace {

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r')) {
        s.remove_prefix(1);
    }
    while (!s.empty() &&
           (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n')) {
        s.remove_suffix(1);
    }
    return s;
}

}  // namespace

bool ScriptedAnswers::add(std::string_view line, std::string* error) {
    const std::string_view text = trim(line);
    if (text.empty() || text.front() == '#') {
        return true;
    }
    const auto space = text.find_first_of(" \t");
    const std::string_view word = text.substr(0, space);
    const std::string_view rest =
        space == std::string_view::npos ? std::string_view{} : trim(text.substr(space));
    Answer answer;
    if (word == "answer") {
        if (rest == "confirm") {
            answer.message = 1;
        } else if (rest == "cancel") {
            answer.message = 0;
        } else {
            if (error != nullptr) {
                *error = "\"answer\" takes confirm or cancel, not \"" + std::string(rest) + "\"";
            }
            return false;
        }
    } else if (word == "choose-file") {
        answer.isFile = true;
        answer.file = std::filesystem::path(std::string(rest));
    } else {
        if (error != nullptr) {
            *error = "unknown answer \"" + std::string(word) + "\"";
        }
        return false;
    }
    std::lock_guard lock(mutex_);
    answers_.push_back(std::move(answer));
    return true;
}

void ScriptedAnswers::addFile(const std::filesystem::path& path) {
    Answer answer;
    answer.isFile = true;
    answer.file = path;
    std::lock_guard lock(mutex_);
    answers_.push_back(std::move(answer));
}

std::optional<int> ScriptedAnswers::takeMessageAnswer() {
    std::lock_guard lock(mutex_);
    const auto it =
        std::find_if(answers_.begin(), answers_.end(), [](const Answer& a) { return !a.isFile; });
    if (it == answers_.end()) {
        return std::nullopt;
    }
    const int result = it->message;
    answers_.erase(it);
    return result;
}

std::optional<std::filesystem::path> ScriptedAnswers::takeFileAnswer() {
    std::lock_guard lock(mutex_);
    const auto it =
        std::find_if(answers_.begin(), answers_.end(), [](const Answer& a) { return a.isFile; });
    if (it == answers_.end()) {
        return std::nullopt;
    }
    std::filesystem::path result = std::move(it->file);
    answers_.erase(it);
    return result;
}

std::size_t ScriptedAnswers::pending() const {
    std::lock_guard lock(mutex_);
    return answers_.size();
}

void ScriptedAnswers::noteShown(std::string line) {
    std::lock_guard lock(mutex_);
    shown_.push_back(std::move(line));
}

std::vector<std::string> ScriptedAnswers::shown() const {
    std::lock_guard lock(mutex_);
    return shown_;
}

}  // namespace korvane::ui
