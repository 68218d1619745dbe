#include "sim/usb_device.h"

#include <algorithm>

#include "sim/report_descriptors.h"

namespace korvane::sim {

namespace {

// What a receiver answers while its device is out of reach.
Packet linkDownAnswer(uint8_t code) {
    if (code == static_cast<uint8_t>(Command::LinkQuery)) {
        const uint8_t unreachable[] = {0x00};
        return makeAnswer(code, 0, 0, kStatusOk, unreachable);
    }
    return makeAnswer(static_cast<uint8_t>(Command::LinkQuery), 0, 0, kStatusOk);
}

char hexDigit(int v) {
    return "0123456789abcdef"[v & 0x0F];
}

std::string hex16(uint16_t v) {
    return {hexDigit(v >> 12), hexDigit(v >> 8), hexDigit(v >> 4), hexDigit(v)};
}

}  // namespace

UsbDevice::UsbDevice(std::string busName, Model model, std::shared_ptr<Firmware> firmware)
    : name_(std::move(busName)),
      spec_(specOf(model)),
      firmware_(std::move(firmware)),
      interfaces_(interfacesOf(model)) {}

uint16_t UsbDevice::versionNumber() const {
    return firmware_->config().info.firmwareVersion();
}

void UsbDevice::attach(hid::VirtualDeviceHost* host) {
    std::lock_guard lock(hostMutex_);
    host_.store(host);
}

bool UsbDevice::receiveOutputReport(uint8_t interfaceNumber, std::span<const uint8_t> report,
                                    bool viaSetOutputReport) {
    // The backend keeps the host alive for the duration of this call.
    hid::VirtualDeviceHost* host = host_.load();
    const uint8_t id = report.empty() ? 0 : report[0];
    bool taken = false;
    if (host != nullptr && interfaceNumber == spec_.commandInterface && !report.empty()) {
        if (id == descriptors::kCommandReportId && report.size() == kPacketSize) {
            Packet packet;
            std::copy(report.begin(), report.end(), packet.begin());
            handleCommand(*host, packet);
            return true;
        }
        if (id == descriptors::kHeadsetLightingReportId &&
            spec_.firmware == FirmwareKind::Headset) {
            taken = firmware_->receiveLightingReport(report, viaSetOutputReport);
            if (taken) {
                std::lock_guard lock(mutex_);
                ++counters_.lightingReports;
            }
        }
    }
    // Keyboard LED state: boot interface 0 (no report id) or report id 1.
    if (!taken && host != nullptr && spec_.keyboardLeds && report.size() == 2 &&
        ((interfaceNumber == 0 && id == 0) || (interfaceNumber == 1 && id == 1))) {
        std::lock_guard lock(mutex_);
        keyboardLeds_ = report[1];
        taken = true;
    }
    if (!taken) {
        std::lock_guard lock(mutex_);
        ++counters_.refusedReports;
    }
    return taken;
}

void UsbDevice::handleCommand(hid::VirtualDeviceHost& host, const Packet& packet) {
    const FaultEffect fault = faults_.next();
    bool linkUp = true;
    std::chrono::microseconds latency{0};
    {
        std::lock_guard lock(mutex_);
        ++counters_.commandReports;
        if (fault.unplug || fault.drop) {
            ++counters_.unanswered;
        }
        linkUp = link_;
        latency = latency_;
    }
    if (fault.unplug) {
        host.requestUnplug();
        return;
    }
    if (fault.drop) {
        return;
    }

    const uint8_t code = packet[3];
    Packet answer;
    if (fault.status) {
        const CommandView cmd = view(packet);
        answer = makeAnswer(cmd.code, cmd.length, cmd.offset, *fault.status);
    } else if (spec_.receiver && !linkUp) {
        answer = linkDownAnswer(code);
    } else if (spec_.receiver && code == static_cast<uint8_t>(Command::LinkQuery)) {
        // The receiver answers the link query itself.
        const uint8_t reachable[] = {0xFF};
        answer = checksumMatches(packet) ? makeAnswer(code, 0, 0, kStatusOk, reachable)
                                         : makeAnswer(code, packet[4], 0, kStatusBadChecksum);
    } else {
        answer = firmware_->handle(packet);
    }
    if (fault.code) {
        answer[3] = *fault.code;
        seal(answer);
    }

    const auto delay = latency + fault.delay;
    uint64_t sent = 1;
    if (fault.extraAnswerCode) {
        const Packet extra = makeAnswer(*fault.extraAnswerCode, 0, 0, kStatusOk);
        host.sendInputReport(spec_.commandInterface, extra, delay);
        ++sent;
    }
    host.sendInputReport(spec_.commandInterface, answer, delay);
    std::lock_guard lock(mutex_);
    counters_.answers += sent;
}

bool UsbDevice::setLink(bool on) {
    if (!spec_.receiver) {
        return false;
    }
    std::lock_guard lock(mutex_);
    link_ = on;
    return true;
}

bool UsbDevice::link() const {
    std::lock_guard lock(mutex_);
    return link_;
}

void UsbDevice::setLatency(std::chrono::microseconds latency) {
    std::lock_guard lock(mutex_);
    latency_ = std::max(latency, std::chrono::microseconds{0});
}

std::chrono::microseconds UsbDevice::latency() const {
    std::lock_guard lock(mutex_);
    return latency_;
}

bool UsbDevice::notify(uint16_t code) {
    std::lock_guard hostLock(hostMutex_);
    hid::VirtualDeviceHost* host = host_.load();
    if (host == nullptr || (spec_.receiver && !link())) {
        return false;
    }
    firmware_->applyNotification(code);
    const uint8_t report[3] = {spec_.consumerReportId, static_cast<uint8_t>(code & 0xFF),
                               static_cast<uint8_t>(code >> 8)};
    host->sendInputReport(spec_.consumerInterface, report);
    std::lock_guard lock(mutex_);
    ++counters_.notifications;
    return true;
}

UsbDevice::Counters UsbDevice::counters() const {
    std::lock_guard lock(mutex_);
    return counters_;
}

uint8_t UsbDevice::keyboardLeds() const {
    std::lock_guard lock(mutex_);
    return keyboardLeds_;
}

Json::Value UsbDevice::toJson() const {
    Json::Value out(Json::objectValue);
    out["model"] = spec_.name;
    out["vendorId"] = hex16(spec_.vendorId);
    out["productId"] = hex16(spec_.productId);
    out["plugged"] = attached();
    out["faults"] = faults_.toJson();
    std::lock_guard lock(mutex_);
    if (spec_.receiver) {
        out["link"] = link_;
    }
    out["latencyUs"] = static_cast<Json::Int64>(latency_.count());
    Json::Value counters(Json::objectValue);
    counters["commandReports"] = static_cast<Json::UInt64>(counters_.commandReports);
    counters["answers"] = static_cast<Json::UInt64>(counters_.answers);
    counters["unanswered"] = static_cast<Json::UInt64>(counters_.unanswered);
    counters["refusedReports"] = static_cast<Json::UInt64>(counters_.refusedReports);
    counters["notifications"] = static_cast<Json::UInt64>(counters_.notifications);
    if (spec_.firmware == FirmwareKind::Headset) {
        counters["lightingReports"] = static_cast<Json::UInt64>(counters_.lightingReports);
    }
    out["counters"] = counters;
    if (spec_.keyboardLeds) {
        out["keyboardLeds"] = keyboardLeds_;
    }
    return out;
}

}  // namespace korvane::sim
