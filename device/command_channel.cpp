#include "device/command_channel.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <thread>

#include "platform/log/logger.h"

namespace korvane::device {
namespace {

constexpr size_t kMailboxLimit = 8;

void copyInto(std::span<uint8_t> dst, std::span<const uint8_t> src) {
    std::memcpy(dst.data(), src.data(), std::min(dst.size(), src.size()));
}

}  // namespace

void writeChecksum(Packet& packet) {
    uint32_t sum = 0;
    for (size_t i = 3; i < kPacketSize; ++i) {
        sum += packet[i];
    }
    packet[1] = static_cast<uint8_t>(sum & 0xff);
    packet[2] = static_cast<uint8_t>((sum >> 8) & 0xff);
}

Packet buildPacket(uint8_t code, std::span<const uint8_t> payload, uint16_t offset) {
    Packet p{};
    p[0] = 0x04;
    p[3] = code;
    size_t n = std::min(payload.size(), kMaxPayload);
    p[4] = static_cast<uint8_t>(n);
    p[5] = static_cast<uint8_t>(offset & 0xff);
    p[6] = static_cast<uint8_t>(offset >> 8);
    p[7] = 0;
    if (n > 0) {
        std::memcpy(p.data() + kPayloadOffset, payload.data(), n);
    }
    writeChecksum(p);
    return p;
}

std::string formatPacketDump(std::span<const uint8_t, kPacketSize> packet) {
    std::string out;
    for (size_t line = 0; line < 2; ++line) {
        for (size_t i = 0; i < 32; ++i) {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%02x", packet[line * 32 + i]);
            out += hex;
            if (i == 31) {
                break;
            }
            // Groups of four: three spaces after each of the first three, two after the rest.
            if (i % 4 == 3) {
                out += i < 12 ? "   " : "  ";
            } else {
                out += ' ';
            }
        }
        if (line == 0) {
            out += '\n';
        }
    }
    return out;
}

CommandChannel::CommandChannel(hid::Backend* backend) : wired_(backend), wireless_(backend) {}

CommandChannel::~CommandChannel() { closeAll(); }

void CommandChannel::setConnectionMode(int mode) {
    if (mode == static_cast<int>(ConnectionMode::Wireless)) {
        isWireless_.store(true);
        chunkSize_.store(kWirelessChunk);
    } else {
        isWireless_.store(false);
        chunkSize_.store(kMaxPayload);
    }
}

bool CommandChannel::setBlockSize(uint16_t size) {
    if (size > kMaxBlockSize) {
        return false;
    }
    blockSize_.store(size);
    return true;
}

void CommandChannel::closeAll() {
    open_.store(false);
    // Closing first wakes a reader blocked in an exchange, so the lock frees up.
    wired_.close();
    wireless_.close();
    std::lock_guard lock(exchangeLock_);
    wired_.close();
    wireless_.close();
}

bool CommandChannel::takeFromMailbox(uint8_t code, std::chrono::steady_clock::time_point sentAt,
                                     Packet& answer) {
    auto now = std::chrono::steady_clock::now();
    auto maxAge = std::chrono::milliseconds(timeoutMs());
    for (auto it = mailbox_.begin(); it != mailbox_.end();) {
        if (now - it->at > maxAge) {
            it = mailbox_.erase(it);
            continue;
        }
        // An answer taken off the device before our packet went out is not ours.
        if (it->answer[3] == code && it->at >= sentAt) {
            answer = it->answer;
            mailbox_.erase(it);
            return true;
        }
        ++it;
    }
    return false;
}

void CommandChannel::drainStale(HidChannel& channel) {
    Packet stale{};
    size_t n = 0;
    for (int i = 0; i < 16 && channel.read(stale, n, 0); ++i) {
        putInMailbox(stale);
    }
}

void CommandChannel::putInMailbox(const Packet& answer) {
    if (mailbox_.size() >= kMailboxLimit) {
        mailbox_.pop_front();
    }
    mailbox_.push_back(Mailbox{answer, std::chrono::steady_clock::now()});
}

int CommandChannel::exchange(std::span<const uint8_t> command, std::span<uint8_t> answer,
                             size_t& bytesRead) {
    busy_.store(true);
    bytesRead = 0;
    if (!open_.load()) {
        busy_.store(false);
        return result::kNoAnswer;
    }
    Packet out{};
    copyInto(out, command);
    if (log::enabled()) {
        log::debug("命令");
        log::debug(formatPacketDump(out));
    }

    Packet in{};
    int res = result::kNoAnswer;
    {
        std::unique_lock lock(exchangeLock_);
        const bool wireless = isWireless_.load();
        HidChannel& channel = wireless ? wireless_ : wired_;
        const int timeout = wireless ? 5000 : 1000;
        // Reports already waiting are answers to earlier packets (a late answer
        // after a time-out, or another thread's); they must not pass for ours.
        drainStale(channel);
        const auto sentAt = std::chrono::steady_clock::now();
        size_t written = 0;
        bool ok = channel.write(out, written, timeout);
        lock.unlock();
        if (!ok) {
            busy_.store(false);
            return result::kWriteFailed;
        }
        // Another thread may write between our write and our reads; answers are
        // told apart by their command code.
        lock.lock();
        for (int attempt = 0; attempt < 2; ++attempt) {
            size_t n = 0;
            if (takeFromMailbox(out[3], sentAt, in)) {
                res = result::kDone;
                bytesRead = kPacketSize;
                break;
            }
            bool got = channel.read(in, n, timeout);
            res = got ? result::kDone : result::kNoAnswer;
            bytesRead = n;
            if (got && in[3] == out[3]) {
                break;
            }
            if (got && wireless && in[3] == cmd::kLinkQuery && out[3] != cmd::kLinkQuery) {
                res = result::kUnreachable;
                break;
            }
            if (got) {
                putInMailbox(in);
            }
        }
    }
    copyInto(answer, in);
    if (log::enabled()) {
        log::debug("返回");
        log::debug(formatPacketDump(in));
    }
    busy_.store(false);
    return res;
}

int CommandChannel::simpleExchange(std::span<const uint8_t> command, std::span<uint8_t> answer,
                                   size_t& bytesRead) {
    bytesRead = 0;
    if (!open_.load()) {
        return result::kNoAnswer;
    }
    Packet out{};
    copyInto(out, command);
    size_t written = 0;
    {
        std::lock_guard lock(exchangeLock_);
        drainStale(wired_);
        if (!wired_.write(out, written, 1000)) {
            return result::kWriteFailed;
        }
    }
    Packet in{};
    bool got = false;
    {
        std::lock_guard lock(exchangeLock_);
        got = wired_.read(in, bytesRead, 1000);
        // A configuration answer that arrived first still belongs to its exchange.
        if (got && in[3] != out[3]) {
            putInMailbox(in);
        }
    }
    copyInto(answer, in);
    return got ? result::kDone : result::kNoAnswer;
}

int CommandChannel::send(const Packet& packet, Packet& answer) {
    size_t n = 0;
    int res = exchange(packet, answer, n);
    if (res != result::kDone) {
        return res;
    }
    if (answer[7] == 0xFF) {
        return result::kStatusFF;
    }
    if (answer[7] == 0xFE) {
        return result::kStatusFE;
    }
    return result::kDone;
}

int CommandChannel::simplePacket(uint8_t code) {
    std::lock_guard lock(commandLock_);
    Packet answer{};
    return send(buildPacket(code), answer);
}

int CommandChannel::writeRange(std::mutex* lock, uint8_t code, std::span<const uint8_t> data,
                               size_t step, uint32_t base) {
    for (size_t offset = 0; offset < data.size(); offset += step) {
        size_t n = std::min(step, data.size() - offset);
        Packet packet =
            buildPacket(code, data.subspan(offset, n), static_cast<uint16_t>(base + offset));
        Packet answer{};
        int res = lock ? lockedSend(*lock, packet, answer) : send(packet, answer);
        if (res != result::kDone) {
            return res;
        }
    }
    return result::kDone;
}

int CommandChannel::readRange(std::mutex* lock, uint8_t code, std::span<uint8_t> out, size_t step,
                              uint32_t base) {
    for (size_t offset = 0; offset < out.size(); offset += step) {
        size_t n = std::min(step, out.size() - offset);
        Packet packet = buildPacket(code, {}, static_cast<uint16_t>(base + offset));
        packet[4] = static_cast<uint8_t>(n);
        writeChecksum(packet);
        Packet answer{};
        int res = lock ? lockedSend(*lock, packet, answer) : send(packet, answer);
        if (res != result::kDone) {
            return res;
        }
        std::memcpy(out.data() + offset, answer.data() + kPayloadOffset, n);
    }
    return result::kDone;
}

int CommandChannel::lockedSend(std::mutex& lock, const Packet& packet, Packet& answer) {
    std::lock_guard guard(lock);
    return send(packet, answer);
}

int CommandChannel::beginWrite() { return simplePacket(cmd::kBeginWrite); }

int CommandChannel::endWrite() {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return simplePacket(cmd::kEndWrite);
}

int CommandChannel::hostLighting() { return simplePacket(cmd::kHostLighting); }

int CommandChannel::readDeviceInfo(std::span<uint8_t, kDeviceInfoSize> info) {
    return readRange(&commandLock_, cmd::kDeviceInfo, info, chunkSize(), 0);
}

int CommandChannel::writeBlock(int bank, std::span<const uint8_t> data) {
    if (bank != 0) {
        return result::kBankRefused;
    }
    std::vector<uint8_t> block(blockSize(), 0);
    copyInto(block, data);
    return writeRange(&commandLock_, cmd::kWriteBlock, block, chunkSize(), 0);
}

int CommandChannel::writeMacros(std::span<const uint8_t> data) {
    return writeRange(&commandLock_, cmd::kWriteMacros, data, chunkSize(), 0);
}

int CommandChannel::writeShootData(std::span<const uint8_t> data) {
    return writeRange(nullptr, cmd::kWriteShoot, data, kMaxPayload, 0);
}

int CommandChannel::readBlock(std::span<uint8_t> out) {
    size_t total = std::min<size_t>(blockSize(), out.size());
    return readRange(&commandLock_, cmd::kReadBlock, out.first(total), chunkSize(), 0);
}

int CommandChannel::readLedList(std::span<uint8_t> out) {
    size_t total = std::min<size_t>(blockSize() / 3, out.size());
    return readRange(&commandLock_, cmd::kReadLedList, out.first(total), chunkSize(), 0);
}

int CommandChannel::readPage(int page, int pageSize, std::span<uint8_t> out) {
    uint32_t base = static_cast<uint32_t>(page) * static_cast<uint32_t>(pageSize);
    return readRange(&bulkLock_, cmd::kReadPage, out, chunkSize(), base);
}

int CommandChannel::writePage(int page, int pageSize, std::span<const uint8_t> data) {
    uint32_t base = static_cast<uint32_t>(page) * static_cast<uint32_t>(pageSize);
    return writeRange(&bulkLock_, cmd::kWritePage, data, chunkSize(), base);
}

int CommandChannel::writeMemory(uint16_t address, std::span<const uint8_t> data) {
    return writeRange(&commandLock_, cmd::kWriteMemory, data, chunkSize(), address);
}

int CommandChannel::readMemory(uint16_t address, std::span<uint8_t> out) {
    return readRange(&commandLock_, cmd::kReadMemory, out, chunkSize(), address);
}

int CommandChannel::readMemorySingle(uint16_t address, std::span<uint8_t> out) {
    // One packet whatever the mode; its payload room bounds the length.
    size_t n = std::min(out.size(), kMaxPayload);
    return readRange(&commandLock_, cmd::kReadStatus, out.first(n), kMaxPayload, address);
}

int CommandChannel::streamLightData(std::span<const uint8_t> data) {
    const size_t step = chunkSize();
    Packet last{};
    bool seen = false;
    for (size_t offset = 0; offset < data.size(); offset += step) {
        if (busy_.load()) {
            log::debug("放弃灯光数据");
            continue;
        }
        if (isWireless_.load()) {
            continue;  // animated frames never go over the 2.4 GHz link
        }
        size_t n = std::min(step, data.size() - offset);
        Packet packet = buildPacket(cmd::kLightData, data.subspan(offset, n), static_cast<uint16_t>(offset));
        std::lock_guard lock(bulkLock_);
        size_t got = 0;
        int res = simpleExchange(packet, last, got);
        if (res != result::kDone) {
            return res;
        }
        seen = true;
    }
    if (seen && last[7] == 0xFF) {
        return result::kStatusFF;
    }
    if (seen && last[7] == 0xFE) {
        return result::kStatusFE;
    }
    return result::kDone;
}

bool CommandChannel::linkQuery() {
    if (!isWireless_.load()) {
        return true;
    }
    std::lock_guard lock(commandLock_);
    Packet answer{};
    size_t n = 0;
    int res = exchange(buildPacket(cmd::kLinkQuery), answer, n);
    return res == result::kDone && answer[7] != 0xFF && answer[7] != 0xFE && answer[8] == 0xFF;
}

}  // namespace korvane::device
