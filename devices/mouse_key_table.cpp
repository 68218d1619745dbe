#include "devices/mouse_key_table.h"

#include <algorithm>

#include "keys/macro_numbers.h"

namespace korvane::devices::mouse {

const std::array<keys::KeyAssignment, kKeyPositionCount> MouseKeyPositions = {{
    {0x10, 0x01, 0x00},
    {0x10, 0x02, 0x00},
    {0x10, 0x04, 0x00},
    {0x10, 0x10, 0x00},
    {0x10, 0x08, 0x00},
    {0x13, 0x01, 0x00},
    {0x13, 0x02, 0x00},
    {0x13, 0x03, 0x00},
    {0xA0, 0x1B, 0x00},
    {0x16, 0x90, 0x01},
    {0x14, 0x78, 0x02},
}};

PositionMap buildPositionMap(std::span<const std::uint8_t> keyTable, int keyCount) {
    PositionMap map;
    map.fill(kNoButton);
    const int buttons = std::clamp(
        keyCount, 0, static_cast<int>(std::min<std::size_t>(keyTable.size() / 3, kNoButton)));
    for (std::size_t j = 0; j < kKeyPositionCount; ++j) {
        const keys::KeyAssignment& wanted = MouseKeyPositions[j];
        for (int k = 0; k < buttons; ++k) {
            const std::size_t at = static_cast<std::size_t>(k) * 3;
            if (keys::KeyAssignment{keyTable[at], keyTable[at + 1], keyTable[at + 2]} == wanted) {
                map[j] = static_cast<std::uint8_t>(k);
                break;
            }
        }
    }
    return map;
}

KeyMatrixPlan planKeyMatrix(std::span<const std::uint8_t> keyTable, int keyCount,
                            const PositionMap& positions,
                            const std::vector<profile::KeyListEntry>& keyList, int macroCount) {
    KeyMatrixPlan plan;
    const std::size_t size = static_cast<std::size_t>(std::max(keyCount, 0)) * 3;
    plan.table.assign(size, 0);
    std::copy_n(keyTable.begin(), std::min(size, keyTable.size()), plan.table.begin());
    keys::MacroUploadNumbering numbering(macroCount);
    const std::size_t n = std::min(keyList.size(), positions.size());
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t b = positions[i];
        if (b == kNoButton) {
            continue;
        }
        const profile::KeyListEntry& entry = keyList[i];
        const keys::KeyAssignment a = numbering.map(entry.assignment, entry.defaultAssignment);
        if (b * 3 + 2 < plan.table.size()) {
            plan.table[b * 3] = a.type;
            plan.table[b * 3 + 1] = a.first;
            plan.table[b * 3 + 2] = a.second;
        }
    }
    plan.usedMacros = numbering.used();
    return plan;
}

}  // namespace korvane::devices::mouse
