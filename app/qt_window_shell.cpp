#include "app/qt_window_shell.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>

#include "platform/qt/message_loop.h"
#include "platform/qt/qt_control.h"
#include "platform/qt/skin_loader.h"

namespace korvane::app {

QtWindowShell::QtWindowShell(QWidget* window, qt::SkinLoader& skin) : window_(window), skin_(skin) {}

void QtWindowShell::show() {
    if (window_) window_->show();
}

void QtWindowShell::hide() {
    if (window_) window_->hide();
}

bool QtWindowShell::isVisible() const { return window_ && window_->isVisible(); }

bool QtWindowShell::isMinimised() const { return window_ && window_->isMinimized(); }

void QtWindowShell::restore() {
    if (window_ && window_->isMinimized()) {
        window_->showNormal();
    }
}

void QtWindowShell::minimise() {
    if (window_) window_->showMinimized();
}

void QtWindowShell::maximise() {
    if (window_) window_->showMaximized();
}

void QtWindowShell::raise() {
    if (!window_ || QGuiApplication::platformName() == "offscreen") return;
    // Like a topmost toggle: in front of the others without staying there.
    window_->raise();
    window_->activateWindow();
}

void QtWindowShell::resize(int width, int height) {
    if (window_) window_->resize(width, height);
}

void QtWindowShell::centre() {
    if (!window_) return;
    QScreen* screen = window_->screen() != nullptr ? window_->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    QRect area = screen->availableGeometry();
    QRect frame = window_->frameGeometry();
    frame.moveCenter(area.center());
    window_->move(frame.topLeft());
}

ScreenSize QtWindowShell::primaryScreen() const {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return {};
    return {screen->geometry().width(), screen->geometry().height()};
}

ScreenSize QtWindowShell::monitorOfWindow() const {
    QScreen* screen = window_ && window_->screen() ? window_->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) return {};
    return {screen->geometry().width(), screen->geometry().height()};
}

ui::Control* QtWindowShell::buildInto(std::string_view skinFile, ui::Control* container) {
    QWidget* parent = qt::QtControl::widgetOf(container);
    if (parent == nullptr) return nullptr;
    QWidget* piece = skin_.buildInto(skinFile, parent);
    return qt::QtControl::of(piece);
}

void QtWindowShell::quit(int exitCode) { qt::quitMessageLoop(exitCode); }

bool QtWindowShell::trayAvailable() const { return trayAvailable_; }

std::optional<std::string> QtWindowShell::popupMenu(const std::vector<MenuItem>& items) {
    if (!menuAnswers_.empty()) {
        std::string answer = std::move(menuAnswers_.front());
        menuAnswers_.erase(menuAnswers_.begin());
        if (answer.empty()) return std::nullopt;
        return answer;
    }
    QMenu menu(window_);
    for (const auto& item : items) {
        QAction* action = menu.addAction(QString::fromStdString(item.text));
        action->setData(QString::fromStdString(item.command));
    }
    QAction* chosen = menu.exec(QCursor::pos());
    if (chosen == nullptr) return std::nullopt;
    return chosen->data().toString().toStdString();
}

}  // namespace korvane::app
