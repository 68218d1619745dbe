#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFrame>
#include <QThread>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "platform/qt/qt_control.h"
#include "platform/qt/qt_dispatcher.h"
#include "qt_test_environment.h"
#include "ui/memory_control.h"

namespace korvane::qt {
namespace {

using test::waitUntil;

// Waits without running the event loop (the UI thread stays "busy").
template <typename Pred>
bool spinUntil(Pred done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// Lets the event loop run until `fired` of a beacon timer reaches `count`, so the
// loop has turned many times past whatever else was due.
void pumpPast(QtDispatcher& dispatcher, ui::Control& beacon, int intervalMs, int count) {
    int fired = 0;
    beacon.setTimerHandler([&fired](const ui::Notification&) { ++fired; });
    dispatcher.startTimer(beacon, 99, intervalMs, ui::TimerMode::Periodic);
    EXPECT_TRUE(waitUntil([&] { return fired >= count; }));
    dispatcher.killTimer(beacon, 99);
    beacon.setTimerHandler(nullptr);
}

TEST(QtDispatcher, OneShotAndPeriodicTimersOnControls) {
    QtDispatcher dispatcher;
    QFrame window;
    window.setObjectName("tab");
    ui::Control* tab = QtControl::of(&window);
    std::vector<std::int64_t> ids;
    tab->setTimerHandler([&](const ui::Notification& n) {
        EXPECT_TRUE(n.is(ui::notify::kTimer));
        EXPECT_EQ(n.sender, tab);
        ids.push_back(n.wParam);
    });
    ASSERT_TRUE(dispatcher.startTimer(*tab, 1001, 5));
    EXPECT_TRUE(dispatcher.isTimerRunning(*tab, 1001));
    ASSERT_TRUE(waitUntil([&] { return !ids.empty(); }));
    EXPECT_EQ(ids, (std::vector<std::int64_t>{1001}));
    EXPECT_FALSE(dispatcher.isTimerRunning(*tab, 1001));  // one-shot

    ids.clear();
    dispatcher.startTimer(*tab, 1000, 1, ui::TimerMode::Periodic);
    ASSERT_TRUE(waitUntil([&] { return ids.size() >= 3; }));
    EXPECT_TRUE(dispatcher.killTimer(*tab, 1000));
    EXPECT_FALSE(dispatcher.killTimer(*tab, 1000));
    EXPECT_FALSE(dispatcher.isTimerRunning(*tab, 1000));
    const std::size_t afterKill = ids.size();
    QFrame other;
    pumpPast(dispatcher, *QtControl::of(&other), 5, 5);
    EXPECT_EQ(ids.size(), afterKill);

    // Only controls of this toolkit can own its timers.
    ui::MemoryControl memory("Container", "memory");
    EXPECT_FALSE(dispatcher.startTimer(memory, 1, 1));
    EXPECT_FALSE(dispatcher.isTimerRunning(memory, 1));
}

TEST(QtDispatcher, TimersOfADestroyedControlNeverFire) {
    QtDispatcher dispatcher;
    int fired = 0;
    auto* doomed = new QFrame;
    QtControl::of(doomed)->setTimerHandler([&](const ui::Notification&) { ++fired; });
    dispatcher.startTimer(*QtControl::of(doomed), 7, 1, ui::TimerMode::Periodic);
    delete doomed;
    QFrame beacon;
    pumpPast(dispatcher, *QtControl::of(&beacon), 5, 5);
    EXPECT_EQ(fired, 0);
}

TEST(QtDispatcher, TimerWithoutItsOwnHandlerGoesToTheWindow) {
    QtDispatcher dispatcher;
    test::LoadedPage page;
    ui::Control* layout = QtControl::of(page.root)->find("device_tab");
    dispatcher.startTimer(*layout, 1055, 1);
    ASSERT_TRUE(waitUntil([&] { return !page.log.empty(); }));
    EXPECT_EQ(page.log, (std::vector<std::string>{"timer:device_tab:1055"}));
}

TEST(QtDispatcher, PostAndSendFromWorkersRunOnTheUiThread) {
    QtDispatcher dispatcher;
    const std::thread::id uiThread = std::this_thread::get_id();
    std::vector<int> order;  // touched on the UI thread only
    std::atomic<int> sendResult{-1};
    int sentValue = 0;  // written by the UI thread, read by the sender after send returned
    int seenBySender = 0;
    {
        std::jthread worker([&](std::stop_token stop) {
            for (int i = 0; i < 3; ++i) {
                dispatcher.post([&, i] {
                    EXPECT_EQ(std::this_thread::get_id(), uiThread);
                    order.push_back(i);
                });
            }
            const bool ok = dispatcher.send(
                [&] {
                    EXPECT_EQ(std::this_thread::get_id(), uiThread);
                    sentValue = 42;
                },
                stop);
            seenBySender = sentValue;
            sendResult = ok ? 1 : 0;
        });
        ASSERT_TRUE(waitUntil([&] { return sendResult.load() != -1; }));
    }
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(sendResult.load(), 1);
    EXPECT_EQ(seenBySender, 42);

    // On the UI thread send runs at once.
    int inline_ = 0;
    std::stop_source stop;
    EXPECT_TRUE(dispatcher.send([&] { inline_ = 1; }, stop.get_token()));
    EXPECT_EQ(inline_, 1);
}

TEST(QtDispatcher, SendGivesUpWhenItsThreadIsAskedToStop) {
    QtDispatcher dispatcher;
    std::atomic<bool> ran{false};
    std::atomic<int> result{-1};
    {
        std::jthread worker([&](std::stop_token stop) {
            result = dispatcher.send([&] { ran = true; }, stop) ? 1 : 0;
        });
        // The UI thread is busy here (it does not run its loop) and stops the worker,
        // as the window does at shutdown while the device watch waits in send.
        ASSERT_TRUE(spinUntil([&] { return dispatcher.pendingTasks() == 1; }));
        worker.request_stop();
    }  // joined: the sender did not hang
    EXPECT_EQ(result.load(), 0);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_FALSE(ran.load());  // and its task never runs later
}

TEST(QtDispatcher, SendersAreReleasedWhenTheDispatcherGoesAway) {
    std::atomic<int> result{-1};
    std::jthread worker;  // joined after the dispatcher is gone, also on failure
    auto dispatcher = std::make_unique<QtDispatcher>();
    QtDispatcher* raw = dispatcher.get();
    worker = std::jthread([&] {
        // No stop token can end this wait: only the dispatcher's end does.
        result = raw->send([] {}, std::stop_token{}) ? 1 : 0;
    });
    ASSERT_TRUE(spinUntil([&] { return raw->pendingTasks() == 1; }));
    dispatcher.reset();
    worker.join();
    EXPECT_EQ(result.load(), 0);
}

}  // namespace
}  // namespace korvane::qt
