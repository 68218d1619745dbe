#include "lighting/reactive.h"

#include <gtest/gtest.h>

#include <numeric>

namespace korvane::lighting {
namespace {

TEST(FadeLed, StepTable) {
    struct Case {
        int mode;
        std::uint8_t before;
        std::uint8_t after;
    };
    const Case cases[] = {
        // mode 0: 0x80 −40, 0x40 −30, 0x20 −15, >16 −8, else −1, 0 stays
        {0, 200, 160},
        {0, 255, 215},
        {0, 128, 88},
        {0, 127, 97},
        {0, 64, 34},
        {0, 63, 48},
        {0, 32, 17},
        {0, 20, 12},
        {0, 17, 9},
        {0, 16, 15},
        {0, 10, 9},
        {0, 1, 0},
        {0, 0, 0},
        // mode 29: any of 0x90 −45, any of 0x60 −35, else −1; byte arithmetic wraps
        {29, 200, 155},
        {29, 128, 83},
        {29, 0x10, 0xE3},
        {29, 0x1F, 0xF2},
        {29, 0x40, 29},
        {29, 0x20, 0xFD},
        {29, 0x6F, 76},
        {29, 15, 14},
        {29, 1, 0},
        {29, 0, 0},
        // every other mode: as mode 0 but 0x20 −10
        {5, 200, 160},
        {5, 64, 34},
        {5, 63, 53},
        {5, 32, 22},
        {5, 20, 12},
        {5, 10, 9},
        {5, 0, 0},
        {-1, 32, 22},
        {7, 255, 215},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "mode " << c.mode << " value " << int(c.before));
        EXPECT_EQ(fadeStep(c.before, c.mode), c.after);
        ReactiveArea area;
        area.intensity[42] = c.before;
        fadeLed(area, 42, c.mode);
        EXPECT_EQ(area.intensity[42], c.after);
    }
}

TEST(FadeLed, FadingFromFullReachesZeroAndStays) {
    for (const int mode : {0, 5, 29}) {
        SCOPED_TRACE(mode);
        std::uint8_t v = 255;
        int steps = 0;
        while (v != 0 && steps < 300) {
            v = fadeStep(v, mode);
            ++steps;
        }
        EXPECT_EQ(v, 0);
        EXPECT_LT(steps, 300);
        EXPECT_EQ(fadeStep(0, mode), 0);
    }
}

TEST(FadeLed, IndexOutsideAreaIsIgnored) {
    ReactiveArea area;
    area.intensity.fill(100);
    fadeLed(area, 170, 0);
    fadeLed(area, static_cast<std::size_t>(-1), 0);
    for (const std::uint8_t v : area.intensity) {
        EXPECT_EQ(v, 100);
    }
    fadeLed(area, 169, 0);
    EXPECT_EQ(area.intensity[169], 70);
}

TEST(LightFirstNine, RingEntriesZeroToEightLightTheNextLed) {
    ReactiveArea area;
    area.intensity[5] = 33;
    area.ring[0] = 1;
    area.ring[4] = 0;
    area.ring[8] = 200;
    area.ring[9] = 1;  // beyond the first nine
    lightFirstNine(area);
    for (std::size_t i = 0; i < area.intensity.size(); ++i) {
        SCOPED_TRACE(i);
        const std::uint8_t expected = (i == 1 || i == 9) ? 255 : (i == 5 ? 33 : 0);
        EXPECT_EQ(area.intensity[i], expected);
    }
}

TEST(RotateRing, BothWaysWholeAndPartial) {
    std::array<std::uint8_t, 23> start{};
    std::iota(start.begin(), start.end(), 1);  // 1 … 23

    struct Case {
        const char* name;
        std::size_t count;
        bool up;
        std::array<std::uint8_t, 23> expected;
    };
    const Case cases[] = {
        {"whole ring up", 23, true, {23, 1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11,
                                     12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22}},
        {"whole ring down", 23, false, {2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13,
                                        14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 1}},
        {"first eight up", 8, true, {8,  1,  2,  3,  4,  5,  6,  7,  9,  10, 11, 12,
                                     13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23}},
        {"first eight down", 8, false, {2,  3,  4,  5,  6,  7,  8,  1,  9,  10, 11, 12,
                                        13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23}},
        {"count past the ring turns it whole", 1000, true, {23, 1,  2,  3,  4,  5,  6,  7,
                                                            8,  9,  10, 11, 12, 13, 14, 15,
                                                            16, 17, 18, 19, 20, 21, 22}},
        {"one entry does not move", 1, true, start},
        {"nothing to turn", 0, false, start},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReactiveArea area;
        area.ring = start;
        if (c.count == 23) {
            rotateRing(area, c.up);
        } else {
            rotateRingFirst(area, c.count, c.up);
        }
        EXPECT_EQ(area.ring, c.expected);
    }
}

TEST(RotateRing, TwentyThreeTurnsComeBack) {
    ReactiveArea area;
    std::iota(area.ring.begin(), area.ring.end(), 1);
    const auto start = area.ring;
    for (int i = 0; i < 23; ++i) {
        rotateRing(area, true);
    }
    EXPECT_EQ(area.ring, start);
}

TEST(ClearReactive, ZeroesIntensitiesAndRing) {
    ReactiveArea area;
    area.intensity.fill(9);
    area.ring.fill(9);
    clearReactive(area);
    EXPECT_EQ(area.intensity, (std::array<std::uint8_t, 170>{}));
    EXPECT_EQ(area.ring, (std::array<std::uint8_t, 23>{}));
}

}  // namespace
}  // namespace korvane::lighting
