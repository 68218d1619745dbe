#include "lighting/light_stream.h"

#include <algorithm>

namespace korvane::lighting {

LightStreamFrame buildLightStream(std::span<const LedColour> colours) {
    LightStreamFrame frame;
    // LED 170 (the empty key position) and everything after it has no room in the buffer.
    const std::size_t written = std::min(colours.size(), kEmptyKeyLedIndex);
    for (std::size_t i = 0; i < written; ++i) {
        const std::size_t at = 3 * i;
        const LedColour& c = colours[i];
        frame.bytes[at] = scaleByte(c.red, c.level);
        frame.bytes[at + 1] = scaleByte(c.green, c.level);
        frame.bytes[at + 2] = scaleByte(c.blue, c.level);
    }
    frame.length = std::min(3 * colours.size(), frame.bytes.size());
    return frame;
}

}  // namespace korvane::lighting
