#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "ui/manual_dispatcher.h"
#include "ui/memory_control.h"

namespace korvane::ui {
namespace {

using namespace std::chrono_literals;

// Waits (generously bounded) until `done` holds.
template <typename Pred>
bool waitFor(Pred done) {
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

struct Fixture {
    ManualDispatcher dispatcher;
    MemoryControl root{"Window", "root"};
    std::vector<std::string> log;  // "<now>:<what>"

    void note(const std::string& what) {
        log.push_back(std::to_string(dispatcher.now()) + ":" + what);
    }
};

TEST(ManualDispatcher, RunsPostsAndTimersInTimeThenPostingOrder) {
    Fixture f;
    MemoryControl& tab = f.root.add("Option", "tab");
    tab.setTimerHandler([&](const Notification& n) {
        EXPECT_TRUE(n.is(notify::kTimer));
        EXPECT_EQ(n.sender, &tab);
        f.note("timer" + std::to_string(n.wParam));
    });
    f.dispatcher.startTimer(tab, 1001, 500);
    f.dispatcher.startTimer(tab, 1005, 50);
    f.dispatcher.startTimer(tab, 1000, 0);
    f.dispatcher.post([&] { f.note("post A"); });
    f.dispatcher.post([&] {
        f.note("post B");
        f.dispatcher.post([&] { f.note("post C (from B)"); });
    });
    EXPECT_TRUE(f.log.empty());  // nothing runs before advance

    f.dispatcher.advance(49);
    EXPECT_EQ(f.log, (std::vector<std::string>{"0:timer1000", "0:post A", "0:post B",
                                               "0:post C (from B)"}));
    f.log.clear();
    f.dispatcher.advance(1000);
    EXPECT_EQ(f.log, (std::vector<std::string>{"50:timer1005", "500:timer1001"}));
    EXPECT_EQ(f.dispatcher.now(), 1049);
    EXPECT_TRUE(f.dispatcher.idle());
}

// The device tab's pattern: one-shot timers whose handlers restart each other.
TEST(ManualDispatcher, OneShotTimersRestartedByTheirHandlers) {
    Fixture f;
    MemoryControl& tab = f.root.add("Option", "tab");
    int streams = 0;
    tab.setTimerHandler([&](const Notification& n) {
        f.dispatcher.killTimer(tab, static_cast<int>(n.wParam));  // handlers kill themselves first
        if (n.wParam == 1001) {
            f.note("connect");
            f.dispatcher.startTimer(tab, 1000, 5);
        } else if (n.wParam == 1000) {
            ++streams;
            f.dispatcher.startTimer(tab, 1000, 5);
        }
    });
    f.dispatcher.startTimer(tab, 1001, 500);
    f.dispatcher.advance(499);
    EXPECT_EQ(streams, 0);
    EXPECT_FALSE(f.dispatcher.isTimerRunning(tab, 1000));
    f.dispatcher.advance(1);
    EXPECT_EQ(f.log, (std::vector<std::string>{"500:connect"}));
    EXPECT_FALSE(f.dispatcher.isTimerRunning(tab, 1001));
    EXPECT_TRUE(f.dispatcher.isTimerRunning(tab, 1000));
    f.dispatcher.advance(100);  // 500 + 5·k for k = 1..20
    EXPECT_EQ(streams, 20);
}

TEST(ManualDispatcher, PeriodicKilledAndRestartedTimers) {
    Fixture f;
    MemoryControl& a = f.root.add("Container", "a");
    MemoryControl& b = f.root.add("Container", "b");
    a.setTimerHandler([&](const Notification& n) { f.note("a" + std::to_string(n.wParam)); });
    b.setTimerHandler([&](const Notification& n) { f.note("b" + std::to_string(n.wParam)); });

    f.dispatcher.startTimer(a, 1, 100, TimerMode::Periodic);
    f.dispatcher.startTimer(b, 1, 150);  // same id, other control: a separate timer
    f.dispatcher.startTimer(a, 2, 50);
    EXPECT_TRUE(f.dispatcher.killTimer(a, 2));
    EXPECT_FALSE(f.dispatcher.killTimer(a, 2));
    EXPECT_FALSE(f.dispatcher.isTimerRunning(a, 2));
    f.dispatcher.advance(350);
    EXPECT_EQ(f.log, (std::vector<std::string>{"100:a1", "150:b1", "200:a1", "300:a1"}));
    EXPECT_TRUE(f.dispatcher.isTimerRunning(a, 1));
    EXPECT_FALSE(f.dispatcher.isTimerRunning(b, 1));

    // Restarting replaces the interval and the schedule.
    f.log.clear();
    f.dispatcher.startTimer(a, 1, 30, TimerMode::Periodic);
    f.dispatcher.advance(70);
    EXPECT_EQ(f.log, (std::vector<std::string>{"380:a1", "410:a1"}));
    EXPECT_TRUE(f.dispatcher.killTimer(a, 1));
    f.dispatcher.advance(1000);
    EXPECT_EQ(f.log.size(), 2u);
    EXPECT_TRUE(f.dispatcher.idle());
}

TEST(ManualDispatcher, TimersOfADestroyedControlNeverFire) {
    Fixture f;
    int fired = 0;
    {
        MemoryControl& doomed = f.root.add("Container", "doomed");
        doomed.setTimerHandler([&](const Notification&) { ++fired; });
        f.dispatcher.startTimer(doomed, 7, 10, TimerMode::Periodic);
        f.dispatcher.advance(10);
        EXPECT_EQ(fired, 1);
        f.root.take(&doomed);  // destroyed here
    }
    f.dispatcher.advance(100);
    EXPECT_EQ(fired, 1);
    // A new control at a reused address does not inherit the timer.
    MemoryControl& fresh = f.root.add("Container", "fresh");
    EXPECT_FALSE(f.dispatcher.isTimerRunning(fresh, 7));
    EXPECT_TRUE(f.dispatcher.idle());
}

TEST(ManualDispatcher, TimerWithoutItsOwnHandlerGoesToTheWindow) {
    Fixture f;
    MemoryControl& c = f.root.add("Container", "device_select_layout");
    std::vector<std::string> seen;
    f.root.setNotificationHandler([&](const Notification& n) {
        seen.push_back(n.type + ":" + n.senderName + ":" + std::to_string(n.wParam));
    });
    f.dispatcher.startTimer(c, 1055, 400);
    f.dispatcher.advance(400);
    EXPECT_EQ(seen, (std::vector<std::string>{"timer:device_select_layout:1055"}));
}

TEST(ManualDispatcher, SendRunsInlineOnTheUiThreadAndWaitsElsewhere) {
    ManualDispatcher dispatcher;
    int ran = 0;
    std::stop_source stop;
    EXPECT_TRUE(dispatcher.send([&] { ++ran; }, stop.get_token()));
    EXPECT_EQ(ran, 1);

    std::atomic<int> result{-1};
    int value = 0;  // written by the UI thread, read by the sender after send returns
    std::jthread worker([&](std::stop_token token) {
        result = dispatcher.send([&] { value = 42; }, token) ? 1 : 0;
    });
    // Nothing runs until the UI thread pumps.
    ASSERT_TRUE(waitFor([&] { return !dispatcher.idle(); }));
    EXPECT_EQ(result.load(), -1);
    dispatcher.runPending();
    worker.join();
    EXPECT_EQ(result.load(), 1);
    EXPECT_EQ(value, 42);
}

TEST(ManualDispatcher, SendGivesUpWhenItsThreadIsAskedToStop) {
    ManualDispatcher dispatcher;
    std::atomic<bool> ran{false};
    std::atomic<int> result{-1};
    {
        std::jthread worker([&](std::stop_token token) {
            result = dispatcher.send([&] { ran = true; }, token) ? 1 : 0;
        });
        ASSERT_TRUE(waitFor([&] { return !dispatcher.idle(); }));
        worker.request_stop();  // the UI thread never pumped: the sender must not hang
    }                           // joined
    EXPECT_EQ(result.load(), 0);
    dispatcher.runPending();  // the abandoned task must not run afterwards
    EXPECT_FALSE(ran.load());

    // Asked to stop before sending: returns at once, also on the UI thread.
    std::stop_source stopped;
    stopped.request_stop();
    EXPECT_FALSE(dispatcher.send([&] { ran = true; }, stopped.get_token()));
    EXPECT_FALSE(ran.load());
}

TEST(ManualDispatcher, SendersAreReleasedWhenTheDispatcherGoesAway) {
    std::atomic<int> result{-1};
    std::jthread worker;  // joined after the dispatcher is gone, also on failure
    auto dispatcher = std::make_unique<ManualDispatcher>();
    worker = std::jthread([&] {
        // No stop token can end this wait: only the dispatcher's end does.
        result = dispatcher->send([] {}, std::stop_token{}) ? 1 : 0;
    });
    ASSERT_TRUE(waitFor([&] { return !dispatcher->idle(); }));
    dispatcher.reset();
    worker.join();
    EXPECT_EQ(result.load(), 0);
}

}  // namespace
}  // namespace korvane::ui
