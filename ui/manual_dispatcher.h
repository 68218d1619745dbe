#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

#include "ui/dispatcher.h"
#include "ui/sync_call.h"

// A dispatcher driven by hand on a virtual clock, for deterministic tests of
// timer sequences and for logic without a window. Nothing runs until advance():
// it moves the clock forward and runs every posted task and expired timer in
// time order (posting order for equal times). The thread that creates it is its
// UI thread; post and send may come from any thread.
namespace korvane::ui {

class ManualDispatcher : public Dispatcher {
  public:
    ManualDispatcher();
    // Tasks still queued are dropped; senders waiting for them get false.
    ~ManualDispatcher() override;

    void post(Task task) override;
    bool send(Task task, std::stop_token stop) override;
    bool startTimer(Control& owner, int id, int intervalMs,
                    TimerMode mode = TimerMode::OneShot) override;
    bool killTimer(Control& owner, int id) override;
    bool isTimerRunning(const Control& owner, int id) const override;

    // UI thread: moves the clock `ms` forward, running what falls due on the way
    // (also what those runs post or start, when due within the window). A
    // periodic timer of interval 0 runs every 1 ms.
    void advance(std::int64_t ms);
    // UI thread: runs what is due now (advance(0)).
    void runPending() { advance(0); }

    std::int64_t now() const;  // ms since construction
    bool idle() const;         // no task queued and no timer running

  private:
    struct TimerKey {
        const Control* owner;
        int id;
        auto operator<=>(const TimerKey&) const = default;
    };
    struct Timer {
        std::weak_ptr<const void> lifetime;
        Control* owner = nullptr;
        std::int64_t interval = 0;
        TimerMode mode = TimerMode::OneShot;
        std::uint64_t generation = 0;
    };
    struct Event {
        std::shared_ptr<SyncCall> call;  // a task, or
        TimerKey timer{};                // a timer expiry of
        std::uint64_t generation = 0;    // this start of the timer
    };
    using EventKey = std::pair<std::int64_t, std::uint64_t>;  // due time, sequence

    void schedule(std::int64_t due, Event event);  // under mutex_
    Timer* liveTimer(const TimerKey& key);         // under mutex_; drops dead owners

    const std::thread::id uiThread_;
    mutable std::mutex mutex_;
    std::int64_t now_ = 0;
    std::uint64_t sequence_ = 0;
    std::uint64_t generations_ = 0;
    std::map<EventKey, Event> events_;
    std::map<TimerKey, Timer> timers_;
};

}  // namespace korvane::ui
