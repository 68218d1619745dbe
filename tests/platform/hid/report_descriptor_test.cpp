#include "platform/hid/report_descriptor.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <json/json.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace korvane::hid {
namespace {

using ::testing::AnyOf;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using Bytes = std::vector<uint8_t>;

// "05 01 09 02" -> bytes; descriptors below are written the way HID tools print them.
Bytes hexBytes(const std::string& text) {
    Bytes out;
    std::istringstream in(text);
    std::string token;
    while (in >> token) {
        out.push_back(static_cast<uint8_t>(std::stoul(token, nullptr, 16)));
    }
    return out;
}

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) {
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}

// One capability as a line: kind, report id, page, usage or range, bit size,
// count, byte.bit position, link collection, and the array/padding marks.
std::string describe(const Capability& c) {
    char usage[32];
    if (c.isRange) {
        std::snprintf(usage, sizeof usage, "r%x-%x", c.usageMin, c.usageMax);
    } else {
        std::snprintf(usage, sizeof usage, "u%x", c.usage);
    }
    char line[128];
    std::snprintf(line, sizeof line, "%s id%u p%x %s s%u c%u @%u.%u lc%u%s%s",
                  c.isButton ? "B" : "V", c.reportId, c.usagePage, usage, c.bitSize, c.reportCount,
                  c.bytePosition, c.bitPosition, c.linkCollection, c.isArray ? " arr" : "",
                  c.isPadding ? " pad" : "");
    return line;
}

std::vector<std::string> describeAll(const std::vector<Capability>& caps) {
    std::vector<std::string> out;
    for (const Capability& c : caps) {
        out.push_back(describe(c));
    }
    return out;
}

std::vector<Collection> parseOk(const Bytes& descriptor) {
    ParseError error;
    auto result = parseReportDescriptor(descriptor, &error);
    EXPECT_TRUE(result.has_value()) << "offset " << error.offset << ": " << error.message;
    return result ? *result : std::vector<Collection>{};
}

// ---- Descriptors of common devices ----------------------------------------

// The boot keyboard of the HID standard's appendix: modifier bits, a reserved
// byte, LED output bits with padding, six key-code array slots.
const Bytes kBootKeyboard = hexBytes(
    "05 01 09 06 a1 01 05 07 19 e0 29 e7 15 00 25 01 75 01 95 08 81 02"
    " 95 01 75 08 81 01"
    " 95 05 75 01 05 08 19 01 29 05 91 02 95 01 75 03 91 01"
    " 95 06 75 08 15 00 25 65 05 07 19 00 29 65 81 00 c0");

// Five buttons, X/Y and wheel as relative bytes inside a physical collection.
const Bytes kMouse = hexBytes(
    "05 01 09 02 a1 01 09 01 a1 00 05 09 19 01 29 05 15 00 25 01 95 05 75 01 81 02"
    " 95 01 75 03 81 01"
    " 05 01 09 30 09 31 09 38 15 81 25 7f 75 08 95 03 81 06 c0 c0");

// Consumer control whose one 16-bit array slot carries a usage of 0..0x1FFF.
const Bytes kConsumer =
    hexBytes("05 0c 09 01 a1 01 15 00 26 ff 1f 19 00 2a ff 1f 75 10 95 01 81 00 c0");

// The command interface: vendor page 0xFF1C usage 0x92, report 4, 63 data bytes each way.
const Bytes kVendor = hexBytes(
    "06 1c ff 09 92 a1 01 85 04 09 01 15 00 26 ff 00 75 08 95 3f 81 02"
    " 09 01 91 02 c0");

// The same four functions in one interface, told apart by report id.
const Bytes kMouseId1 = hexBytes(
    "05 01 09 02 a1 01 85 01 09 01 a1 00 05 09 19 01 29 05 15 00 25 01 95 05 75 01 81 02"
    " 95 01 75 03 81 01"
    " 05 01 09 30 09 31 09 38 15 81 25 7f 75 08 95 03 81 06 c0 c0");
const Bytes kKeyboardId2 = hexBytes(
    "05 01 09 06 a1 01 85 02 05 07 19 e0 29 e7 15 00 25 01 75 01 95 08 81 02"
    " 95 01 75 08 81 01"
    " 95 05 75 01 05 08 19 01 29 05 91 02 95 01 75 03 91 01"
    " 95 06 75 08 15 00 25 65 05 07 19 00 29 65 81 00 c0");
const Bytes kConsumerId3 =
    hexBytes("05 0c 09 01 a1 01 85 03 15 00 26 ff 1f 19 00 2a ff 1f 75 10 95 01 81 00 c0");
const Bytes kVendorId4 = kVendor;
const Bytes kComposite = concat({kMouseId1, kKeyboardId2, kConsumerId3, kVendorId4});

struct ExpectedCollection {
    uint16_t usagePage;
    uint16_t usage;
    std::vector<uint8_t> reportIds;
    uint16_t inputLength, outputLength, featureLength;
    uint16_t linkCollections;
    std::vector<std::string> input, output, feature;  // describe() lines in descriptor order
};

struct DeviceCase {
    const char* name;
    Bytes descriptor;
    std::vector<ExpectedCollection> collections;
};

