#include "platform/qt/qt_dispatcher.h"

#include <algorithm>

#include <QThread>
#include <QTimer>

#include "platform/qt/qt_control.h"

namespace korvane::qt {
namespace {

QString timerName(int id) {
    return QStringLiteral("qt_korvane_timer_%1").arg(id);
}

QTimer* findTimer(const QWidget* widget, int id) {
    return widget->findChild<QTimer*>(timerName(id), Qt::FindDirectChildrenOnly);
}

}  // namespace

QtDispatcher::QtDispatcher(QObject* parent) : QObject(parent) {}

QtDispatcher::~QtDispatcher() {
    std::deque<std::shared_ptr<ui::SyncCall>> left;
    {
        std::lock_guard lock(mutex_);
        left.swap(queue_);
    }
    for (const auto& call : left) {
        call->drop();
    }
}

void QtDispatcher::enqueue(std::shared_ptr<ui::SyncCall> call) {
    bool wake = false;
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(call));
        wake = !wakePending_;
        wakePending_ = true;
    }
    if (wake) {
        QMetaObject::invokeMethod(this, "drain", Qt::QueuedConnection);
    }
}

void QtDispatcher::drain() {
    std::deque<std::shared_ptr<ui::SyncCall>> batch;
    {
        std::lock_guard lock(mutex_);
        batch.swap(queue_);
        wakePending_ = false;
    }
    for (const auto& call : batch) {
        call->run();
    }
}

std::size_t QtDispatcher::pendingTasks() const {
    std::lock_guard lock(mutex_);
    return queue_.size();
}

void QtDispatcher::post(Task task) {
    enqueue(std::make_shared<ui::SyncCall>(std::move(task)));
}

bool QtDispatcher::send(Task task, std::stop_token stop) {
    if (QThread::currentThread() == thread()) {
        if (stop.stop_requested()) {
            return false;
        }
        task();
        return true;
    }
    auto call = std::make_shared<ui::SyncCall>(std::move(task));
    enqueue(call);
    return call->wait(stop);
}

bool QtDispatcher::startTimer(ui::Control& owner, int id, int intervalMs, ui::TimerMode mode) {
    QWidget* widget = QtControl::widgetOf(&owner);
    if (widget == nullptr) {
        return false;
    }
    QTimer* timer = findTimer(widget, id);
    if (timer == nullptr) {
        timer = new QTimer(widget);
        timer->setObjectName(timerName(id));
        QObject::connect(timer, &QTimer::timeout, timer,
                         [widget, id] { QtControl::of(widget)->deliverTimer(id); });
    }
    timer->setSingleShot(mode == ui::TimerMode::OneShot);
    timer->start(std::max(0, intervalMs));
    return true;
}

bool QtDispatcher::killTimer(ui::Control& owner, int id) {
    QWidget* widget = QtControl::widgetOf(&owner);
    QTimer* timer = widget != nullptr ? findTimer(widget, id) : nullptr;
    if (timer == nullptr || !timer->isActive()) {
        return false;
    }
    timer->stop();
    return true;
}

bool QtDispatcher::isTimerRunning(const ui::Control& owner, int id) const {
    const QWidget* widget = QtControl::widgetOf(&owner);
    const QTimer* timer = widget != nullptr ? findTimer(widget, id) : nullptr;
    return timer != nullptr && timer->isActive();
}

}  // namespace korvane::qt
