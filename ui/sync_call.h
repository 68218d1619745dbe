#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <stop_token>

// A task handed from a waiting thread to the UI thread (Dispatcher::send). It
// runs at most once; the sender may give up only while it has not started, so a
// task never runs after its sender stopped waiting for it.
namespace korvane::ui {

class SyncCall {
  public:
    explicit SyncCall(std::function<void()> task);

    // UI thread: runs the task unless the sender gave up or it was dropped.
    void run();
    // The task will never run (the dispatcher is going away); wakes the sender.
    void drop();
    // Sender: waits until the task has run (true), or until `stop` is requested
    // before it started or it was dropped (false).
    bool wait(std::stop_token stop);

  private:
    enum class State { Pending, Running, Done, Abandoned, Dropped };

    std::function<void()> task_;
    std::mutex mutex_;
    std::condition_variable_any changed_;
    State state_ = State::Pending;
};

}  // namespace korvane::ui
