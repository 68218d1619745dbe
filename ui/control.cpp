#include "ui/control.h"

#include "ui/control_name.h"

namespace korvane::ui {

Control::Control() : alive_(std::make_shared<int>(0)) {}

Control::~Control() = default;

Control* Control::find(std::string_view name) {
    if (namesEqual(this->name(), name)) {
        return this;
    }
    for (Control* child : children()) {
        if (Control* hit = child->find(name)) {
            return hit;
        }
    }
    return nullptr;
}

Control* Control::findClass(std::string_view className) {
    for (Control* child : children()) {
        if (namesEqual(child->className(), className)) {
            return child;
        }
        if (Control* hit = child->findClass(className)) {
            return hit;
        }
    }
    return nullptr;
}

void Control::setNotificationHandler(NotificationHandler handler) {
    notificationHandler_ = std::move(handler);
}

bool Control::dispatchNotification(const Notification& n) {
    for (Control* c = this; c != nullptr; c = c->parent()) {
        if (c->notificationHandler_) {
            // A copy: the handler may replace itself or destroy its control.
            NotificationHandler handler = c->notificationHandler_;
            handler(n);
            return true;
        }
    }
    return false;
}

bool Control::emitNotification(std::string_view type, std::int64_t wParam, std::int64_t lParam) {
    Notification n;
    n.type = std::string(type);
    n.sender = this;
    n.senderName = name();
    n.wParam = wParam;
    n.lParam = lParam;
    return dispatchNotification(n);
}

void Control::setTimerHandler(NotificationHandler handler) {
    timerHandler_ = std::move(handler);
}

bool Control::deliverTimer(int id) {
    if (!timerHandler_) {
        return emitNotification(notify::kTimer, id);
    }
    Notification n;
    n.type = std::string(notify::kTimer);
    n.sender = this;
    n.senderName = name();
    n.wParam = id;
    NotificationHandler handler = timerHandler_;
    handler(n);
    return true;
}

ControlRef::ControlRef(Control* control) : control_(control) {
    if (control != nullptr) {
        lifetime_ = control->lifetime();
    }
}

Control* ControlRef::get() const {
    return lifetime_.expired() ? nullptr : control_;
}

}  // namespace korvane::ui
