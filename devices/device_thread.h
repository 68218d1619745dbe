// A device object's worker thread (light preview, notification reader) with a bounded stop:
// the stop request is signalled, an optional wake-up unblocks the thread, and the caller waits
// at most the bound, writing one of the debug texts of the device family.
//
// A C++ thread cannot be killed: when the bound passes (which the threads' bounded or
// cancellable waits never let happen) the time-out is written and the thread is still joined,
// because it uses its device object, which must not go away under it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <stop_token>
#include <thread>

namespace korvane::devices {

enum class ThreadStop {
    NotRunning,
    Ended,     // ended within the bound
    TimedOut,  // ended only after the bound
};

class DeviceThread {
  public:
    DeviceThread() = default;
    ~DeviceThread();  // stops the thread (no bound, no text)
    DeviceThread(const DeviceThread&) = delete;
    DeviceThread& operator=(const DeviceThread&) = delete;

    // Starts `body`; a running thread is stopped first (no bound, no text).
    void start(std::function<void(std::stop_token)> body);
    bool running() const { return thread_.joinable(); }

    // Asks the thread to stop, runs `wake`, waits at most `bound` and writes
    // "线程退出：：对象处于激发状态" (ended) or "线程退出：：对象处于非激发状态，超时" (timed out).
    ThreadStop stop(std::chrono::milliseconds bound, const std::function<void()>& wake = {});

  private:
    struct Done {
        std::mutex mutex;
        std::condition_variable cv;
        bool done = false;
    };

    std::shared_ptr<Done> done_;
    std::jthread thread_;
};

// Waits until `ms` have passed or a stop is requested; false when stopped.
bool sleepFor(const std::stop_token& stop, std::chrono::milliseconds ms);

}  // namespace korvane::devices