std::vector<std::string> mouseInput(uint8_t id) {
    const std::string i = std::to_string(id);
    return {"B id" + i + " p9 r1-5 s1 c5 @1.0 lc1", "V id" + i + " p1 u30 s8 c1 @2.0 lc1",
            "V id" + i + " p1 u31 s8 c1 @3.0 lc1", "V id" + i + " p1 u38 s8 c1 @4.0 lc1"};
}
std::vector<std::string> keyboardInput(uint8_t id) {
    const std::string i = std::to_string(id);
    return {"B id" + i + " p7 re0-e7 s1 c8 @1.0 lc0", "B id" + i + " p7 r0-65 s8 c6 @3.0 lc0 arr"};
}
std::vector<std::string> keyboardOutput(uint8_t id) {
    return {"B id" + std::to_string(id) + " p8 r1-5 s1 c5 @1.0 lc0"};
}

const std::vector<DeviceCase>& deviceCases() {
    // clang-format off
    static const std::vector<DeviceCase> cases = {
        {"boot keyboard",
         kBootKeyboard,
         {{1, 6, {}, 9, 2, 0, 1, keyboardInput(0), keyboardOutput(0), {}}}},
        {"five-button mouse with wheel", kMouse, {{1, 2, {}, 5, 0, 0, 2, mouseInput(0), {}, {}}}},
        {"consumer control",
         kConsumer,
         {{0x0c, 1, {}, 3, 0, 0, 1, {"B id0 pc r0-1fff s16 c1 @1.0 lc0 arr"}, {}, {}}}},
        {"vendor command interface",
         kVendor,
         {{0xff1c, 0x92, {4}, 64, 64, 0, 1, {"V id4 pff1c u1 s8 c63 @1.0 lc0"},
           {"V id4 pff1c u1 s8 c63 @1.0 lc0"}, {}}}},
        {"mouse, keyboard, consumer and vendor in one interface",
         kComposite,
         {{1, 2, {1}, 5, 0, 0, 2, mouseInput(1), {}, {}},
          {1, 6, {2}, 9, 2, 0, 1, keyboardInput(2), keyboardOutput(2), {}},
          {0x0c, 1, {3}, 3, 0, 0, 1, {"B id3 pc r0-1fff s16 c1 @1.0 lc0 arr"}, {}, {}},
          {0xff1c, 0x92, {4}, 64, 64, 0, 1, {"V id4 pff1c u1 s8 c63 @1.0 lc0"},
           {"V id4 pff1c u1 s8 c63 @1.0 lc0"}, {}}}},
        {"nested collections are numbered in descriptor order",
         // application > logical(1) > physical(2), then logical(3) > physical(4)
         hexBytes("05 01 09 04 a1 01 09 00 a1 02 09 01 a1 00 09 30 75 08 95 01 81 02 c0"
                  " 09 31 81 02 c0 09 00 a1 02 09 01 a1 00 09 32 81 02 c0 c0 09 33 81 02 c0"),
         {{1, 4, {}, 5, 0, 0, 5, {"V id0 p1 u30 s8 c1 @1.0 lc2", "V id0 p1 u31 s8 c1 @2.0 lc1",
                                  "V id0 p1 u32 s8 c1 @3.0 lc4", "V id0 p1 u33 s8 c1 @4.0 lc0"},
           {}, {}}}},
        {"longest report per type over several report ids",
         hexBytes("06 00 ff 09 01 a1 01 75 08 85 01 95 02 09 01 81 02 85 02 95 07 09 02 81 02"
                  " 85 03 95 03 09 03 b1 02 85 01 95 04 09 04 91 02 c0"),
         {{0xff00, 1, {1, 2, 3}, 8, 5, 4, 1,
           {"V id1 pff00 u1 s8 c2 @1.0 lc0", "V id2 pff00 u2 s8 c7 @1.0 lc0"},
           {"V id1 pff00 u4 s8 c4 @1.0 lc0"},
           {"V id3 pff00 u3 s8 c3 @1.0 lc0"}}}},
    };
    // clang-format on
    return cases;
}

TEST(ReportDescriptor, CommonDevices) {
    for (const DeviceCase& c : deviceCases()) {
        SCOPED_TRACE(c.name);
        const std::vector<Collection> got = parseOk(c.descriptor);
        ASSERT_EQ(got.size(), c.collections.size());
        for (size_t i = 0; i < got.size(); ++i) {
            SCOPED_TRACE("collection " + std::to_string(i));
            const ExpectedCollection& want = c.collections[i];
            EXPECT_EQ(got[i].usagePage, want.usagePage);
            EXPECT_EQ(got[i].usage, want.usage);
            EXPECT_EQ(got[i].reportIds, want.reportIds);
            EXPECT_EQ(got[i].inputReportByteLength, want.inputLength);
            EXPECT_EQ(got[i].outputReportByteLength, want.outputLength);
            EXPECT_EQ(got[i].featureReportByteLength, want.featureLength);
            EXPECT_EQ(got[i].linkCollections, want.linkCollections);
            EXPECT_EQ(describeAll(got[i].inputCaps), want.input);
            EXPECT_EQ(describeAll(got[i].outputCaps), want.output);
            EXPECT_EQ(describeAll(got[i].featureCaps), want.feature);
            EXPECT_EQ(got[i].reportByteLength(ReportType::Output), want.outputLength);
            EXPECT_EQ(&got[i].caps(ReportType::Feature), &got[i].featureCaps);
        }
    }
}

