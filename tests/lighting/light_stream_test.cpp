#include "lighting/light_stream.h"

#include <gtest/gtest.h>

#include <vector>

namespace korvane::lighting {
namespace {

TEST(LightStream, ChannelsScaledByLevel) {
    struct Case {
        LedColour colour;
        std::array<std::uint8_t, 3> bytes;
    };
    const Case cases[] = {
        {{255, 0, 0, 128}, {127, 0, 0}},     {{255, 255, 255, 255}, {254, 254, 254}},
        {{200, 100, 1, 0}, {0, 0, 0}},       {{16, 32, 64, 16}, {1, 2, 4}},
        {{0, 255, 180, 205}, {0, 204, 144}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << int(c.colour.red) << "," << int(c.colour.green) << ","
                                          << int(c.colour.blue) << " @" << int(c.colour.level));
        const std::vector<LedColour> colours = {c.colour};
        const LightStreamFrame frame = buildLightStream(colours);
        ASSERT_EQ(frame.length, 3u);
        EXPECT_EQ(frame.bytes[0], c.bytes[0]);
        EXPECT_EQ(frame.bytes[1], c.bytes[1]);
        EXPECT_EQ(frame.bytes[2], c.bytes[2]);
    }
}

TEST(LightStream, ThreeBytesPerLedAtThreeTimesIndex) {
    std::vector<LedColour> colours(15);
    for (std::size_t i = 0; i < colours.size(); ++i) {
        colours[i] = LedColour{static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i + 100),
                               static_cast<std::uint8_t>(i + 200), 255};
    }
    const LightStreamFrame frame = buildLightStream(colours);
    EXPECT_EQ(frame.length, 45u);
    EXPECT_EQ(frame.data().size(), 45u);
    for (std::size_t i = 0; i < colours.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(frame.bytes[3 * i], scaleByte(colours[i].red, 255));
        EXPECT_EQ(frame.bytes[3 * i + 1], scaleByte(colours[i].green, 255));
        EXPECT_EQ(frame.bytes[3 * i + 2], scaleByte(colours[i].blue, 255));
    }
    for (std::size_t at = 45; at < frame.bytes.size(); ++at) {
        EXPECT_EQ(frame.bytes[at], 0) << at;
    }
}

TEST(LightStream, LengthIsThreeTimesLedCountCappedAtBuffer) {
    struct Case {
        std::size_t leds;
        std::size_t length;
    };
    const Case cases[] = {{0, 0}, {1, 3}, {15, 45}, {126, 378}, {170, 510}, {171, 512}, {400, 512}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.leds);
        const std::vector<LedColour> colours(c.leds, LedColour{255, 255, 255, 255});
        EXPECT_EQ(buildLightStream(colours).length, c.length);
    }
}

TEST(LightStream, Index170IsNeverWritten) {
    std::vector<LedColour> colours(200, LedColour{});
    colours[169] = {255, 255, 255, 255};
    colours[170] = {255, 255, 255, 255};
    colours[171] = {255, 255, 255, 255};
    const LightStreamFrame frame = buildLightStream(colours);
    EXPECT_EQ(frame.bytes[507], 254);
    EXPECT_EQ(frame.bytes[509], 254);
    EXPECT_EQ(frame.bytes[510], 0);
    EXPECT_EQ(frame.bytes[511], 0);
}

}  // namespace
}  // namespace korvane::lighting
