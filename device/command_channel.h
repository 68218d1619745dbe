#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "device/hid_channel.h"

// The 64-byte command protocol of the mice, keyboards, mouse pads and the
// headset: packet framing and checksum, the exchange with answer matching,
// cable and 2.4 GHz modes, the locks, result codes, and the operations that
// split long transfers into packets.
namespace korvane::device {

enum class ConnectionMode : int { Wired = 1, Wireless = 2 };

// Result codes shared by every command operation.
namespace result {
inline constexpr int kDone = 1;
inline constexpr int kNoAnswer = 0;          // channel not open, or no answer in time
inline constexpr int kWriteFailed = -1;
inline constexpr int kUnreachable = -101;    // the receiver cannot reach the device
inline constexpr int kStatusFF = -102;
inline constexpr int kStatusFE = -103;
inline constexpr int kBankRefused = -201;    // block write to a bank other than 0
}  // namespace result

// Command codes.
namespace cmd {
inline constexpr uint8_t kBeginWrite = 0x01;
inline constexpr uint8_t kEndWrite = 0x02;
inline constexpr uint8_t kDeviceInfo = 0x03;
inline constexpr uint8_t kReadMemory = 0x05;
inline constexpr uint8_t kWriteMemory = 0x06;
inline constexpr uint8_t kReadBlock = 0x07;
inline constexpr uint8_t kWriteBlock = 0x09;
inline constexpr uint8_t kReadPage = 0x0A;
inline constexpr uint8_t kWritePage = 0x0B;
inline constexpr uint8_t kLightData = 0x12;
inline constexpr uint8_t kWriteMacros = 0x15;
inline constexpr uint8_t kWriteShoot = 0x17;
inline constexpr uint8_t kReadStatus = 0x1A;
inline constexpr uint8_t kReadLedList = 0x1B;
inline constexpr uint8_t kHostLighting = 0x1C;
inline constexpr uint8_t kLinkQuery = 0xAA;
}  // namespace cmd

inline constexpr size_t kPacketSize = 64;
inline constexpr size_t kPayloadOffset = 8;
inline constexpr size_t kMaxPayload = kPacketSize - kPayloadOffset;  // 56
inline constexpr size_t kWirelessChunk = 24;
inline constexpr size_t kDeviceInfoSize = 34;
inline constexpr uint16_t kMaxBlockSize = 512;

using Packet = std::array<uint8_t, kPacketSize>;

// Builds one command packet: report id 0x04, checksum over bytes 3..63.
Packet buildPacket(uint8_t code, std::span<const uint8_t> payload = {}, uint16_t offset = 0);
// Recomputes bytes 1-2 of a 64-byte packet.
void writeChecksum(Packet& packet);
// The hex dump of the debug lines: two lines of 32 bytes.
std::string formatPacketDump(std::span<const uint8_t, kPacketSize> packet);

class CommandChannel {
public:
    explicit CommandChannel(hid::Backend* backend);
    ~CommandChannel();
    CommandChannel(const CommandChannel&) = delete;
    CommandChannel& operator=(const CommandChannel&) = delete;

    // ---- State ----
    HidChannel& wired() { return wired_; }
    HidChannel& wireless() { return wireless_; }
    // Held around each write and each read of an exchange; the device watch
    // takes it while it opens, closes or swaps the HID channels.
    std::mutex& exchangeLock() { return exchangeLock_; }

    bool isOpen() const { return open_.load(); }
    void setOpen(bool open) { open_.store(open); }
    bool busy() const { return busy_.load(); }
    bool isWireless() const { return isWireless_.load(); }
    size_t chunkSize() const { return chunkSize_.load(); }
    uint16_t blockSize() const { return blockSize_.load(); }

    // Mode 2 selects the receiver with 24-byte payloads; any other value the
    // cable with 56.
    void setConnectionMode(int mode);
    void setConnectionMode(ConnectionMode mode) { setConnectionMode(static_cast<int>(mode)); }
    // False (and the old size kept) above 512.
    bool setBlockSize(uint16_t size);

