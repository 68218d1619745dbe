#include "device/hid_channel.h"

#include <algorithm>

#include "device/supported_device.h"

namespace korvane::device {
namespace {

thread_local hid::IoStatus tLastStatus = hid::IoStatus::Ok;

std::vector<DataEntry> buildEntries(const std::vector<hid::Capability>& caps) {
    std::vector<DataEntry> entries;
    // Buttons first, then values, as the capability lists are read.
    for (const auto& cap : caps) {
        if (!cap.isButton) {
            continue;
        }
        DataEntry e;
        e.isButtonData = true;
        e.reportId = cap.reportId;
        e.usagePage = cap.usagePage;
        e.usageMin = cap.isRange ? cap.usageMin : cap.usage;
        e.usageMax = cap.isRange ? cap.usageMax : cap.usage;
        e.usages.assign(kMaxUsageListLength, 0);
        entries.push_back(std::move(e));
    }
    for (const auto& cap : caps) {
        if (cap.isButton) {
            continue;
        }
        uint16_t first = cap.isRange ? cap.usageMin : cap.usage;
        uint16_t last = cap.isRange ? std::max(cap.usageMin, cap.usageMax) : cap.usage;
        for (uint32_t u = first; u <= last; ++u) {
            DataEntry e;
            e.reportId = cap.reportId;
            e.usagePage = cap.usagePage;
            e.usage = static_cast<uint16_t>(u);
            entries.push_back(std::move(e));
        }
    }
    return entries;
}

const hid::Capability* findCap(const std::vector<hid::Capability>& caps, const DataEntry& e) {
    for (const auto& cap : caps) {
        if (cap.reportId != e.reportId || cap.usagePage != e.usagePage || cap.isButton != e.isButtonData) {
            continue;
        }
        if (e.isButtonData) {
            uint16_t lo = cap.isRange ? cap.usageMin : cap.usage;
            uint16_t hi = cap.isRange ? cap.usageMax : cap.usage;
            if (lo == e.usageMin && hi == e.usageMax) {
                return &cap;
            }
        } else if (cap.isRange ? (e.usage >= cap.usageMin && e.usage <= cap.usageMax)
                               : e.usage == cap.usage) {
            return &cap;
        }
    }
    return nullptr;
}

}  // namespace

struct HidChannel::OpenState {
    std::unique_ptr<hid::Device> device;
    HidCaps caps;
    mutable std::mutex entriesMutex;
    std::vector<DataEntry> entries[3];
};

HidChannel::HidChannel(hid::Backend* backend) : backend_(backend) {}

HidChannel::~HidChannel() { close(); }

bool HidChannel::enumerate() {
    std::vector<hid::InterfaceInfo> infos;
    if (backend_ == nullptr || !backend_->enumerate(infos)) {
        freePaths();
        return false;
    }
    std::lock_guard lock(mutex_);
    paths_.clear();
    paths_.reserve(infos.size());
    for (auto& info : infos) {
        paths_.push_back(std::move(info.path));
    }
    cursor_ = 0;
    return true;
}

std::optional<std::string> HidChannel::nextPath() {
    std::lock_guard lock(mutex_);
    if (cursor_ >= paths_.size()) {
        return std::nullopt;
    }
    return paths_[cursor_++];
}

void HidChannel::freePaths() {
    std::lock_guard lock(mutex_);
    paths_.clear();
    paths_.shrink_to_fit();
    cursor_ = 0;
}

bool HidChannel::open(const std::string& path, bool readAccess, bool writeAccess, bool overlapped,
                      bool exclusive) {
    close();
    if (backend_ == nullptr) {
        return false;
    }
    hid::OpenMode mode{readAccess, writeAccess, overlapped, exclusive};
    std::unique_ptr<hid::Device> device = backend_->open(path, mode);
    if (!device) {
        return false;
    }
    auto st = std::make_shared<OpenState>();
    const hid::Collection& c = device->collection();
    st->caps.usage = c.usage;
    st->caps.usagePage = c.usagePage;
    st->caps.inputReportByteLength = c.inputReportByteLength;
    st->caps.outputReportByteLength = c.outputReportByteLength;
    st->caps.featureReportByteLength = c.featureReportByteLength;
    st->caps.numberLinkCollectionNodes = c.linkCollections;
    auto count = [](const std::vector<hid::Capability>& caps, bool buttons) {
        return static_cast<uint16_t>(std::count_if(caps.begin(), caps.end(),
                                                   [&](const auto& cap) { return cap.isButton == buttons; }));
    };
    st->caps.numberInputButtonCaps = count(c.inputCaps, true);
    st->caps.numberInputValueCaps = count(c.inputCaps, false);
    st->caps.numberOutputButtonCaps = count(c.outputCaps, true);
    st->caps.numberOutputValueCaps = count(c.outputCaps, false);
    st->caps.numberFeatureButtonCaps = count(c.featureCaps, true);
    st->caps.numberFeatureValueCaps = count(c.featureCaps, false);
    st->entries[0] = buildEntries(c.inputCaps);
    st->entries[1] = buildEntries(c.outputCaps);
    st->entries[2] = buildEntries(c.featureCaps);
    st->device = std::move(device);

    std::lock_guard lock(mutex_);
    state_ = std::move(st);
    path_ = path;
    interfaceNumber_ = interfaceNumberFromPath(path);
    collectionNumber_ = collectionNumberFromPath(path);
    return true;
}

void HidChannel::close() {
    std::shared_ptr<OpenState> old;
    {
        std::lock_guard lock(mutex_);
        old = std::move(state_);
        state_.reset();
    }
    if (old) {
        // Wakes a read blocked on another thread; that thread still holds the
        // state and releases it when its read returns.
        old->device->close();
    }
}

bool HidChannel::isOpen() const { return state() != nullptr; }

std::shared_ptr<HidChannel::OpenState> HidChannel::state() const {
    std::lock_guard lock(mutex_);
    return state_;
}

bool HidChannel::read(std::span<uint8_t> buffer, size_t& transferred, int timeoutMs) {
    transferred = 0;
    auto st = state();
    if (!st) {
        tLastStatus = hid::IoStatus::Error;
        return false;
    }
    tLastStatus = st->device->read(buffer, transferred, timeoutMs);
    return tLastStatus == hid::IoStatus::Ok;
}

bool HidChannel::write(std::span<const uint8_t> buffer, size_t& transferred, int timeoutMs) {
    transferred = 0;
    auto st = state();
    if (!st) {
        tLastStatus = hid::IoStatus::Error;
        return false;
    }
    tLastStatus = st->device->write(buffer, transferred, timeoutMs);
    return tLastStatus == hid::IoStatus::Ok;
}

bool HidChannel::setOutputReport(std::span<const uint8_t> report) {
    auto st = state();
    return st && st->device->setOutputReport(report);
}

void HidChannel::cancel() {
    if (auto st = state()) {
        st->device->cancel();
    }
}

hid::IoStatus HidChannel::lastStatus() const { return tLastStatus; }

bool HidChannel::unpack(std::span<const uint8_t> report, hid::ReportType type) {
    auto st = state();
    if (!st || report.empty()) {
        return false;
    }
    const auto& caps = st->device->collection().caps(type);
    std::lock_guard lock(st->entriesMutex);
    for (DataEntry& e : st->entries[static_cast<int>(type)]) {
        if (e.reportId != report[0]) {
            continue;
        }
        const hid::Capability* cap = findCap(caps, e);
        if (cap == nullptr) {
            return false;
        }
        if (e.isButtonData) {
            std::vector<uint16_t> on = hid::getUsages(*cap, report);
            std::fill(e.usages.begin(), e.usages.end(), 0);
            size_t n = 0;
            for (uint16_t u : on) {
                if (u >= e.usageMin && u <= e.usageMax && n < e.usages.size()) {
                    e.usages[n++] = u;
                }
            }
            e.usageCount = n;
        } else {
            auto raw = hid::getUsageValue(*cap, e.usage, report);
            if (!raw) {
                return false;
            }
            e.rawValue = *raw;
            e.scaledValue = hid::getScaledUsageValue(*cap, e.usage, report).value_or(0);
        }
        e.isDataSet = true;
    }
    return true;
}

std::vector<DataEntry> HidChannel::entries(hid::ReportType type) const {
    auto st = state();
    if (!st) {
        return {};
    }
    std::lock_guard lock(st->entriesMutex);
    return st->entries[static_cast<int>(type)];
}

std::optional<uint16_t> HidChannel::firstUsage(std::span<const uint8_t> report) {
    if (!unpack(report, hid::ReportType::Input)) {
        return std::nullopt;
    }
    auto st = state();
    if (!st) {
        return std::nullopt;
    }
    std::lock_guard lock(st->entriesMutex);
    const auto& input = st->entries[0];
    if (input.empty() || !input.front().isButtonData || input.front().reportId != report[0]) {
        return std::nullopt;
    }
    return input.front().usages.empty() ? 0 : input.front().usages.front();
}

std::string HidChannel::path() const {
    std::lock_guard lock(mutex_);
    return path_;
}

HidCaps HidChannel::caps() const {
    auto st = state();
    return st ? st->caps : HidCaps{};
}

hid::Attributes HidChannel::attributes() const {
    auto st = state();
    return st ? st->device->attributes() : hid::Attributes{};
}

uint16_t HidChannel::interfaceNumber() const {
    std::lock_guard lock(mutex_);
    return interfaceNumber_;
}

uint16_t HidChannel::collectionNumber() const {
    std::lock_guard lock(mutex_);
    return collectionNumber_;
}

uint16_t HidChannel::inputReportLength() const { return caps().inputReportByteLength; }

}  // namespace korvane::device
