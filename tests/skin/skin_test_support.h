#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

#include "platform/qt/skin_loader.h"
#include "ui/language.h"

// Shared pieces of the skin tests: the offscreen QApplication, the skin folder of
// the source tree, the program's theme (style sheet and palette) and a recorder
// of Qt's warnings (a damaged Designer file or style sheet only warns).
namespace korvane::skin::test {

QString skinFolder();
QString screenshotFolder();

// Every Designer file under the skin folder, relative to it, sorted.
QStringList uiFiles();

// The language files, loaded once.
const ui::Language& english();
const ui::Language& chinese();

// Gives the application the skin's style sheet, as the program does at start-up
// ("skin:" image names, the dark palette the drawn controls take their colours
// from). Returns the style sheet's text.
QString applyTheme();

// Collects Qt's warnings while it lives.
class WarningRecorder {
  public:
    WarningRecorder();
    ~WarningRecorder();
    WarningRecorder(const WarningRecorder&) = delete;
    WarningRecorder& operator=(const WarningRecorder&) = delete;

    std::vector<std::string> take();
};

// A skin file loaded as a window that is deleted with this object.
struct Loaded {
    explicit Loaded(const QString& file);
    QWidget* widget(const char* name) const;
    template <typename W>
    W* get(const char* name) const {
        return qobject_cast<W*>(widget(name));
    }

    qt::SkinLoader loader;
    std::unique_ptr<QWidget> root;
};

}  // namespace korvane::skin::test
