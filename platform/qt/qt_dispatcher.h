#pragma once

#include <QObject>

#include <deque>
#include <memory>
#include <mutex>

#include "ui/dispatcher.h"
#include "ui/sync_call.h"

// The dispatcher of the Qt event loop. Create it on the UI thread; stop every
// thread that may post or send before destroying it (tasks still queued then are
// dropped and their senders get false). Timers are QTimers owned by the control's
// widget, so they die with it; only QtControls can own timers.
//
// Posted tasks travel in a queue of ours; Qt only carries the wake-up, so no data
// crosses threads through Qt's (uninstrumented) event queue.
namespace korvane::qt {

class QtDispatcher : public QObject, public ui::Dispatcher {
    Q_OBJECT

  public:
    explicit QtDispatcher(QObject* parent = nullptr);
    ~QtDispatcher() override;

    void post(Task task) override;
    bool send(Task task, std::stop_token stop) override;
    bool startTimer(ui::Control& owner, int id, int intervalMs,
                    ui::TimerMode mode = ui::TimerMode::OneShot) override;
    bool killTimer(ui::Control& owner, int id) override;
    bool isTimerRunning(const ui::Control& owner, int id) const override;

    // Any thread: posted and sent tasks not yet run.
    std::size_t pendingTasks() const;

  private:
    Q_INVOKABLE void drain();
    void enqueue(std::shared_ptr<ui::SyncCall> call);

    mutable std::mutex mutex_;
    std::deque<std::shared_ptr<ui::SyncCall>> queue_;
    bool wakePending_ = false;
};

}  // namespace korvane::qt
