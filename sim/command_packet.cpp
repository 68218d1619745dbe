#include "sim/command_packet.h"

#include <algorithm>

namespace korvane::sim {

uint16_t packetSum(const Packet& packet) {
    uint32_t sum = 0;
    for (size_t i = 3; i < kPacketSize; ++i) {
        sum += packet[i];
    }
    return static_cast<uint16_t>(sum & 0xFFFFu);
}

bool checksumMatches(const Packet& packet) {
    const uint16_t carried = static_cast<uint16_t>(packet[1] | (packet[2] << 8));
    return carried == packetSum(packet);
}

void seal(Packet& packet) {
    const uint16_t sum = packetSum(packet);
    packet[1] = static_cast<uint8_t>(sum & 0xFF);
    packet[2] = static_cast<uint8_t>(sum >> 8);
}

CommandView view(const Packet& packet) {
    CommandView v;
    v.code = packet[3];
    v.length = packet[4];
    v.offset = static_cast<uint16_t>(packet[5] | (packet[6] << 8));
    v.data = std::span<const uint8_t>(packet).subspan(kDataStart);
    return v;
}

Packet makeAnswer(uint8_t code, uint8_t length, uint16_t offset, uint8_t status,
                  std::span<const uint8_t> data) {
    Packet answer{};
    answer[0] = kCommandReportId;
    answer[3] = code;
    answer[4] = length;
    answer[5] = static_cast<uint8_t>(offset & 0xFF);
    answer[6] = static_cast<uint8_t>(offset >> 8);
    answer[7] = status;
    const size_t n = std::min(data.size(), kMaxData);
    std::copy_n(data.begin(), n, answer.begin() + kDataStart);
    seal(answer);
    return answer;
}

}  // namespace korvane::sim