TEST(ReportDescriptor, ReportIdOwnership) {
    const std::vector<Collection> got = parseOk(kComposite);
    ASSERT_EQ(got.size(), 4u);
    for (uint8_t c = 0; c < 4; ++c) {
        for (int id = 0; id < 256; ++id) {
            EXPECT_EQ(got[c].ownsReportId(static_cast<uint8_t>(id)), id == c + 1)
                << "collection " << int{c} << " id " << id;
        }
    }
    const std::vector<Collection> unnumbered = parseOk(kMouse);
    ASSERT_EQ(unnumbered.size(), 1u);
    EXPECT_TRUE(unnumbered[0].ownsReportId(0));
    EXPECT_FALSE(unnumbered[0].ownsReportId(1));
}

// ---- Item rules, one small descriptor each ----------------------------------

struct RuleCase {
    const char* name;
    std::string body;  // main items inside "06 00 ff 09 01 a1 01 ... c0"
    std::vector<std::string> input;
    uint16_t inputLength;
};

TEST(ReportDescriptor, ItemRules) {
    // clang-format off
    const std::vector<RuleCase> cases = {
        {"the last usage takes the remaining fields",
         "05 01 09 30 09 31 75 08 95 04 81 02",
         {"V id0 p1 u30 s8 c1 @1.0 lc0", "V id0 p1 u31 s8 c3 @2.0 lc0"}, 5},
        {"usages beyond the report count are dropped",
         "05 01 09 30 09 31 09 32 75 08 95 02 81 02",
         {"V id0 p1 u30 s8 c1 @1.0 lc0", "V id0 p1 u31 s8 c1 @2.0 lc0"}, 3},
        {"single usages and ranges share one item",
         "05 09 09 01 19 03 29 05 09 07 75 01 95 05 81 02 95 03 81 03",
         {"B id0 p9 u1 s1 c1 @1.0 lc0", "B id0 p9 r3-5 s1 c3 @1.1 lc0",
          "B id0 p9 u7 s1 c1 @1.4 lc0"}, 2},
        {"a 4-byte usage carries its own page",
         "05 01 0b 38 02 0c 00 09 30 75 08 95 02 81 06",
         {"V id0 pc u238 s8 c1 @1.0 lc0", "V id0 p1 u30 s8 c1 @2.0 lc0"}, 3},
        {"4-byte usage minimum and maximum",
         "1b 01 00 09 00 2b 10 00 09 00 75 01 95 10 81 02",
         {"B id0 p9 r1-10 s1 c16 @1.0 lc0"}, 3},
        {"a short usage takes the page in force at the main item",
         "09 05 05 0c 75 08 95 01 81 02", {"V id0 pc u5 s8 c1 @1.0 lc0"}, 2},
        {"a delimiter set contributes its first usage",
         "05 01 a9 01 09 30 09 40 a9 00 09 31 75 08 95 02 81 02",
         {"V id0 p1 u30 s8 c1 @1.0 lc0", "V id0 p1 u31 s8 c1 @2.0 lc0"}, 3},
        {"push and pop restore the global state",
         "05 01 75 08 95 01 a4 05 09 75 01 95 08 19 01 29 08 81 02 b4 09 30 81 02",
         {"B id0 p9 r1-8 s1 c8 @1.0 lc0", "V id0 p1 u30 s8 c1 @2.0 lc0"}, 3},
        {"constant fields without usages are space only",
         "05 01 75 03 95 01 81 03 75 05 81 01 09 30 75 08 81 02",
         {"V id0 p1 u30 s8 c1 @2.0 lc0"}, 3},
        {"a constant variable field with a usage is a padding capability",
         "05 01 09 30 75 01 95 01 81 03 09 31 81 02 75 06 81 03",
         {"B id0 p1 u30 s1 c1 @1.0 lc0 pad", "B id0 p1 u31 s1 c1 @1.1 lc0"}, 2},
        {"a constant array field is space only even with a usage",
         "09 02 75 08 95 5a 81 01", {}, 91},
        {"a data field without usage gets usage 0 of the current page",
         "75 08 95 04 81 02", {"V id0 pff00 u0 s8 c4 @1.0 lc0"}, 5},
        {"an array listing usages gets one capability per entry",
         "05 09 09 04 19 10 29 12 09 06 15 01 25 05 75 04 95 02 81 00",
         {"B id0 p9 u4 s4 c2 @1.0 lc0 arr", "B id0 p9 r10-12 s4 c2 @1.0 lc0 arr",
          "B id0 p9 u6 s4 c2 @1.0 lc0 arr"}, 2},
        {"an item with report count 0 takes nothing",
         "09 01 75 08 95 00 81 02 09 02 95 01 81 02", {"V id0 pff00 u2 s8 c1 @1.0 lc0"}, 2},
        {"long items are skipped",
         "fe 03 10 aa bb cc 09 01 75 08 95 01 81 02", {"V id0 pff00 u1 s8 c1 @1.0 lc0"}, 2},
        {"fields of 12 bits straddle bytes",
         "05 01 09 30 09 31 75 0c 95 02 81 06 09 38 75 08 95 01 81 06",
         {"V id0 p1 u30 s12 c1 @1.0 lc0", "V id0 p1 u31 s12 c1 @2.4 lc0",
          "V id0 p1 u38 s8 c1 @4.0 lc0"}, 5},
    };
    // clang-format on
    for (const RuleCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<Collection> got =
            parseOk(hexBytes("06 00 ff 09 01 a1 01 " + c.body + " c0"));
        ASSERT_EQ(got.size(), 1u);
        EXPECT_EQ(describeAll(got[0].inputCaps), c.input);
        EXPECT_EQ(got[0].inputReportByteLength, c.inputLength);
    }
}

