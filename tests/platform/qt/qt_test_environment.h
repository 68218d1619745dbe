#pragma once

#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/qt/skin_loader.h"
#include "ui/notification.h"

// Shared pieces of the Qt tests: the QApplication (offscreen) lives for the whole
// run; each test loads what it needs from the small test skin.
namespace korvane::qt::test {

QString skinFolder();

// Loads the test page as a window and records every notification that reaches
// its root as "type:sender:wParam".
struct LoadedPage {
    explicit LoadedPage(std::string_view file = "test_page.ui");
    ~LoadedPage();
    QWidget* widget(const char* name) const;
    template <typename W>
    W* get(const char* name) const {
        return qobject_cast<W*>(widget(name));
    }

    SkinLoader loader;
    QWidget* root = nullptr;
    std::vector<std::string> log;
};

// Runs the event loop until `done` holds (bounded generously); false on time-out.
bool waitUntil(const std::function<bool()>& done);

}  // namespace korvane::qt::test