    // Closes both HID channels and clears the open flag.
    void closeAll();

    // ---- Exchanges ----
    // Writes one packet (padded or cut to 64 bytes) and reads until the answer
    // repeats its command code (at most two reads).
    int exchange(std::span<const uint8_t> command, std::span<uint8_t> answer, size_t& bytesRead);
    // Light data only: one write and one read on the cable, no answer matching.
    int simpleExchange(std::span<const uint8_t> command, std::span<uint8_t> answer, size_t& bytesRead);

    // ---- Operations (each returns a result code) ----
    int beginWrite();                                              // 0x01
    int endWrite();                                                // 0x02, 10 ms after the previous
    int hostLighting();                                            // 0x1C
    int readDeviceInfo(std::span<uint8_t, kDeviceInfoSize> info);  // 0x03
    int writeBlock(int bank, std::span<const uint8_t> data);       // 0x09, blockSize bytes
    int writeMacros(std::span<const uint8_t> data);                // 0x15
    int writeShootData(std::span<const uint8_t> data);             // 0x17, 56-byte packets
    int readBlock(std::span<uint8_t> out);                         // 0x07, blockSize bytes
    int readLedList(std::span<uint8_t> out);                       // 0x1B, blockSize / 3 bytes
    int readPage(int page, int pageSize, std::span<uint8_t> out);  // 0x0A
    int writePage(int page, int pageSize, std::span<const uint8_t> data);  // 0x0B
    int writeMemory(uint16_t address, std::span<const uint8_t> data);      // 0x06
    int readMemory(uint16_t address, std::span<uint8_t> out);              // 0x05
    int readMemorySingle(uint16_t address, std::span<uint8_t> out);        // 0x1A, one packet
    int streamLightData(std::span<const uint8_t> data);                    // 0x12
    // True when the device answers through the receiver (always in Wired mode).
    bool linkQuery();                                                      // 0xAA

private:
    struct Mailbox {
        Packet answer;
        std::chrono::steady_clock::time_point at;
    };

    HidChannel& current() { return isWireless_.load() ? wireless_ : wired_; }
    int timeoutMs() const { return isWireless_.load() ? 5000 : 1000; }

    // One packet of an operation with the status checks.
    int send(const Packet& packet, Packet& answer);
    int simplePacket(uint8_t code);
    // Multi-packet write/read in steps of `step`, offsets from `base`.
    // Each packet takes `lock` (when given) around its own exchange only, so other
    // traffic can slip in between the packets of a long transfer.
    int writeRange(std::mutex* lock, uint8_t code, std::span<const uint8_t> data, size_t step,
                   uint32_t base);
    int readRange(std::mutex* lock, uint8_t code, std::span<uint8_t> out, size_t step, uint32_t base);
    int lockedSend(std::mutex& lock, const Packet& packet, Packet& answer);
    bool takeFromMailbox(uint8_t code, std::chrono::steady_clock::time_point sentAt, Packet& answer);
    void putInMailbox(const Packet& answer);
    // Moves the reports waiting on `channel` into the mailbox.
    void drainStale(HidChannel& channel);

    HidChannel wired_;
    HidChannel wireless_;
    std::mutex exchangeLock_;
    std::mutex commandLock_;
    std::mutex bulkLock_;
    std::atomic<uint16_t> blockSize_{kMaxBlockSize};
    std::atomic<bool> busy_{false};
    std::atomic<bool> open_{false};
    std::atomic<bool> isWireless_{false};
    std::atomic<size_t> chunkSize_{kWirelessChunk};
    // Answers read by one exchange that belong to another one running at the
    // same time; guarded by the exchange lock.
    std::deque<Mailbox> mailbox_;
};

}  // namespace korvane::device