TEST(ReportDescriptor, ArrayIndexesFollowTheUsageList) {
    const std::vector<Collection> got = parseOk(hexBytes(
        "06 00 ff 09 01 a1 01 05 09 09 04 19 10 29 12 09 06 15 01 25 05 75 04 95 02 81 00 c0"));
    ASSERT_EQ(got.size(), 1u);
    ASSERT_EQ(got[0].inputCaps.size(), 3u);
    EXPECT_EQ(got[0].inputCaps[0].arrayIndex, 0u);
    EXPECT_EQ(got[0].inputCaps[1].arrayIndex, 1u);
    EXPECT_EQ(got[0].inputCaps[2].arrayIndex, 4u);
}

struct RangeCase {
    const char* name;
    std::string items;
    int32_t logicalMin, logicalMax, physicalMin, physicalMax;
    uint32_t units;
    int32_t exponent;
};

TEST(ReportDescriptor, SignedRangesUnitsAndFlags) {
    // clang-format off
    const std::vector<RangeCase> cases = {
        {"1-byte signed pair", "15 81 25 7f", -127, 127, 0, 0, 0, 0},
        {"max read unsigned when min is not negative", "15 00 25 ff", 0, 255, 0, 0, 0, 0},
        {"2-byte max unsigned", "15 00 26 ff ff", 0, 65535, 0, 0, 0, 0},
        {"2-byte signed pair", "16 00 80 26 ff 7f", -32768, 32767, 0, 0, 0, 0},
        {"4-byte max kept as its bit pattern", "15 00 27 ff ff ff ff", 0, -1, 0, 0, 0, 0},
        {"negative min keeps max signed", "15 ff 25 ff", -1, -1, 0, 0, 0, 0},
        {"physical range follows the same rule", "15 00 25 7f 35 00 46 e8 03", 0, 127, 0, 1000,
         0, 0},
        {"physical max unsigned", "15 00 25 01 35 00 45 ff", 0, 1, 0, 255, 0, 0},
        {"unit and nibble exponent", "15 00 25 01 65 11 55 0e", 0, 1, 0, 0, 0x11, -2},
        {"exponent written as a signed byte", "15 00 25 01 55 fd", 0, 1, 0, 0, 0, -3},
        {"positive nibble exponent", "15 00 25 01 55 03", 0, 1, 0, 0, 0, 3},
        {"4-byte unit", "15 00 25 01 67 01 10 00 00", 0, 1, 0, 0, 0x1001, 0},
    };
    // clang-format on
    for (const RangeCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<Collection> got =
            parseOk(hexBytes("06 00 ff 09 01 a1 01 " + c.items + " 09 01 75 08 95 01 81 02 c0"));
        ASSERT_EQ(got.size(), 1u);
        ASSERT_EQ(got[0].inputCaps.size(), 1u);
        const Capability& cap = got[0].inputCaps[0];
        EXPECT_EQ(cap.logicalMin, c.logicalMin);
        EXPECT_EQ(cap.logicalMax, c.logicalMax);
        EXPECT_EQ(cap.physicalMin, c.physicalMin);
        EXPECT_EQ(cap.physicalMax, c.physicalMax);
        EXPECT_EQ(cap.units, c.units);
        EXPECT_EQ(cap.unitsExponent, c.exponent);
    }

    const std::vector<Collection> mouse = parseOk(kMouse);
    ASSERT_EQ(mouse.size(), 1u);
    const Capability& x = mouse[0].inputCaps[1];
    EXPECT_FALSE(x.isAbsolute);
    EXPECT_FALSE(x.isArray);
    EXPECT_FALSE(x.hasNull);
    const std::vector<Collection> hat =
        parseOk(hexBytes("05 01 09 05 a1 01 09 39 15 00 25 07 75 04 95 01 81 42 75 04 81 03 c0"));
    ASSERT_EQ(hat.size(), 1u);
    ASSERT_EQ(hat[0].inputCaps.size(), 1u);
    EXPECT_TRUE(hat[0].inputCaps[0].hasNull);
    EXPECT_TRUE(hat[0].inputCaps[0].isAbsolute);
    EXPECT_FALSE(hat[0].inputCaps[0].isButton);
}

// ---- Malformed descriptors ---------------------------------------------------

struct MalformedCase {
    const char* name;
    Bytes descriptor;
    const char* message;  // part of the error text
    size_t offset;        // of the offending item
};

Bytes repeat(const Bytes& unit, size_t times) {
    Bytes out;
    for (size_t i = 0; i < times; ++i) {
        out.insert(out.end(), unit.begin(), unit.end());
    }
    return out;
}

const Bytes kApp = hexBytes("06 00 ff 09 01 a1 01");  // 7 bytes
const Bytes kEnd = hexBytes("c0");

