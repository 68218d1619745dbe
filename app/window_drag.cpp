#include "app/window_drag.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace korvane::app {
namespace {

class DragFilter : public QObject {
public:
    DragFilter(QWidget* window, QObject* parent) : QObject(parent), window_(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!window_) {
            return false;
        }
        switch (event->type()) {
            case QEvent::MouseButtonPress: {
                auto* e = static_cast<QMouseEvent*>(event);
                if (e->button() != Qt::LeftButton) return false;
                // The window system moves it where it can (Wayland needs this).
                if (QWindow* handle = window_->windowHandle(); handle != nullptr && handle->startSystemMove()) {
                    return true;
                }
                dragging_ = true;
                offset_ = e->globalPosition().toPoint() - window_->frameGeometry().topLeft();
                return true;
            }
            case QEvent::MouseMove:
                if (dragging_) {
                    auto* e = static_cast<QMouseEvent*>(event);
                    window_->move(e->globalPosition().toPoint() - offset_);
                    return true;
                }
                return false;
            case QEvent::MouseButtonRelease:
                dragging_ = false;
                return false;
            case QEvent::MouseButtonDblClick:
                window_->isMaximized() ? window_->showNormal() : window_->showMaximized();
                return true;
            default:
                return QObject::eventFilter(watched, event);
        }
    }

private:
    QPointer<QWidget> window_;
    bool dragging_ = false;
    QPoint offset_;
};

}  // namespace

void makeDraggable(QWidget* window, QWidget* handle) {
    if (window == nullptr || handle == nullptr) {
        return;
    }
    handle->installEventFilter(new DragFilter(window, handle));
}

}  // namespace korvane::app
