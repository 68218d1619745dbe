#include "sim/firmware.h"

#include <algorithm>
#include <cstdio>

#include "sim/hex_text.h"

namespace korvane::sim {

namespace {

const char* const kRegionNames[kRegionCount] = {
    "deviceInformation", "settings", "keyTable", "ledIndex",
    "customLight",       "macro",    "recoil",   "power",
    "lightStream",
};

std::string hexByte(uint8_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02x", value);
    return text;
}

struct RegionCommand {
    Command command;
    Region region;
    bool isWrite;
};

// Commands that read or write one region at the packet's offset.
constexpr RegionCommand kRegionCommands[] = {
    {Command::ReadInfo, Region::Info, false},
    {Command::ReadSettings, Region::Settings, false},
    {Command::WriteSettings, Region::Settings, true},
    {Command::ReadKeyTable, Region::KeyTable, false},
    {Command::WriteKeyTable, Region::KeyTable, true},
    {Command::ReadLedIndex, Region::LedIndex, false},
    {Command::ReadCustomLight, Region::CustomLight, false},
    {Command::WriteCustomLight, Region::CustomLight, true},
    {Command::LightStream, Region::LightStream, true},
    {Command::WriteMacro, Region::Macro, true},
    {Command::WriteRecoil, Region::Recoil, true},
    {Command::ReadPower, Region::Power, false},
};

}  // namespace

const char* toString(FirmwareKind kind) {
    switch (kind) {
        case FirmwareKind::Mouse:
            return "mouse";
        case FirmwareKind::Keyboard:
            return "keyboard";
        case FirmwareKind::Pad:
            return "pad";
        case FirmwareKind::Headset:
            return "headset";
    }
    return "unknown";
}

const char* regionName(Region region) {
    const auto index = static_cast<size_t>(region);
    return index < kRegionCount ? kRegionNames[index] : "unknown";
}

Firmware::Firmware(FirmwareKind kind, size_t settingsStride, size_t settingsBlockSize)
    : kind_(kind), settingsStride_(settingsStride), settingsBlockSize_(settingsBlockSize) {}

void Firmware::initialise(const FirmwareConfig& config) {
    if (!reset(config)) {
        FirmwareConfig fallback = config;
        fallback.profileCount = 1;
        reset(fallback);
    }
}

bool Firmware::reset(const FirmwareConfig& config) {
    if (config.profileCount < 1 || config.profileCount > kMaxProfiles) {
        return false;
    }
    Layout layout = layoutFor(config);
    layout.settingsStride = settingsStride_;
    layout.settingsBlockSize = settingsBlockSize_;
    const auto profiles = static_cast<size_t>(config.profileCount);
    layout.sizes[static_cast<size_t>(Region::Settings)] =
        std::max(profiles * settingsStride_, (profiles - 1) * settingsStride_ + settingsBlockSize_);
    layout.sizes[static_cast<size_t>(Region::Info)] = DeviceInformation::kSize;

    Memory memory;
    for (size_t i = 0; i < kRegionCount; ++i) {
        memory[i].assign(layout.sizes[i], 0);
    }
    std::copy(config.info.bytes.begin(), config.info.bytes.end(),
              regionOf(memory, Region::Info).begin());
    fillFactoryMemory(config, memory);

    std::lock_guard lock(mutex_);
    config_ = config;
    layout_ = layout;
    memory_ = std::move(memory);
    session_ = {};
    refusals_ = {};
    hostLightingRequests_ = 0;
    lightStreamChunks_ = 0;
    commandCounts_.clear();
    clearState();
    return true;
}

FirmwareConfig Firmware::config() const {
    std::lock_guard lock(mutex_);
    return config_;
}

Packet Firmware::refuse(const CommandView& cmd, uint8_t status, uint64_t& counter,
                        std::string reason) {
    ++counter;
    refusals_.last = hexByte(cmd.code) + ": " + std::move(reason);
    return makeAnswer(cmd.code, cmd.length, cmd.offset, status);
}

Packet Firmware::accessRegion(const CommandView& cmd, Region region, bool isWrite) {
    std::vector<uint8_t>& bytes = memory_[static_cast<size_t>(region)];
    if (bytes.empty()) {
        return refuse(cmd, kStatusRefused, refusals_.unknownCommand, "unknown command");
    }
    if (cmd.length > kMaxData || size_t{cmd.offset} + cmd.length > bytes.size()) {
        char reason[96];
        std::snprintf(reason, sizeof reason, "%u bytes at %u outside %s (%zu bytes)",
                      unsigned{cmd.length}, unsigned{cmd.offset}, regionName(region), bytes.size());
        return refuse(cmd, kStatusRefused, refusals_.outOfRange, reason);
    }
    uint8_t* const at = bytes.data() + cmd.offset;
    if (isWrite) {
        std::copy_n(cmd.data.begin(), cmd.length, at);
        if (region == Region::LightStream) {
            ++lightStreamChunks_;
        } else if (session_.open) {
            ++session_.writesInSession;
        } else {
            ++session_.writesOutside;
        }
        return makeAnswer(cmd.code, cmd.length, cmd.offset, kStatusOk);
    }
    return makeAnswer(cmd.code, cmd.length, cmd.offset, kStatusOk,
                      std::span<const uint8_t>(at, cmd.length));
}

Packet Firmware::handle(const Packet& packet) {
    const CommandView cmd = view(packet);
    std::lock_guard lock(mutex_);
    ++commandCounts_[cmd.code];
    if (!checksumMatches(packet)) {
        return refuse(cmd, kStatusBadChecksum, refusals_.badChecksum, "bad checksum");
    }
    switch (static_cast<Command>(cmd.code)) {
        case Command::BeginWrite:
            session_.open = true;
            ++session_.begins;
            return makeAnswer(cmd.code, 0, cmd.offset, kStatusOk);
        case Command::EndWrite:
            session_.open = false;
            ++session_.ends;
            return makeAnswer(cmd.code, 0, cmd.offset, kStatusOk);
        case Command::LinkQuery: {
            // Reached directly, the device is its own link.
            const uint8_t reachable[] = {0xFF};
            return makeAnswer(cmd.code, 0, cmd.offset, kStatusOk, reachable);
        }
        case Command::HostLighting:
            if (!layout_.takesHostLighting) {
                break;
            }
            ++hostLightingRequests_;
            return makeAnswer(cmd.code, 0, cmd.offset, kStatusOk);
        default:
            for (const RegionCommand& rc : kRegionCommands) {
                if (static_cast<uint8_t>(rc.command) == cmd.code) {
                    return accessRegion(cmd, rc.region, rc.isWrite);
                }
            }
            break;
    }
    return refuse(cmd, kStatusRefused, refusals_.unknownCommand, "unknown command");
}

void Firmware::applyNotification(uint16_t code) {
    const uint8_t high = static_cast<uint8_t>(code >> 8);
    if (high != 0x10 && high != 0x11) {
        return;
    }
    const int profile = code & 0x0F;
    const int stage = (code >> 4) & 0x0F;
    std::lock_guard lock(mutex_);
    if (profile >= config_.profileCount) {
        return;
    }
    std::vector<uint8_t>& settings = regionOf(memory_, Region::Settings);
    settings[0] = static_cast<uint8_t>(profile);
    if (high == 0x11 && layout_.stageByte >= 0) {
        const size_t at =
            settingsStride_ * static_cast<size_t>(profile) + static_cast<size_t>(layout_.stageByte);
        if (at < settings.size()) {
            settings[at] = static_cast<uint8_t>(stage);
        }
    }
}

bool Firmware::receiveLightingReport(std::span<const uint8_t>, bool) {
    return false;
}

size_t Firmware::regionSize(Region region) const {
    std::lock_guard lock(mutex_);
    return memory_[static_cast<size_t>(region)].size();
}

std::vector<uint8_t> Firmware::read(Region region, size_t offset, size_t length) const {
    std::lock_guard lock(mutex_);
    const std::vector<uint8_t>& bytes = memory_[static_cast<size_t>(region)];
    if (offset > bytes.size() || length > bytes.size() - offset) {
        return {};
    }
    return {bytes.begin() + static_cast<std::ptrdiff_t>(offset),
            bytes.begin() + static_cast<std::ptrdiff_t>(offset + length)};
}

std::vector<uint8_t> Firmware::readAll(Region region) const {
    std::lock_guard lock(mutex_);
    return memory_[static_cast<size_t>(region)];
}

bool Firmware::write(Region region, size_t offset, std::span<const uint8_t> bytes) {
    std::lock_guard lock(mutex_);
    std::vector<uint8_t>& target = memory_[static_cast<size_t>(region)];
    if (offset > target.size() || bytes.size() > target.size() - offset) {
        return false;
    }
    std::copy(bytes.begin(), bytes.end(), target.begin() + static_cast<std::ptrdiff_t>(offset));
    return true;
}

uint8_t Firmware::activeProfile() const {
    std::lock_guard lock(mutex_);
    const std::vector<uint8_t>& settings = memory_[static_cast<size_t>(Region::Settings)];
    return settings.empty() ? 0 : settings[0];
}

size_t Firmware::settingsBlockAddress(int profile) const {
    return settingsStride_ * static_cast<size_t>(std::max(profile, 0));
}

WriteSession Firmware::writeSession() const {
    std::lock_guard lock(mutex_);
    return session_;
}

Refusals Firmware::refusals() const {
    std::lock_guard lock(mutex_);
    return refusals_;
}

uint64_t Firmware::hostLightingRequests() const {
    std::lock_guard lock(mutex_);
    return hostLightingRequests_;
}

uint64_t Firmware::commandCount(uint8_t code) const {
    std::lock_guard lock(mutex_);
    const auto it = commandCounts_.find(code);
    return it == commandCounts_.end() ? 0 : it->second;
}

uint64_t Firmware::lightStreamChunks() const {
    std::lock_guard lock(mutex_);
    return lightStreamChunks_;
}

Json::Value Firmware::toJson() const {
    std::lock_guard lock(mutex_);
    Json::Value out(Json::objectValue);
    out["kind"] = toString(kind_);
    out["profileCount"] = config_.profileCount;
    const std::vector<uint8_t>& settings = memory_[static_cast<size_t>(Region::Settings)];
    out["activeProfile"] = settings.empty() ? 0 : settings[0];
    out["settingsStride"] = static_cast<Json::UInt64>(settingsStride_);
    out["settingsBlockSize"] = static_cast<Json::UInt64>(settingsBlockSize_);

    Json::Value regions(Json::objectValue);
    for (size_t i = 0; i < kRegionCount; ++i) {
        if (!memory_[i].empty()) {
            regions[kRegionNames[i]] = toHex(memory_[i]);
        }
    }
    out["regions"] = regions;

    Json::Value session(Json::objectValue);
    session["open"] = session_.open;
    session["begins"] = static_cast<Json::UInt64>(session_.begins);
    session["ends"] = static_cast<Json::UInt64>(session_.ends);
    session["writesInSession"] = static_cast<Json::UInt64>(session_.writesInSession);
    session["writesOutside"] = static_cast<Json::UInt64>(session_.writesOutside);
    out["writeSession"] = session;

    Json::Value refused(Json::objectValue);
    refused["badChecksum"] = static_cast<Json::UInt64>(refusals_.badChecksum);
    refused["unknownCommand"] = static_cast<Json::UInt64>(refusals_.unknownCommand);
    refused["outOfRange"] = static_cast<Json::UInt64>(refusals_.outOfRange);
    refused["last"] = refusals_.last;
    out["refusals"] = refused;

    if (layout_.takesHostLighting) {
        out["hostLightingRequests"] = static_cast<Json::UInt64>(hostLightingRequests_);
    }
    out["lightStreamChunks"] = static_cast<Json::UInt64>(lightStreamChunks_);

    Json::Value commands(Json::objectValue);
    for (const auto& [code, count] : commandCounts_) {
        commands[hexByte(code)] = static_cast<Json::UInt64>(count);
    }
    out["commands"] = commands;
    addJson(out);
    return out;
}

}  // namespace korvane::sim