TEST(ReportDescriptor, MalformedInputIsRejected) {
    // clang-format off
    const std::vector<MalformedCase> cases = {
        {"empty", {}, "no collection", 0},
        {"only globals", hexBytes("05 01 75 08"), "no collection", 4},
        {"truncated 1-byte item", hexBytes("05 01 09"), "truncated item", 2},
        {"truncated 4-byte item", concat({kApp, hexBytes("27 ff ff")}), "truncated item", 7},
        {"truncated long item header", concat({kApp, hexBytes("fe 04")}), "truncated long item",
         7},
        {"truncated long item data", concat({kApp, hexBytes("fe 04 10 01 02")}),
         "truncated long item", 7},
        {"end collection without collection", hexBytes("c0"), "end collection without", 0},
        {"one end collection too many", concat({kApp, kEnd, kEnd}), "end collection without",
         8},
        {"collection left open", concat({kApp, hexBytes("a1 00 c0")}), "not closed", 10},
        {"report size 0", concat({kApp, hexBytes("75 00")}), "report size 0", 7},
        {"report size huge", concat({kApp, hexBytes("76 01 01")}), "report size 257", 7},
        {"report size never set", concat({kApp, hexBytes("95 01 81 02"), kEnd}),
         "without report size", 9},
        {"report count above 65535", concat({kApp, hexBytes("97 00 00 01 00")}),
         "report count 65536", 7},
        {"size times count beyond 64 KiB",
         concat({kApp, hexBytes("76 00 01 96 ff ff 81 02"), kEnd}), "report longer", 13},
        {"reports growing past 64 KiB item by item",
         concat({kApp, hexBytes("75 08 96 00 40"), repeat(hexBytes("81 02"), 4), kEnd}),
         "report longer", 12 + 6},
        {"report id 0", concat({kApp, hexBytes("85 00")}), "report id 0", 7},
        {"report id above 255", concat({kApp, hexBytes("86 00 01")}), "report id 256", 7},
        {"report id after unnumbered data",
         concat({kApp, hexBytes("75 08 95 01 81 02 85 01"), kEnd}), "report id after", 13},
        {"pop without push", concat({kApp, hexBytes("b4")}), "pop without push", 7},
        {"push too deep", concat({kApp, repeat(hexBytes("a4"), 33)}), "push nested", 7 + 32},
        {"collections nested too deep", repeat(hexBytes("a1 00"), 33), "nested deeper", 64},
        {"more than 255 collections",
         concat({kApp, repeat(hexBytes("a1 00 c0"), 255), kEnd}), "more than 255 collections",
         7 + 254 * 3},
        {"data item outside a collection", hexBytes("75 08 95 01 81 02"), "outside a collection",
         4},
        {"usage minimum without maximum", concat({kApp, hexBytes("19 01 75 08 95 01 81 02")}),
         "usage minimum without usage maximum", 13},
        {"two usage maxima", concat({kApp, hexBytes("29 01 29 02")}),
         "usage maximum without usage minimum", 9},
        {"usage minimum above maximum",
         concat({kApp, hexBytes("19 05 29 01 75 08 95 01 81 02")}), "minimum above", 15},
        {"usage range over two pages",
         concat({kApp, hexBytes("1b 01 00 09 00 2b 05 00 0c 00 75 01 95 01 81 02")}),
         "two usage pages", 21},
        {"nested delimiter", concat({kApp, hexBytes("a9 01 a9 01")}), "nested delimiter", 9},
        {"delimiter close without open", concat({kApp, hexBytes("a9 00")}),
         "delimiter close without open", 7},
        {"delimiter open at the main item",
         concat({kApp, hexBytes("a9 01 09 01 75 08 95 01 81 02")}), "delimiter not closed", 15},
        {"too many usages in one item", concat({kApp, repeat(hexBytes("09 01"), 4097)}),
         "more than 4096 usages", 7 + 4096 * 2},
        {"descriptor longer than 64 KiB", Bytes(65537, 0x00), "descriptor longer", 0},
    };
    // clang-format on
    for (const MalformedCase& c : cases) {
        SCOPED_TRACE(c.name);
        ParseError error;
        EXPECT_FALSE(parseReportDescriptor(c.descriptor, &error).has_value());
        EXPECT_THAT(error.message, HasSubstr(c.message));
        EXPECT_EQ(error.offset, c.offset);
        // The error argument is optional.
        EXPECT_FALSE(parseReportDescriptor(c.descriptor).has_value());
    }
}

TEST(ReportDescriptor, LimitsAreNotHitByLargeValidDescriptors) {
    // 254 nested-in-application collections (255 in all) and a report of
    // exactly 65535 bytes are still accepted.
    const Bytes many = concat({kApp, repeat(hexBytes("a1 00 c0"), 254), kEnd});
    const std::vector<Collection> got = parseOk(many);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].linkCollections, 255);

    const Bytes longest = concat({kApp, hexBytes("75 08 96 fe ff 09 01 81 02"), kEnd});
    const std::vector<Collection> big = parseOk(longest);
    ASSERT_EQ(big.size(), 1u);
    EXPECT_EQ(big[0].inputReportByteLength, 65535);
}

