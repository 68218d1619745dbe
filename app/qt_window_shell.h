#pragma once

#include <QPointer>
#include <QWidget>

#include <string>
#include <vector>

#include "app/window_shell.h"

namespace korvane::qt {
class SkinLoader;
}

namespace korvane::app {

// The top-level window of the program over Qt.
class QtWindowShell : public WindowShell {
public:
    QtWindowShell(QWidget* window, qt::SkinLoader& skin);

    void show() override;
    void hide() override;
    bool isVisible() const override;
    bool isMinimised() const override;
    void restore() override;
    void minimise() override;
    void maximise() override;
    void raise() override;
    void resize(int width, int height) override;
    void centre() override;
    ScreenSize primaryScreen() const override;
    ScreenSize monitorOfWindow() const override;
    ui::Control* buildInto(std::string_view skinFile, ui::Control* container) override;
    void quit(int exitCode) override;
    bool trayAvailable() const override;
    std::optional<std::string> popupMenu(const std::vector<MenuItem>& items) override;

    // Scripts answer the next popup menu with a command ("" dismisses it).
    void queueMenuAnswer(std::string command) { menuAnswers_.push_back(std::move(command)); }

    // Scripts and tests may forbid showing the window (offscreen runs).
    void setTrayAvailable(bool available) { trayAvailable_ = available; }

private:
    QPointer<QWidget> window_;
    qt::SkinLoader& skin_;
    bool trayAvailable_ = false;
    std::vector<std::string> menuAnswers_;
};

}  // namespace korvane::app
