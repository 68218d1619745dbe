#include "ui/file_dialog.h"

namespace korvane::ui {

std::optional<std::filesystem::path> FileDialogService::choose(const FileRequest& request) {
    if (answers_) {
        answers_->noteShown(
            (request.save ? "save-file " : "open-file ") +
            (request.filters.empty() ? std::string() : request.filters.front().displayName));
        if (auto answer = answers_->takeFileAnswer()) {
            if (answer->empty()) {
                return std::nullopt;
            }
            return answer;
        }
    }
    auto chosen = present(request);
    if (chosen && chosen->empty()) {
        return std::nullopt;
    }
    return chosen;
}

std::optional<std::filesystem::path> FileDialogService::openFile(Control* owner,
                                                                 const FileFilter& filter) {
    FileRequest request;
    request.owner = owner;
    request.filters.push_back(filter);
    return choose(request);
}

std::optional<std::filesystem::path> FileDialogService::saveFile(Control* owner,
                                                                 const FileFilter& filter) {
    FileRequest request;
    request.save = true;
    request.owner = owner;
    request.filters.push_back(filter);
    return choose(request);
}

std::optional<std::filesystem::path> MemoryFileDialog::present(const FileRequest& request) {
    presented_.push_back(request);
    return defaultAnswer_;
}

}  // namespace korvane::ui