// Every cut of a valid descriptor fails cleanly: inside an item as a truncated
// item, between items as an open collection; only the whole one parses. Each
// cut is its own allocation so the sanitizer sees any read past its end.
TEST(ReportDescriptor, EveryTruncationFailsCleanly) {
    for (const DeviceCase& c : deviceCases()) {
        SCOPED_TRACE(c.name);
        // Item boundaries, and whether a cut there leaves only closed collections.
        std::map<size_t, bool> boundaries;
        int depth = 0;
        bool anyCollection = false;
        for (size_t pos = 0; pos < c.descriptor.size();) {
            const uint8_t prefix = c.descriptor[pos];
            pos += prefix == 0xfe ? 3 + c.descriptor[pos + 1]
                                  : 1 + (prefix & 3) + ((prefix & 3) == 3 ? 1 : 0);
            if ((prefix & 0xfc) == 0xa0) {
                ++depth;
                anyCollection = true;
            } else if ((prefix & 0xfc) == 0xc0) {
                --depth;
            }
            boundaries[pos] = depth == 0 && anyCollection;
        }
        for (size_t cut = 1; cut < c.descriptor.size(); ++cut) {
            const auto part = std::make_unique<uint8_t[]>(cut);
            std::copy_n(c.descriptor.begin(), cut, part.get());
            ParseError error;
            const auto result = parseReportDescriptor({part.get(), cut}, &error);
            const auto boundary = boundaries.find(cut);
            if (boundary == boundaries.end()) {
                EXPECT_FALSE(result.has_value()) << cut;
                EXPECT_THAT(error.message, HasSubstr("truncated")) << cut;
            } else if (boundary->second) {
                EXPECT_TRUE(result.has_value()) << cut;  // whole collections so far
            } else {
                EXPECT_FALSE(result.has_value()) << cut;
                EXPECT_THAT(error.message,
                            AnyOf(HasSubstr("not closed"), HasSubstr("no collection")))
                    << cut;
            }
        }
    }
}

// ---- Unpacking ---------------------------------------------------------------

const Capability& onlyCap(const std::vector<Collection>& cols, size_t col, ReportType type,
                          size_t index) {
    static const Capability none{};
    if (col >= cols.size() || index >= cols[col].caps(type).size()) {
        ADD_FAILURE() << "no capability " << index << " in collection " << col;
        return none;
    }
    return cols[col].caps(type)[index];
}

TEST(ReportDescriptor, UnpackButtonsAndArrays) {
    const std::vector<Collection> keyboard = parseOk(kBootKeyboard);
    const Capability& modifiers = onlyCap(keyboard, 0, ReportType::Input, 0);
    const Capability& keys = onlyCap(keyboard, 0, ReportType::Input, 1);
    // Left shift + right alt, keys A and B pressed, and an out-of-range code.
    const Bytes report = {0x00, 0x42, 0x00, 0x04, 0x00, 0x05, 0x66, 0x00, 0x00};
    EXPECT_THAT(getUsages(modifiers, report), ElementsAre(0xe1, 0xe6));
    EXPECT_THAT(getUsages(keys, report), ElementsAre(0x04, 0x05));
    const Capability& leds = onlyCap(keyboard, 0, ReportType::Output, 0);
    EXPECT_THAT(getUsages(leds, Bytes{0x00, 0x1f}), ElementsAre(1, 2, 3, 4, 5));
    EXPECT_THAT(getUsages(leds, Bytes{0x00, 0xe0}), ElementsAre());  // padding bits only

    const std::vector<Collection> consumer = parseOk(kConsumer);
    const Capability& code = onlyCap(consumer, 0, ReportType::Input, 0);
    struct {
        Bytes report;
        std::vector<uint16_t> usages;
    } codes[] = {
        {{0x00, 0x01, 0x04}, {0x0401}},
        {{0x00, 0x23, 0x11}, {0x1123}},
        {{0x00, 0xff, 0x1f}, {0x1fff}},
        {{0x00, 0x00, 0x00}, {}},  // nothing pressed
        {{0x00, 0x00, 0x20}, {}},  // beyond the logical maximum
        {{0x00, 0x01}, {}},        // short report
        {{0x03, 0x01, 0x04}, {}},  // another report id
    };
    for (const auto& c : codes) {
        EXPECT_EQ(getUsages(code, c.report), c.usages);
    }
    // Value capabilities have no usage list.
    const std::vector<Collection> mouse = parseOk(kMouse);
    EXPECT_TRUE(getUsages(onlyCap(mouse, 0, ReportType::Input, 1), Bytes{0, 1, 2, 3, 4}).empty());
}

TEST(ReportDescriptor, UnpackInANumberedInterface) {
    const std::vector<Collection> cols = parseOk(kComposite);
    const Capability& buttons = onlyCap(cols, 0, ReportType::Input, 0);
    const Capability& x = onlyCap(cols, 0, ReportType::Input, 1);
    const Capability& consumer = onlyCap(cols, 2, ReportType::Input, 0);
    const Bytes mouseReport = {0x01, 0x15, 0xfe, 0x02, 0x01};
    EXPECT_THAT(getUsages(buttons, mouseReport), ElementsAre(1, 3, 5));
    EXPECT_EQ(getUsageValue(x, 0x30, mouseReport), 0xfeu);
    EXPECT_EQ(getScaledUsageValue(x, 0x30, mouseReport), -2);
    const Bytes consumerReport = {0x03, 0x23, 0x11};
    EXPECT_THAT(getUsages(consumer, consumerReport), ElementsAre(0x1123));
    // The same bytes under another report id belong to someone else.
    EXPECT_TRUE(getUsages(buttons, Bytes{0x02, 0x15, 0xfe, 0x02, 0x01}).empty());
    EXPECT_EQ(getUsageValue(x, 0x30, Bytes{0x02, 0x15, 0xfe, 0x02, 0x01}), std::nullopt);
    EXPECT_EQ(getScaledUsageValue(x, 0x30, Bytes{0x00, 0x15, 0xfe, 0x02, 0x01}), std::nullopt);
    EXPECT_TRUE(getUsages(consumer, Bytes{0x01, 0x23, 0x11}).empty());
}

