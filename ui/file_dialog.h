#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ui/control.h"
#include "ui/scripted_answers.h"

// Open and save dialogs for profiles, macros, recoil data and pictures. A queued
// scripted answer is taken before any window opens.
namespace korvane::ui {

// One filter row: the text shown and its pattern, e.g.
// {"Profile Files(*.json)", "*.json"}. Several patterns are separated by ';'.
struct FileFilter {
    std::string displayName;
    std::string pattern;
};

struct FileRequest {
    bool save = false;
    Control* owner = nullptr;
    std::vector<FileFilter> filters;  // the first one is selected
    std::string defaultExtension;     // appended by save dialogs to a name without one ("png")
    std::string initialName;
};

class FileDialogService {
  public:
    virtual ~FileDialogService() = default;

    // The chosen path, or nullopt when the user cancelled. Open dialogs accept
    // only an existing file.
    std::optional<std::filesystem::path> choose(const FileRequest& request);
    std::optional<std::filesystem::path> openFile(Control* owner, const FileFilter& filter);
    std::optional<std::filesystem::path> saveFile(Control* owner, const FileFilter& filter);

    void setScriptedAnswers(std::shared_ptr<ScriptedAnswers> answers) {
        answers_ = std::move(answers);
    }

  protected:
    virtual std::optional<std::filesystem::path> present(const FileRequest& request) = 0;

  private:
    std::shared_ptr<ScriptedAnswers> answers_;
};

// Without a window: records each request; answers "cancelled" unless a path is
// set or a scripted answer is queued.
class MemoryFileDialog : public FileDialogService {
  public:
    void setDefaultAnswer(std::optional<std::filesystem::path> path) {
        defaultAnswer_ = std::move(path);
    }
    const std::vector<FileRequest>& presented() const { return presented_; }

  protected:
    std::optional<std::filesystem::path> present(const FileRequest& request) override;

  private:
    std::optional<std::filesystem::path> defaultAnswer_;
    std::vector<FileRequest> presented_;
};

}  // namespace korvane::ui
