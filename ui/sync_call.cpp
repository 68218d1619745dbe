#include "ui/sync_call.h"

#include <utility>

namespace korvane::ui {

SyncCall::SyncCall(std::function<void()> task) : task_(std::move(task)) {}

void SyncCall::run() {
    {
        std::lock_guard lock(mutex_);
        if (state_ != State::Pending) {
            return;
        }
        state_ = State::Running;
    }
    struct Finish {
        SyncCall& call;
        ~Finish() {
            {
                std::lock_guard lock(call.mutex_);
                call.state_ = State::Done;
            }
            call.changed_.notify_all();
        }
    } finish{*this};
    task_();
}

void SyncCall::drop() {
    {
        std::lock_guard lock(mutex_);
        if (state_ != State::Pending) {
            return;
        }
        state_ = State::Dropped;
    }
    changed_.notify_all();
}

bool SyncCall::wait(std::stop_token stop) {
    std::unique_lock lock(mutex_);
    const auto finished = [this] { return state_ == State::Done || state_ == State::Dropped; };
    if (changed_.wait(lock, stop, finished)) {
        return state_ == State::Done;
    }
    if (state_ == State::Pending) {
        state_ = State::Abandoned;
        return false;
    }
    // Started already: it may use the sender's data, so wait for it to end.
    changed_.wait(lock, finished);
    return state_ == State::Done;
}

}  // namespace korvane::ui
