#pragma once

#include <functional>
#include <stop_token>

#include "ui/control.h"

// The UI thread's services for the rest of the program: run work there later
// (post), run it there and wait (send: the synchronous window message), and
// timers owned by controls.
//
// Timers: each control owns its timers, named by integer ids (the ids the pages
// use, e.g. 1000-1007 on a device tab). When one expires, the control's timer
// handler (Control::setTimerHandler) receives a "timer" notification with
// wParam = id; without a timer handler it goes to the control's notification
// handler like any other notification. A timer dies with its control.
namespace korvane::ui {

enum class TimerMode { OneShot, Periodic };

class Dispatcher {
  public:
    virtual ~Dispatcher() = default;

    using Task = std::function<void()>;

    // Any thread: runs `task` on the UI thread later, in posting order.
    virtual void post(Task task) = 0;

    // Any thread: runs `task` on the UI thread and waits until it has run (at
    // once when called on the UI thread). Returns false without running the task
    // when `stop` is requested before it starts, or when the dispatcher goes away
    // first; a task that has started is waited for.
    virtual bool send(Task task, std::stop_token stop) = 0;

    // UI thread. Starts (or restarts, with the new interval) the timer `id` of
    // `owner`. Returns false when the dispatcher cannot run timers on that
    // control (e.g. a control of another toolkit).
    virtual bool startTimer(Control& owner, int id, int intervalMs,
                            TimerMode mode = TimerMode::OneShot) = 0;
    // UI thread. Stops the timer; returns whether it was running.
    virtual bool killTimer(Control& owner, int id) = 0;
    virtual bool isTimerRunning(const Control& owner, int id) const = 0;
};

}  // namespace korvane::ui
