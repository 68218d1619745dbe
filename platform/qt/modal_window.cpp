#include "platform/qt/modal_window.h"

#include <QEvent>
#include <QEventLoop>
#include <QPointer>

namespace korvane::qt {
namespace {

constexpr char kLoop[] = "korvane_modal_loop";

QEventLoop* loopOf(const QWidget* window) {
    return static_cast<QEventLoop*>(window->property(kLoop).value<void*>());
}

// Ends the run with 0 when the user closes the window.
class CloseWatcher : public QObject {
  public:
    explicit CloseWatcher(QEventLoop* loop) : loop_(loop) {}
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        if (event->type() == QEvent::Close) {
            loop_->exit(0);
        }
        return false;
    }

  private:
    QEventLoop* loop_;
};

}  // namespace

bool isRunningModal(const QWidget* window) {
    return window != nullptr && loopOf(window) != nullptr;
}

int runModal(QWidget* window, QWidget* owner) {
    if (window == nullptr || isRunningModal(window)) {
        return -1;
    }
    QEventLoop loop;
    CloseWatcher watcher(&loop);
    QPointer<QWidget> guard(window);
    const QMetaObject::Connection gone =
        QObject::connect(window, &QObject::destroyed, &loop, [&loop] { loop.exit(0); });
    window->setProperty(kLoop, QVariant::fromValue<void*>(&loop));
    window->installEventFilter(&watcher);
    window->setWindowModality(Qt::ApplicationModal);
    window->adjustSize();
    if (owner != nullptr) {
        const QRect frame = owner->frameGeometry();
        window->move(frame.center() - window->rect().center());
    }
    window->show();
    window->raise();
    window->activateWindow();
    const int result = loop.exec();
    QObject::disconnect(gone);
    if (!guard.isNull()) {
        window->removeEventFilter(&watcher);
        window->setProperty(kLoop, QVariant());
        window->hide();
    }
    return result;
}

bool endModal(QWidget* window, int result) {
    QEventLoop* loop = window != nullptr ? loopOf(window) : nullptr;
    if (loop == nullptr) {
        return false;
    }
    loop->exit(result);
    window->hide();
    return true;
}

}  // namespace korvane::qt
