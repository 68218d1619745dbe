#pragma once

#include <deque>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Answers for the next message boxes and file dialogs, given by a test or a
// scenario script instead of a user. One line per answer:
//   answer confirm        the next message box is confirmed (1)
//   answer cancel         the next message box is cancelled (0)
//   choose-file PATH      the next file dialog returns PATH (the rest of the line)
//   choose-file           the next file dialog is cancelled
// Message boxes take the first queued message answer and file dialogs the first
// queued file answer, so the two kinds may be queued in any order. Every dialog
// that was asked for is noted in shown(), answered or not. Thread-safe.
namespace korvane::ui {

class ScriptedAnswers {
  public:
    // Queues one answer line; false (with *error set) for a malformed line.
    // Blank lines and lines starting with '#' are accepted and ignored.
    bool add(std::string_view line, std::string* error = nullptr);
    void addConfirm() { add("answer confirm"); }
    void addCancel() { add("answer cancel"); }
    void addFile(const std::filesystem::path& path);

    std::optional<int> takeMessageAnswer();
    // nullopt: nothing queued. A queued cancel gives an empty path.
    std::optional<std::filesystem::path> takeFileAnswer();
    std::size_t pending() const;

    // What the dialogs asked, one line each ("message message_text_22",
    // "open-file Profile Files(*.json)", "save-file ...").
    void noteShown(std::string line);
    std::vector<std::string> shown() const;

  private:
    struct Answer {
        bool isFile = false;
        int message = 0;
        std::filesystem::path file;
    };

    mutable std::mutex mutex_;
    std::deque<Answer> answers_;
    std::vector<std::string> shown_;
};

}  // namespace korvane::ui
