#include "app/device_watch.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/hid/sim_backend.h"
#include "sim/simulator.h"
#include "ui/manual_dispatcher.h"

namespace korvane::app {
namespace {

// Runs the watch on its thread and the handlers on this one.
class WatchTest : public ::testing::Test {
protected:
    hid::SimBackend bus;
    sim::Simulator simulator{sim::busFor(bus)};
    ui::ManualDispatcher dispatcher;
    device::SlotList slots = device::makeSlotList();
    std::vector<std::string> events;
    int firstScans = 0;
    DeviceWatch watch{bus, slots, dispatcher,
                      DeviceWatch::Handlers{
                          [this](size_t s) { events.push_back("found " + std::to_string(s)); },
                          [this](size_t s) { events.push_back("lost " + std::to_string(s)); },
                          [this] { ++firstScans; }}};
    std::jthread thread;

    void start() {
        thread = std::jthread([this](std::stop_token stop) { watch.run(stop); });
    }
    // Runs the UI side until `done` holds (bounded by a generous real-time limit).
    template <typename Pred>
    bool pumpUntil(Pred done) {
        auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!done()) {
            if (std::chrono::steady_clock::now() > limit) return false;
            dispatcher.advance(1);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }
    // Lets the watch make `n` more passes.
    void passes(unsigned n) {
        unsigned target = watch.passes() + n;
        ASSERT_TRUE(pumpUntil([&] { return watch.passes() >= target; }));
    }
    ~WatchTest() override {
        // A synchronous send gives up on the stop request, so this never hangs.
        thread.request_stop();
        if (thread.joinable()) thread.join();
    }
};

TEST_F(WatchTest, NothingPluggedPostsTheFirstScanOnceAndNothingElse) {
    start();
    passes(3);
    EXPECT_EQ(firstScans, 1);
    EXPECT_TRUE(events.empty());
}

TEST_F(WatchTest, BothInterfacesOfADeviceAreFoundAndLost) {
    start();
    passes(1);
    ASSERT_TRUE(simulator.plug("mouse"));
    ASSERT_TRUE(pumpUntil([&] { return events.size() >= 2; }));
    // In enumeration order: the consumer collection comes first in the descriptor.
    EXPECT_EQ(events, (std::vector<std::string>{"found 5", "found 4"}));
    EXPECT_EQ(slots[4].path, "sim:mouse#vid_320f&pid_221c&mi_01&col04");
    ASSERT_TRUE(simulator.unplug("mouse"));
    ASSERT_TRUE(pumpUntil([&] { return events.size() >= 4; }));
    // The presence check walks the slots in order.
    EXPECT_EQ(events[2], "lost 4");
    EXPECT_EQ(events[3], "lost 5");
    EXPECT_FALSE(slots[4].isBound());
}

TEST_F(WatchTest, ASecondIdenticalDeviceIsNotReported) {
    ASSERT_TRUE(simulator.plug("mouse"));
    start();
    ASSERT_TRUE(pumpUntil([&] { return events.size() >= 2; }));
    ASSERT_TRUE(simulator.plug("mouse", "mouse-2"));
    passes(3);
    EXPECT_EQ(events.size(), 2u);
    // Once the first goes, the twin takes its slots.
    ASSERT_TRUE(simulator.unplug("mouse"));
    ASSERT_TRUE(pumpUntil([&] { return events.size() >= 6; }));
    EXPECT_EQ(events[4], "found 5");
    EXPECT_EQ(events[5], "found 4");
    EXPECT_EQ(slots[4].path.rfind("sim:mouse-2#", 0), 0u);
}

TEST_F(WatchTest, StopEndsTheWatchWhileItWaitsForTheWindow) {
    ASSERT_TRUE(simulator.plug("keyboard"));
    start();
    // Nobody runs the UI side: the watch blocks in its synchronous send until stopped.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    thread.request_stop();
    thread.join();
    SUCCEED();
}

}  // namespace
}  // namespace korvane::app