TEST(ReportDescriptor, UnpackVariableFieldsBeyondTheUsages) {
    // Three usages for five bits: bits 3 and 4 repeat the last usage.
    const std::vector<Collection> got = parseOk(
        concat({kApp, hexBytes("05 09 19 01 29 03 75 01 95 05 81 02 95 03 81 03 09 07 95 02 81 02"),
                kEnd}));
    const Capability& range = onlyCap(got, 0, ReportType::Input, 0);
    const Capability& single = onlyCap(got, 0, ReportType::Input, 1);
    EXPECT_EQ(describe(single), "B id0 p9 u7 s1 c2 @2.0 lc0");
    EXPECT_THAT(getUsages(range, Bytes{0x00, 0x1a, 0x00}), ElementsAre(2, 3, 3));
    EXPECT_THAT(getUsages(single, Bytes{0x00, 0x00, 0x03}), ElementsAre(7, 7));
}

TEST(ReportDescriptor, UnpackArrayWithAUsageList) {
    // Entries: usage 4 (value 1), usages 0x10..0x12 (values 2..4), usage 6 (value 5).
    const std::vector<Collection> got = parseOk(concat(
        {kApp, hexBytes("05 09 09 04 19 10 29 12 09 06 15 01 25 05 75 04 95 02 81 00"), kEnd}));
    const Bytes report = {0x00, 0x53};  // fields: 3 then 5
    EXPECT_THAT(getUsages(onlyCap(got, 0, ReportType::Input, 0), report), ElementsAre());
    EXPECT_THAT(getUsages(onlyCap(got, 0, ReportType::Input, 1), report), ElementsAre(0x11));
    EXPECT_THAT(getUsages(onlyCap(got, 0, ReportType::Input, 2), report), ElementsAre(6));
    EXPECT_THAT(getUsages(onlyCap(got, 0, ReportType::Input, 0), Bytes{0x00, 0x10}),
                ElementsAre(4));
}

struct ValueCase {
    const char* name;
    std::string items;  // globals and usages before "81 02" inside the vendor application
    uint16_t usage;
    Bytes report;
    std::optional<uint32_t> raw;
    std::optional<int32_t> scaled;
};

TEST(ReportDescriptor, UnpackValues) {
    // clang-format off
    const std::vector<ValueCase> cases = {
        {"unsigned byte", "09 01 15 00 26 ff 00 75 08 95 01", 1, {0, 0xc8}, 200u, 200},
        {"signed byte", "09 01 15 81 25 7f 75 08 95 01", 1, {0, 0x81}, 0x81u, -127},
        {"signed 12 bits at bit 4", "09 02 75 04 95 01 81 03 09 01 16 01 f8 26 ff 07 75 0c",
         1, {0, 0x00, 0x80}, 0x800u, std::nullopt},  // -2048 is below the logical minimum
        {"signed 12 bits at bit 4, in range",
         "09 02 75 04 95 01 81 03 09 01 16 01 f8 26 ff 07 75 0c", 1, {0, 0x10, 0x80}, 0x801u,
         -2047},
        {"scaled to the physical range",
         "09 01 15 00 26 ff 00 35 00 46 e8 03 75 08 95 01", 1, {0, 0x80}, 128u, 501},
        {"signed scaled", "09 01 15 81 25 7f 36 0a fb 46 f6 04 75 08 95 01", 1, {0, 0x81},
         0x81u, -1270},
        {"outside the logical range (null state)", "09 01 15 01 25 08 75 08 95 01", 1, {0, 0x00},
         0u, std::nullopt},
        {"value range: usage picks the field", "19 01 29 03 15 00 26 ff 00 75 08 95 03", 3,
         {0, 0x0a, 0x0b, 0x0c}, 0x0cu, 0x0c},
        {"value range: usage outside", "19 01 29 03 15 00 26 ff 00 75 08 95 03", 4,
         {0, 0x0a, 0x0b, 0x0c}, std::nullopt, std::nullopt},
        {"wrong usage", "09 01 15 00 25 7f 75 08 95 01", 2, {0, 5}, std::nullopt, std::nullopt},
        {"report too short", "09 01 15 00 26 ff 00 75 10 95 01", 1, {0, 5}, std::nullopt,
         std::nullopt},
        {"32-bit unsigned beyond int32", "09 01 15 00 27 ff ff ff ff 75 20 95 01", 1,
         {0, 0xfe, 0xff, 0xff, 0xff}, 0xfffffffeu, std::nullopt},
        {"32-bit unsigned scaled", "09 01 15 00 27 ff ff ff ff 35 00 45 64 75 20 95 01", 1,
         {0, 0xfe, 0xff, 0xff, 0xff}, 0xfffffffeu, 99},
        {"32-bit signed", "09 01 17 00 00 00 80 27 ff ff ff 7f 75 20 95 01", 1,
         {0, 0x00, 0x00, 0x00, 0x80}, 0x80000000u, std::numeric_limits<int32_t>::min()},
        {"equal logical bounds with a physical range", "09 01 15 05 25 05 35 00 45 0a 75 08 95 01",
         1, {0, 5}, 5u, std::nullopt},
    };
    // clang-format on
    for (const ValueCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<Collection> got =
            parseOk(concat({kApp, hexBytes(c.items + " 81 02"), kEnd}));
        ASSERT_EQ(got.size(), 1u);
        ASSERT_FALSE(got[0].inputCaps.empty());
        const Capability& cap = got[0].inputCaps.back();
        EXPECT_EQ(getUsageValue(cap, c.usage, c.report), c.raw);
        EXPECT_EQ(getScaledUsageValue(cap, c.usage, c.report), c.scaled);
    }
    // Button capabilities have no value.
    const std::vector<Collection> mouse = parseOk(kMouse);
    EXPECT_EQ(getUsageValue(onlyCap(mouse, 0, ReportType::Input, 0), 1, Bytes{0, 1, 0, 0, 0}),
              std::nullopt);
}

