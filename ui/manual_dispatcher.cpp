#include "ui/manual_dispatcher.h"

#include <algorithm>

namespace korvane::ui {

ManualDispatcher::ManualDispatcher() : uiThread_(std::this_thread::get_id()) {}

ManualDispatcher::~ManualDispatcher() {
    std::map<EventKey, Event> events;
    {
        std::lock_guard lock(mutex_);
        events.swap(events_);
    }
    for (auto& [key, event] : events) {
        if (event.call) {
            event.call->drop();
        }
    }
}

void ManualDispatcher::schedule(std::int64_t due, Event event) {
    events_.emplace(EventKey{due, sequence_++}, std::move(event));
}

void ManualDispatcher::post(Task task) {
    std::lock_guard lock(mutex_);
    schedule(now_, Event{std::make_shared<SyncCall>(std::move(task)), {}, 0});
}

bool ManualDispatcher::send(Task task, std::stop_token stop) {
    if (std::this_thread::get_id() == uiThread_) {
        if (stop.stop_requested()) {
            return false;
        }
        task();
        return true;
    }
    auto call = std::make_shared<SyncCall>(std::move(task));
    {
        std::lock_guard lock(mutex_);
        schedule(now_, Event{call, {}, 0});
    }
    return call->wait(stop);
}

ManualDispatcher::Timer* ManualDispatcher::liveTimer(const TimerKey& key) {
    const auto it = timers_.find(key);
    if (it == timers_.end()) {
        return nullptr;
    }
    if (it->second.lifetime.expired()) {
        timers_.erase(it);  // the owner is gone (its address may be reused)
        return nullptr;
    }
    return &it->second;
}

bool ManualDispatcher::startTimer(Control& owner, int id, int intervalMs, TimerMode mode) {
    std::lock_guard lock(mutex_);
    const TimerKey key{&owner, id};
    const std::uint64_t generation = ++generations_;
    const std::int64_t interval = std::max(0, intervalMs);
    timers_[key] = Timer{owner.lifetime(), &owner, interval, mode, generation};
    schedule(now_ + interval, Event{nullptr, key, generation});
    return true;
}

bool ManualDispatcher::killTimer(Control& owner, int id) {
    std::lock_guard lock(mutex_);
    const TimerKey key{&owner, id};
    if (liveTimer(key) == nullptr) {
        return false;
    }
    timers_.erase(key);  // its queued expiry no longer matches and is skipped
    return true;
}

bool ManualDispatcher::isTimerRunning(const Control& owner, int id) const {
    std::lock_guard lock(mutex_);
    const auto it = timers_.find(TimerKey{&owner, id});
    return it != timers_.end() && !it->second.lifetime.expired();
}

void ManualDispatcher::advance(std::int64_t ms) {
    std::unique_lock lock(mutex_);
    const std::int64_t target = now_ + std::max<std::int64_t>(0, ms);
    while (!events_.empty() && events_.begin()->first.first <= target) {
        auto node = events_.extract(events_.begin());
        now_ = std::max(now_, node.key().first);
        Event& event = node.mapped();
        if (event.call) {
            lock.unlock();
            event.call->run();
            lock.lock();
            continue;
        }
        Timer* timer = liveTimer(event.timer);
        if (timer == nullptr || timer->generation != event.generation) {
            continue;  // killed, restarted or owner destroyed
        }
        Control* owner = timer->owner;
        const int id = event.timer.id;
        if (timer->mode == TimerMode::Periodic) {
            schedule(node.key().first + std::max<std::int64_t>(1, timer->interval),
                     Event{nullptr, event.timer, event.generation});
        } else {
            timers_.erase(event.timer);
        }
        lock.unlock();
        owner->deliverTimer(id);
        lock.lock();
    }
    now_ = target;
}

std::int64_t ManualDispatcher::now() const {
    std::lock_guard lock(mutex_);
    return now_;
}

bool ManualDispatcher::idle() const {
    std::lock_guard lock(mutex_);
    if (!timers_.empty()) {
        for (const auto& [key, timer] : timers_) {
            if (!timer.lifetime.expired()) {
                return false;
            }
        }
    }
    for (const auto& [key, event] : events_) {
        if (event.call) {
            return false;
        }
    }
    return true;
}

}  // namespace korvane::ui
