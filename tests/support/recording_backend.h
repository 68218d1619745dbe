#pragma once

#include <functional>
#include <memory>
#include <span>
#include <mutex>
#include <string>
#include <vector>

#include "platform/hid/hid_backend.h"

// A backend decorator that records every report the program writes, so tests
// can look at the packets on the wire.
namespace korvane::testing {

class RecordingBackend : public hid::Backend {
public:
    explicit RecordingBackend(hid::Backend& inner) : inner_(inner) {}

    struct Written {
        std::string path;
        std::vector<uint8_t> bytes;
    };

    std::vector<Written> writes() const {
        std::lock_guard lock(mutex_);
        return writes_;
    }
    // The written reports whose byte 3 (the command code) is `code`.
    std::vector<std::vector<uint8_t>> packets(uint8_t code) const {
        std::vector<std::vector<uint8_t>> out;
        for (const auto& w : writes()) {
            if (w.bytes.size() > 3 && w.bytes[3] == code) {
                out.push_back(w.bytes);
            }
        }
        return out;
    }
    // Runs before each written report is passed on (tests inject faults with it).
    void setOnWrite(std::function<void(std::span<const uint8_t>)> hook) {
        std::lock_guard lock(mutex_);
        onWrite_ = std::move(hook);
    }
    void clear() {
        std::lock_guard lock(mutex_);
        writes_.clear();
    }

    std::string name() const override { return inner_.name(); }
    bool enumerate(std::vector<hid::InterfaceInfo>& out) override { return inner_.enumerate(out); }
    void setTrace(std::shared_ptr<hid::WireTrace> trace) override { inner_.setTrace(std::move(trace)); }
    std::unique_ptr<hid::Device> open(const std::string& path, const hid::OpenMode& mode) override {
        auto device = inner_.open(path, mode);
        if (!device) {
            return nullptr;
        }
        return std::make_unique<Recorded>(std::move(device), *this);
    }

private:
    class Recorded : public hid::Device {
    public:
        Recorded(std::unique_ptr<hid::Device> inner, RecordingBackend& owner)
            : inner_(std::move(inner)), owner_(owner) {}
        const std::string& path() const override { return inner_->path(); }
        const hid::Attributes& attributes() const override { return inner_->attributes(); }
        const hid::Collection& collection() const override { return inner_->collection(); }
        hid::IoStatus read(std::span<uint8_t> b, size_t& n, int t) override { return inner_->read(b, n, t); }
        hid::IoStatus write(std::span<const uint8_t> r, size_t& n, int t) override {
            std::function<void(std::span<const uint8_t>)> hook;
            {
                std::lock_guard lock(owner_.mutex_);
                owner_.writes_.push_back({inner_->path(), std::vector<uint8_t>(r.begin(), r.end())});
                hook = owner_.onWrite_;
            }
            if (hook) {
                hook(r);
            }
            return inner_->write(r, n, t);
        }
        bool setOutputReport(std::span<const uint8_t> r) override { return inner_->setOutputReport(r); }
        void cancel() override { inner_->cancel(); }
        void close() override { inner_->close(); }

    private:
        std::unique_ptr<hid::Device> inner_;
        RecordingBackend& owner_;
    };

    hid::Backend& inner_;
    mutable std::mutex mutex_;
    std::vector<Written> writes_;
    std::function<void(std::span<const uint8_t>)> onWrite_;
};

// The path of the collection of `busName` with this usage page, or "" when none.
inline std::string findPath(hid::Backend& backend, const std::string& busName, uint16_t usagePage) {
    std::vector<hid::InterfaceInfo> infos;
    backend.enumerate(infos);
    for (const auto& info : infos) {
        if (info.usagePage == usagePage && info.path.rfind("sim:" + busName + "#", 0) == 0) {
            return info.path;
        }
    }
    return {};
}

}  // namespace korvane::testing
