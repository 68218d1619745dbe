#pragma once

#include <QString>

#include "ui/file_dialog.h"

// The file dialogs on screen (Qt's own dialog, so it behaves the same on every
// desktop and under tests).
namespace korvane::qt {

class QtFileDialog : public ui::FileDialogService {
  protected:
    std::optional<std::filesystem::path> present(const ui::FileRequest& request) override;
};

// A filter row as Qt's name filter: "Profile Files(*.json) (*.json)".
QString qtNameFilter(const ui::FileFilter& filter);

}  // namespace korvane::qt
