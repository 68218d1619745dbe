#include "devices/device_thread.h"

#include "platform/log/logger.h"

namespace korvane::devices {

DeviceThread::~DeviceThread() {
    if (thread_.joinable()) {
        thread_.request_stop();
        thread_.join();
    }
}

void DeviceThread::start(std::function<void(std::stop_token)> body) {
    if (thread_.joinable()) {
        thread_.request_stop();
        thread_.join();
    }
    auto done = std::make_shared<Done>();
    done_ = done;
    thread_ = std::jthread([body = std::move(body), done](std::stop_token stop) {
        body(stop);
        std::lock_guard lock(done->mutex);
        done->done = true;
        done->cv.notify_all();
    });
}

ThreadStop DeviceThread::stop(std::chrono::milliseconds bound, const std::function<void()>& wake) {
    if (!thread_.joinable()) {
        return ThreadStop::NotRunning;
    }
    thread_.request_stop();
    if (wake) {
        wake();
    }
    bool ended = false;
    {
        std::unique_lock lock(done_->mutex);
        ended = done_->cv.wait_for(lock, bound, [&] { return done_->done; });
    }
    log::debug(ended ? "线程退出：：对象处于激发状态\n" : "线程退出：：对象处于非激发状态，超时\n");
    thread_.join();
    done_.reset();
    return ended ? ThreadStop::Ended : ThreadStop::TimedOut;
}

bool sleepFor(const std::stop_token& stop, std::chrono::milliseconds ms) {
    std::mutex mutex;
    std::condition_variable_any cv;
    std::unique_lock lock(mutex);
    cv.wait_for(lock, stop, ms, [] { return false; });
    return !stop.stop_requested();
}

}  // namespace korvane::devices