TEST(ReportDescriptor, VendorCommandReportUnpacks) {
    const std::vector<Collection> cols = parseOk(kVendor);
    const Capability& in = onlyCap(cols, 0, ReportType::Input, 0);
    Bytes report(64, 0);
    report[0] = 0x04;
    report[1] = 0x7e;
    EXPECT_EQ(getUsageValue(in, 1, report), 0x7eu);
    report[0] = 0x05;
    EXPECT_EQ(getUsageValue(in, 1, report), std::nullopt);
}

// ---- Agreement with the Windows HID parser -----------------------------------

std::string describeRef(const Json::Value& c) {
    char usage[32];
    if (c["is_range"].asInt() != 0) {
        std::snprintf(usage, sizeof usage, "r%x-%x", c["usage_min"].asUInt(),
                      c["usage_max"].asUInt());
    } else {
        std::snprintf(usage, sizeof usage, "u%x", c["usage"].asUInt());
    }
    char line[128];
    std::snprintf(line, sizeof line, "%s id%u p%x %s s%u c%u @%u.%u lc%u%s",
                  c["is_button"].asInt() != 0 ? "B" : "V", c["report_id"].asUInt(),
                  c["usage_page"].asUInt(), usage, c["bit_size"].asUInt(),
                  c["report_count"].asUInt(), c["byte_position"].asUInt(),
                  c["bit_position"].asUInt(), c["link_collection"].asUInt(),
                  c["is_padding"].asInt() != 0 ? " pad" : "");
    return line;
}

// The same line without the array mark, which the reference does not record.
std::string describeForRef(const Capability& c) {
    Capability copy = c;
    copy.isArray = false;
    return describe(copy);
}

std::vector<std::string> sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
}

TEST(ReportDescriptor, AgreesWithTheWindowsParser) {
    const char* dir = std::getenv("KORVANE_TESTDATA");
    if (dir == nullptr) {
        GTEST_SKIP() << "KORVANE_TESTDATA not set";
    }
    const std::filesystem::path file = std::filesystem::path(dir) / "hid-descriptors.json";
    std::ifstream in(file);
    if (!in) {
        GTEST_SKIP() << file << " not present";
    }
    Json::Value root;
    Json::CharReaderBuilder builder;
    std::string errors;
    ASSERT_TRUE(Json::parseFromStream(builder, in, &root, &errors)) << errors;
    const Json::Value& entries = root["collections"];
    ASSERT_TRUE(entries.isArray());
    ASSERT_FALSE(entries.empty());

    // Several entries can come from one interface's descriptor: the n-th entry
    // of a device with a given usage takes the n-th top-level collection with it.
    std::map<std::string, int> seen;
    int compared = 0;
    for (const Json::Value& e : entries) {
        const std::string name = e["name"].asString();
        const auto page = static_cast<uint16_t>(e["usage_page"].asUInt());
        const auto usage = static_cast<uint16_t>(e["usage"].asUInt());
        // The real descriptor where it was recorded; the rebuilt one always
        // (it must describe the same collection).
        for (const char* key : {"descriptor", "reconstructed_descriptor"}) {
            const std::string text = e[key].asString();
            if (text.empty()) {
                continue;
            }
            SCOPED_TRACE(name + " " + key);
            const int nth = seen[e["vendor_id"].asString() + ":" + e["product_id"].asString() +
                                 ":" + e["interface_number"].asString() + " " + key + " " + text +
                                 " " + std::to_string(page) + ":" + std::to_string(usage)]++;
            const std::vector<Collection> cols = parseOk(hexBytes(text));
            const Collection* match = nullptr;
            int found = 0;
            for (const Collection& c : cols) {
                if (c.usagePage == page && c.usage == usage && found++ == nth) {
                    match = &c;
                    break;
                }
            }
            ASSERT_NE(match, nullptr) << "no top-level collection " << page << ":" << usage;
            EXPECT_EQ(match->inputReportByteLength, e["input_report_byte_length"].asUInt());
            EXPECT_EQ(match->outputReportByteLength, e["output_report_byte_length"].asUInt());
            EXPECT_EQ(match->featureReportByteLength, e["feature_report_byte_length"].asUInt());
            EXPECT_EQ(match->linkCollections, e["link_collections"].asUInt());
            const char* capKeys[] = {"input_caps", "output_caps", "feature_caps"};
            for (ReportType type : {ReportType::Input, ReportType::Output, ReportType::Feature}) {
                std::vector<std::string> ours, theirs;
                for (const Capability& c : match->caps(type)) {
                    ours.push_back(describeForRef(c));
                }
                for (const Json::Value& c : e[capKeys[static_cast<int>(type)]]) {
                    theirs.push_back(describeRef(c));
                }
                EXPECT_EQ(sorted(ours), sorted(theirs)) << capKeys[static_cast<int>(type)];
            }
            ++compared;
        }
    }
    // 18 recorded descriptors and 25 rebuilt ones.
    EXPECT_EQ(compared, 43);
}

}  // namespace
}  // namespace korvane::hid
