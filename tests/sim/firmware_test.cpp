#include <algorithm>
#include <set>

#include <gtest/gtest.h>

#include "sim/firmware_factory.h"
#include "sim/headset_firmware.h"
#include "sim/keyboard_firmware.h"
#include "sim/mouse_firmware.h"
#include "tests/sim/sim_test_support.h"

namespace korvane::sim {
namespace {

using test::Bytes;
using test::command;
using test::pattern;

Bytes roundTrip(Firmware& fw, const Bytes& packet) {
    Packet p{};
    std::copy(packet.begin(), packet.end(), p.begin());
    const Packet a = fw.handle(p);
    return Bytes(a.begin(), a.end());
}

Bytes dataOf(const Bytes& answer, size_t n) {
    return Bytes(answer.begin() + 8, answer.begin() + 8 + static_cast<std::ptrdiff_t>(n));
}

TEST(FirmwareProtocol, AnswersAreFramedAndSummed) {
    auto fw = makeFirmware(FirmwareKind::Mouse);
    const Bytes a = roundTrip(*fw, command(0x05, 12, 3));
    ASSERT_EQ(a.size(), 64u);
    EXPECT_EQ(a[0], 0x04);
    EXPECT_EQ(a[3], 0x05);
    EXPECT_EQ(a[4], 12);
    EXPECT_EQ(a[5], 3);
    EXPECT_EQ(a[6], 0);
    EXPECT_EQ(a[7], 0x00);
    EXPECT_TRUE(test::answerSumValid(a));
    EXPECT_EQ(dataOf(a, 12), fw->read(Region::Settings, 3, 12));
    // Bytes after the requested length stay zero.
    EXPECT_TRUE(std::all_of(a.begin() + 20, a.end(), [](uint8_t b) { return b == 0; }));
}

TEST(FirmwareProtocol, BadChecksumIsRefusedWithoutTouchingMemory) {
    struct Case {
        const char* what;
        void (*damage)(Bytes&);
    };
    const Case cases[] = {
        {"sum one off", [](Bytes& p) { p[1] ^= 0x01; }},
        {"sum bytes swapped", [](Bytes& p) { std::swap(p[1], p[2]); }},
        {"payload changed after sealing", [](Bytes& p) { p[20] ^= 0x40; }},
        {"byte 63 changed", [](Bytes& p) { p[63] = 0x99; }},
        {"sum that counts the report id",
         [](Bytes& p) {
             const uint16_t s = static_cast<uint16_t>(test::sumOf(p) + p[0]);
             p[1] = static_cast<uint8_t>(s);
             p[2] = static_cast<uint8_t>(s >> 8);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto fw = makeFirmware(FirmwareKind::Mouse);
        const Bytes before = fw->readAll(Region::Settings);
        Bytes p = command(0x06, 10, 20, pattern(10, 0x51));
        c.damage(p);
        const Bytes a = roundTrip(*fw, p);
        EXPECT_EQ(a[3], 0x06);
        EXPECT_EQ(a[7], 0xFF);
        EXPECT_TRUE(test::answerSumValid(a));
        EXPECT_EQ(fw->readAll(Region::Settings), before);
        EXPECT_EQ(fw->refusals().badChecksum, 1u);
        EXPECT_EQ(fw->writeSession().writesOutside, 0u);
    }
}

// Every data command, written and read back through the protocol where the
// device can read it, on the device kinds that know it.
TEST(FirmwareProtocol, DataCommandsReachTheirRegions) {
    struct Case {
        FirmwareKind kind;
        uint8_t writeCode;
        uint8_t readCode;  // 0: write-only region
        Region region;
        uint16_t offset;
        uint8_t length;
    };
    const Case cases[] = {
        {FirmwareKind::Mouse, 0x06, 0x05, Region::Settings, 128 + 14, 56},  // stages, profile 1
        {FirmwareKind::Keyboard, 0x06, 0x05, Region::Settings, 0, 26},
        {FirmwareKind::Pad, 0x06, 0x05, Region::Settings, 64, 21},
        {FirmwareKind::Headset, 0x06, 0x05, Region::Settings, 0, 21},
        {FirmwareKind::Mouse, 0x09, 0x07, Region::KeyTable, 512 + 24, 24},  // bank 1
        {FirmwareKind::Keyboard, 0x09, 0x07, Region::KeyTable, 336, 30},
        {FirmwareKind::Keyboard, 0x0B, 0x0A, Region::CustomLight, 3 * 512 + 100, 56},
        {FirmwareKind::Keyboard, 0x15, 0, Region::Macro, 4096 - 24, 24},  // last bytes
        {FirmwareKind::Mouse, 0x15, 0, Region::Macro, 0, 56},
        {FirmwareKind::Mouse, 0x17, 0, Region::Recoil, 2048 - 56, 56},
        {FirmwareKind::Mouse, 0x12, 0, Region::LightStream, 24, 21},
        {FirmwareKind::Keyboard, 0x12, 0, Region::LightStream, 336, 42},
        {FirmwareKind::Pad, 0x12, 0, Region::LightStream, 0, 45 - 24},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << toString(c.kind) << " write 0x" << std::hex
                                        << int{c.writeCode} << " at " << std::dec << c.offset);
        auto fw = makeFirmware(c.kind);
        const Bytes data = pattern(c.length, static_cast<uint8_t>(c.offset));
        const Bytes before = fw->readAll(c.region);
        const Bytes w = roundTrip(*fw, command(c.writeCode, c.length, c.offset, data));
        EXPECT_EQ(w[3], c.writeCode);
        EXPECT_EQ(w[7], 0x00);
        EXPECT_EQ(w[4], c.length);
        EXPECT_EQ(w[5] | (w[6] << 8), c.offset);
        Bytes expected = before;
        std::copy(data.begin(), data.end(), expected.begin() + c.offset);
        EXPECT_EQ(fw->readAll(c.region), expected) << "only the addressed bytes change";
        if (c.readCode != 0) {
            const Bytes r = roundTrip(*fw, command(c.readCode, c.length, c.offset));
            EXPECT_EQ(r[3], c.readCode);
            EXPECT_EQ(r[7], 0x00);
            EXPECT_EQ(dataOf(r, c.length), data);
        }
    }
}

TEST(FirmwareProtocol, ReadOnlyRegionsAnswerTheirContents) {
    FirmwareConfig config = MouseFirmware::defaultConfig();
    config.info.setKeyCount(11);
    config.info.setMacroUnits(20);
    config.info.setSensorId(0x3325);
    config.info.setSensitivityStep(50);
    config.info.setStepCount(0x0123);
    config.info.setLowestValue(0x0032);
    config.info.setFirmwareVersion(0x0A0B);
    auto fw = makeFirmware(FirmwareKind::Mouse, config);

    // Device information in two receiver-sized packets.
    const Bytes first = roundTrip(*fw, command(0x03, 24, 0));
    const Bytes second = roundTrip(*fw, command(0x03, 10, 24));
    ASSERT_EQ(first[7], 0);
    ASSERT_EQ(second[7], 0);
    Bytes info = dataOf(first, 24);
    const Bytes rest = dataOf(second, 10);
    info.insert(info.end(), rest.begin(), rest.end());
    EXPECT_EQ(info[5], 11);
    EXPECT_EQ(info[6], 20);
    EXPECT_EQ(info[9], 0x25);
    EXPECT_EQ(info[10], 0x33);
    EXPECT_EQ(info[11], 50);
    EXPECT_EQ(info[12], 0x23);
    EXPECT_EQ(info[13], 0x01);
    EXPECT_EQ(info[14], 0x32);
    EXPECT_EQ(info[15], 0x00);
    EXPECT_EQ(info[32], 0x0B);
    EXPECT_EQ(info[33], 0x0A);
    EXPECT_EQ(fw->regionSize(Region::Macro), 20u * 128);

    const Bytes power = {57, 1, 0, 0, 9, 0};
    ASSERT_TRUE(fw->write(Region::Power, 0, power));
    const Bytes a = roundTrip(*fw, command(0x1A, 6, 0));
    EXPECT_EQ(a[7], 0);
    EXPECT_EQ(dataOf(a, 6), power);
}

TEST(FirmwareProtocol, OutOfRangeAndUnknownCommandsAreRefused) {
    struct Case {
        const char* what;
        FirmwareKind kind;
        Bytes packet;
        Region region;  // must stay unchanged
    };
    const Case cases[] = {
        {"settings write past the end", FirmwareKind::Mouse,
         command(0x06, 20, 4 * 128 - 10, pattern(20, 1)), Region::Settings},
        {"settings read past the end", FirmwareKind::Keyboard, command(0x05, 26, 4 * 25),
         Region::Settings},
        {"macro write past byte 6 * 128", FirmwareKind::Keyboard,
         command(0x15, 24, 32 * 128 - 8, pattern(24, 2)), Region::Macro},
        {"length above 56", FirmwareKind::Mouse, command(0x06, 57, 0), Region::Settings},
        {"device information past 34 bytes", FirmwareKind::Mouse, command(0x03, 8, 30),
         Region::Info},
        {"key table past the last bank", FirmwareKind::Mouse,
         command(0x09, 3, 4 * 512 - 1, pattern(3, 3)), Region::KeyTable},
        {"power past 6 bytes", FirmwareKind::Pad, command(0x1A, 7, 0), Region::Power},
        {"light stream past the frame", FirmwareKind::Mouse, command(0x12, 24, 24, pattern(24, 4)),
         Region::LightStream},
        {"0x1B on the mouse", FirmwareKind::Mouse, command(0x1B, 10, 0), Region::LedIndex},
        {"0x1C on the mouse", FirmwareKind::Mouse, command(0x1C), Region::Settings},
        {"0x0B on the pad", FirmwareKind::Pad, command(0x0B, 3, 0, {1, 2, 3}), Region::CustomLight},
        {"0x17 on the keyboard", FirmwareKind::Keyboard, command(0x17, 4, 0, {1, 2, 3, 4}),
         Region::Recoil},
        {"0x09 on the headset", FirmwareKind::Headset, command(0x09, 3, 0, {1, 2, 3}),
         Region::KeyTable},
        {"unknown code", FirmwareKind::Keyboard, command(0x42, 4, 0, {1, 2, 3, 4}),
         Region::Settings},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto fw = makeFirmware(c.kind);
        const Bytes before = fw->readAll(c.region);
        const Bytes a = roundTrip(*fw, c.packet);
        EXPECT_EQ(a[3], c.packet[3]);
        EXPECT_EQ(a[7], 0xFE);
        EXPECT_TRUE(test::answerSumValid(a));
        EXPECT_TRUE(std::all_of(a.begin() + 8, a.end(), [](uint8_t b) { return b == 0; }));
        EXPECT_EQ(fw->readAll(c.region), before);
        const Refusals r = fw->refusals();
        EXPECT_EQ(r.outOfRange + r.unknownCommand, 1u);
        EXPECT_FALSE(r.last.empty());
    }
}

TEST(FirmwareState, WriteBracketAndHostLightingAreTracked) {
    auto fw = makeFirmware(FirmwareKind::Keyboard);
    roundTrip(*fw, command(0x06, 1, 5, {9}));  // outside a bracket
    roundTrip(*fw, command(0x01));
    EXPECT_TRUE(fw->writeSession().open);
    roundTrip(*fw, command(0x06, 1, 5, {9}));
    roundTrip(*fw, command(0x09, 3, 0, {1, 2, 3}));
    roundTrip(*fw, command(0x05, 1, 5));  // reads do not count
    const Bytes end = roundTrip(*fw, command(0x02));
    EXPECT_EQ(end[3], 0x02);
    EXPECT_EQ(end[7], 0);
    const Bytes take = roundTrip(*fw, command(0x1C));
    EXPECT_EQ(take[7], 0);
    roundTrip(*fw, command(0x1C));

    const WriteSession s = fw->writeSession();
    EXPECT_FALSE(s.open);
    EXPECT_EQ(s.begins, 1u);
    EXPECT_EQ(s.ends, 1u);
    EXPECT_EQ(s.writesInSession, 2u);
    EXPECT_EQ(s.writesOutside, 1u);
    EXPECT_EQ(fw->hostLightingRequests(), 2u);
    EXPECT_EQ(fw->commandCount(0x06), 2u);
    EXPECT_EQ(fw->commandCount(0x1C), 2u);
}

TEST(FirmwareState, ButtonNotificationsSwitchProfileAndStage) {
    auto mouse = makeFirmware(FirmwareKind::Mouse);
    mouse->applyNotification(0x1123);
    EXPECT_EQ(mouse->activeProfile(), 3);
    EXPECT_EQ(mouse->read(Region::Settings, 3 * 128 + 12, 1), Bytes{2});
    mouse->applyNotification(0x1001);
    EXPECT_EQ(mouse->activeProfile(), 1);
    EXPECT_EQ(mouse->read(Region::Settings, 3 * 128 + 12, 1), Bytes{2});
    // What the host reads on resync: profile byte, then that profile's block.
    const Bytes p = roundTrip(*mouse, command(0x05, 1, 0));
    EXPECT_EQ(p[8], 1);

    auto keyboard = makeFirmware(FirmwareKind::Keyboard);
    const Bytes before = keyboard->readAll(Region::Settings);
    keyboard->applyNotification(0x0503);  // not a profile code
    keyboard->applyNotification(0x1005);  // profile 5 of 4
    keyboard->applyNotification(0x0401);
    EXPECT_EQ(keyboard->readAll(Region::Settings), before);
    keyboard->applyNotification(0x1123);
    EXPECT_EQ(keyboard->activeProfile(), 3);
    Bytes expected = before;
    expected[0] = 3;  // a keyboard has no stages
    EXPECT_EQ(keyboard->readAll(Region::Settings), expected);
}

// The identifying assignments of the mouse's page positions 0..10.
const Bytes kMousePositionCodes[11] = {
    {0x10, 0x01, 0}, {0x10, 0x02, 0},    {0x10, 0x04, 0},    {0x10, 0x10, 0},
    {0x10, 0x08, 0}, {0x13, 0x01, 0},    {0x13, 0x02, 0},    {0x13, 0x03, 0},
    {0xA0, 0x1B, 0}, {0x16, 0x90, 0x01}, {0x14, 0x78, 0x02},
};

TEST(FirmwareFactoryMemory, MouseIsConsistentWithItsPage) {
    auto fw = makeFirmware(FirmwareKind::Mouse);
    const Bytes info = fw->readAll(Region::Info);
    ASSERT_EQ(info[5], 11);
    const Bytes keys = fw->read(Region::KeyTable, 0, 33);
    std::vector<int> positionOfButton;
    for (size_t k = 0; k < 11; ++k) {
        const Bytes entry(keys.begin() + 3 * k, keys.begin() + 3 * k + 3);
        const auto it =
            std::find(std::begin(kMousePositionCodes), std::end(kMousePositionCodes), entry);
        ASSERT_NE(it, std::end(kMousePositionCodes)) << "button " << k;
        positionOfButton.push_back(static_cast<int>(it - std::begin(kMousePositionCodes)));
    }
    EXPECT_EQ(std::set<int>(positionOfButton.begin(), positionOfButton.end()).size(), 11u);
    EXPECT_FALSE(std::is_sorted(positionOfButton.begin(), positionOfButton.end()))
        << "physical order must differ from the position order";
    EXPECT_EQ(fw->read(Region::KeyTable, 512, 33), keys) << "every bank starts equal";

    const Bytes block = fw->read(Region::Settings, 0, 71);
    EXPECT_EQ(block[0], 0);  // active profile
    EXPECT_LE(block[2], 5);
    EXPECT_LE(block[3], 4);
    EXPECT_LE(block[11], 4);
    EXPECT_LT(block[12], 5);
    const uint16_t steps = static_cast<uint16_t>(info[12] | (info[13] << 8));
    uint16_t last = 0;
    for (size_t s = 0; s < 5; ++s) {
        const size_t at = 14 + 9 * s;
        EXPECT_EQ(block[at], 1) << "stage " << s << " enabled";
        const uint16_t x = static_cast<uint16_t>(block[at + 2] | (block[at + 3] << 8));
        EXPECT_GT(x, last);
        EXPECT_LE(x, steps);
        last = x;
    }
    // Profiles differ, so a profile switch is visible to the host.
    EXPECT_NE(fw->read(Region::Settings, 128 + 1, 70), fw->read(Region::Settings, 1, 70));
}

TEST(FirmwareFactoryMemory, KeyboardTablesFollowTheLayout) {
    const auto& keys = KeyboardFirmware::factoryKeys();
    ASSERT_EQ(keys.size(), 122u);  // 126 positions less the four empty ones
    auto fw = makeFirmware(FirmwareKind::Keyboard);
    const Bytes table = fw->read(Region::KeyTable, 0, 3 * keys.size());
    const Bytes leds = fw->readAll(Region::LedIndex);
    ASSERT_EQ(leds.size(), 170u);

    std::set<Bytes> codes;
    std::set<int> ledNumbers;
    bool physicalDiffersFromPosition = false;
    bool ledDiffersFromPhysical = false;
    for (size_t k = 0; k < keys.size(); ++k) {
        codes.insert(Bytes(table.begin() + 3 * k, table.begin() + 3 * k + 3));
        ledNumbers.insert(leds[k]);
        EXPECT_LT(leds[k], 126);
        physicalDiffersFromPosition |= keys[k].position != k;
        ledDiffersFromPhysical |= leds[k] != k;
    }
    EXPECT_EQ(codes.size(), keys.size()) << "every key identifies one position";
    EXPECT_EQ(ledNumbers.size(), keys.size());
    EXPECT_TRUE(physicalDiffersFromPosition);
    EXPECT_TRUE(ledDiffersFromPhysical);
    EXPECT_EQ(leds[keys.size()], 0xFF);

    // A few positions checked against their defaults: Esc, Space, Fn, Right GUI, left column 5.
    const std::pair<int, Bytes> known[] = {{0, {0x20, 0, 41}},
                                           {108, {0x20, 0, 44}},
                                           {110, {0xA0, 1, 0}},
                                           {125, {0x20, 128, 0}},
                                           {124, {0xD0, 162, 5}}};
    for (const auto& [position, code] : known) {
        const auto it = std::find_if(keys.begin(), keys.end(),
                                     [&](const auto& key) { return key.position == position; });
        ASSERT_NE(it, keys.end()) << position;
        const size_t k = static_cast<size_t>(it - keys.begin());
        EXPECT_EQ(Bytes(table.begin() + 3 * k, table.begin() + 3 * k + 3), code) << position;
    }
    // Column by column: the first key is the top of the left column (extra key 1).
    EXPECT_EQ(keys[0].position, 120);
    EXPECT_EQ(keys[5].position, 21);  // Grave, top of the second column
}

TEST(FirmwareFactoryMemory, KeyCountIsConfigurable) {
    FirmwareConfig config = KeyboardFirmware::defaultConfig();
    config.info.setKeyCount(60);
    auto fw = makeFirmware(FirmwareKind::Keyboard, config);
    const Bytes table = fw->read(Region::KeyTable, 0, 512);
    EXPECT_TRUE(std::any_of(table.begin() + 177, table.begin() + 180, [](uint8_t b) { return b; }));
    EXPECT_TRUE(std::all_of(table.begin() + 180, table.end(), [](uint8_t b) { return b == 0; }));
    const Bytes leds = fw->readAll(Region::LedIndex);
    EXPECT_NE(leds[59], 0xFF);
    EXPECT_EQ(leds[60], 0xFF);

    // More keys than 170 (N * 3 above 512): the table keeps the first 170.
    config.info.setKeyCount(200);
    auto big = makeFirmware(FirmwareKind::Keyboard, config);
    EXPECT_EQ(big->readAll(Region::Info)[5], 200);
    EXPECT_EQ(big->regionSize(Region::LedIndex), 170u);

    FirmwareConfig bad = config;
    bad.profileCount = 0;
    EXPECT_FALSE(fw->reset(bad));
    EXPECT_EQ(fw->readAll(Region::Info)[5], 60) << "a refused reset changes nothing";
}

TEST(FirmwareFactoryMemory, PadKeepsItsOwnBlockBytes) {
    auto fw = makeFirmware(FirmwareKind::Pad);
    const Bytes a = roundTrip(*fw, command(0x05, 26, 0));
    ASSERT_EQ(a[7], 0);
    for (size_t i = 9; i <= 20; ++i) {
        EXPECT_NE(a[8 + i], 0) << "byte " << i;
    }
    EXPECT_LE(a[8 + 2], 5);
    EXPECT_LE(a[8 + 3], 4);
}

Bytes lightingReport(uint8_t target, uint8_t reg, const Bytes& data) {
    Bytes r(17, 0);
    r[0] = 0xFF;
    r[1] = target;
    r[2] = reg;
    std::copy(data.begin(), data.end(), r.begin() + 4);
    return r;
}

TEST(HeadsetLighting, TwelveReportsSetEveryLightOfBothTargets) {
    HeadsetFirmware fw;
    // Light i of target t: red 10+i, green 40+i, blue 70+i (+100 for target 0x44).
    for (uint8_t target : {0x22, 0x44}) {
        const int plus = target == 0x44 ? 100 : 0;
        for (int channel = 0; channel < 3; ++channel) {
            Bytes low;
            Bytes high;
            for (int i = 0; i < 13; ++i) {
                (i < 7 ? low : high).push_back(static_cast<uint8_t>(10 + 30 * channel + i + plus));
            }
            ASSERT_TRUE(fw.receiveLightingReport(
                lightingReport(target, static_cast<uint8_t>(0xAA + channel), low), true));
            ASSERT_TRUE(fw.receiveLightingReport(
                lightingReport(target, static_cast<uint8_t>(0xAD + channel), high), true));
        }
    }
    const HeadsetLighting l = fw.lighting();
    EXPECT_EQ(l.reports, 12u);  // before the padded one below
    EXPECT_EQ(l.viaSetOutputReport, 12u);
    for (int i = 0; i < 13; ++i) {
        const uint8_t b = static_cast<uint8_t>(i);
        EXPECT_EQ(l.colour(0x22, i),
                  (std::array<uint8_t, 3>{uint8_t(10 + b), uint8_t(40 + b), uint8_t(70 + b)}));
        EXPECT_EQ(l.colour(0x44, i),
                  (std::array<uint8_t, 3>{uint8_t(110 + b), uint8_t(140 + b), uint8_t(170 + b)}));
    }
    EXPECT_EQ(fw.toJson()["lighting"]["0x44"]["blue"].asString().substr(0, 4), "aaab");

    Bytes padded = lightingReport(0x22, 0xAD, {1, 2, 3, 4, 5, 6});
    padded.resize(64, 0);
    EXPECT_TRUE(fw.receiveLightingReport(padded, false));
    EXPECT_EQ(fw.lighting().colour(0x22, 12)[0], 6);

    const Bytes bad[] = {
        Bytes(16, 0xFF),  // short
        [&] {
            Bytes r = padded;
            r[40] = 1;
            return r;
        }(),                              // padding that is not padding
        lightingReport(0x33, 0xAA, {1}),  // unknown target
        lightingReport(0x22, 0xB0, {1}),  // unknown register
        [] {
            Bytes r = lightingReport(0x22, 0xAA, {1});
            r[3] = 1;
            return r;
        }(),
        [] {
            Bytes r = lightingReport(0x22, 0xAA, {1});
            r[0] = 0x04;
            return r;
        }(),
    };
    for (const Bytes& r : bad) {
        EXPECT_FALSE(fw.receiveLightingReport(r, true));
    }
    EXPECT_EQ(fw.lighting().refused, std::size(bad));
    EXPECT_EQ(fw.lighting().colour(0x22, 0)[0], 10) << "refused reports change nothing";
    EXPECT_EQ(fw.lighting().reports, 13u);
    EXPECT_EQ(fw.lighting().viaSetOutputReport, 12u);

    // The mouse has no such lights.
    EXPECT_FALSE(makeFirmware(FirmwareKind::Mouse)
                     ->receiveLightingReport(lightingReport(0x22, 0xAA, {1}), true));
}

}  // namespace
}  // namespace korvane::sim
