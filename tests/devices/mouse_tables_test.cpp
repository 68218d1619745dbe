// The mouse's pure pieces: sensitivity conversion, settings block, position map, key table
// plan, the page's declared controls and the family factory.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "devices/device_factory.h"
#include "devices/mouse_key_table.h"
#include "devices/mouse_page_controls.h"
#include "devices/mouse_sensitivity.h"
#include "devices/mouse_settings_block.h"
#include "tests/devices/mouse_test_support.h"
#include "ui/skin_file.h"

namespace korvane::devices {
namespace {

using mouse::SensitivityScale;

const SensitivityScale kTwoSlope{0x3325, 50, 96, 50};
const SensitivityScale kLinear{0x3360, 100, 160, 100};

TEST(MouseSensitivity, ShownValues) {
    struct Case {
        SensitivityScale scale;
        int index, shown;
    };
    const Case cases[] = {
        {kTwoSlope, 0, 50},    {kTwoSlope, 7, 400},   {kTwoSlope, 48, 2450},
        {kTwoSlope, 49, 2650}, {kTwoSlope, 68, 6450}, {kTwoSlope, 96, 12050},
        {kLinear, 0, 100},     {kLinear, 49, 5000},   {kLinear, 160, 16100},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.scale.shownValue(c.index), c.shown) << c.scale.sensor << " " << c.index;
    }
}

TEST(MouseSensitivity, TypedValuesGiveTheIndexThatShowsThemOrTheNearestBelow) {
    struct Case {
        SensitivityScale scale;
        const char* text;
        int index;
    };
    const Case cases[] = {
        {kTwoSlope, "2450", 48},         {kTwoSlope, "2500", 48}, {kTwoSlope, "2649", 48},
        {kTwoSlope, "2650", 49},         {kTwoSlope, "2700", 49}, {kTwoSlope, "3250", 52},
        {kTwoSlope, "5001", 60},         {kTwoSlope, "6450", 68}, {kTwoSlope, "99999", 96},
        {kTwoSlope, "449", 7},           {kTwoSlope, "", 0},      {kTwoSlope, "abc", 0},
        {kTwoSlope, "-300", 0},          {kTwoSlope, "20", 0},    {kTwoSlope, " 800", 15},
        {kLinear, "5099", 49},           {kLinear, "5100", 50},   {kLinear, "99999999999", 160},
        {SensitivityScale{}, "1600", 0},  // no device information read yet
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.scale.indexForText(c.text), c.index) << c.scale.sensor << " '" << c.text << "'";
    }
}

TEST(MouseSensitivity, EveryIndexRoundTrips) {
    for (const SensitivityScale& scale : {kTwoSlope, kLinear}) {
        for (int i = 0; i <= scale.stepCount; ++i) {
            ASSERT_EQ(scale.indexForValue(scale.shownValue(i)), i) << scale.sensor << " " << i;
            // A value between two shown values belongs to the lower index.
            ASSERT_EQ(scale.indexForValue(scale.shownValue(i) + 1), i) << scale.sensor << " " << i;
        }
    }
}

TEST(MouseSensitivity, ScaleFromDeviceInformation) {
    std::array<uint8_t, 34> info{};
    info[9] = 0x25, info[10] = 0x33, info[11] = 50, info[12] = 96, info[14] = 50;
    EXPECT_EQ(SensitivityScale::fromDeviceInfo(info), kTwoSlope);
    EXPECT_EQ(SensitivityScale::fromDeviceInfo(std::span(info).first(10)).step, 0);
}

mouse::MouseSettingsInput sampleInput() {
    mouse::MouseSettingsInput in;
    in.firstByte = 0;
    in.light.SelectItem = 4;
    in.light.Light = 3;
    in.light.Speed = 1;
    in.light.Fx = 1;
    in.light.MultiColor = 0;
    in.light.Red = 10, in.light.Green = 20, in.light.Blue = 30;
    in.modeCode = [](int mode) { return 0x40 + mode; };
    in.reportRate = 2;
    in.activeStage = 1;
    in.stages = {{1, 0, 0x0102, 0x0304, 5, 6, 7}, {0, 1, 300, 301, 8, 9, 10}};
    in.thirdByte = 1;
    in.width = 1920;
    in.height = 1080;
    in.corrections = {{4, 8, 0, "correct_low"}, {8, 16, 1, "correct_high"}, {1, 1, 1, "x"}};
    return in;
}

TEST(MouseSettingsBlock, LayoutOfTheWrittenBytes) {
    const mouse::MouseSettingsBlock b = mouse::buildMouseSettingsBlock(sampleInput());
    const std::map<std::size_t, uint8_t> expected = {
        {0, 0},     {1, 0x44},  {2, 3},     {3, 3},     {4, 1},     {5, 0},   {6, 10}, {7, 20},
        {8, 30},    {9, 0},     {10, 0},    {11, 2},    {12, 1},    {13, 0},  {14, 1}, {15, 0},
        {16, 0x02}, {17, 0x01}, {18, 0x04}, {19, 0x03}, {20, 5},    {21, 6},  {22, 7}, {23, 0},
        {24, 1},    {25, 0x2C}, {26, 0x01}, {27, 0x2D}, {28, 0x01}, {29, 8},  {30, 9}, {31, 10},
        {59, 1},    {60, 0x80}, {61, 0x07}, {62, 0x38}, {63, 0x04}, {64, 16}, {65, 8},
    };
    for (const auto& [at, value] : expected) {
        EXPECT_EQ(b[at], value) << "byte " << at;
    }
    for (std::size_t at = 32; at <= 58; ++at) {
        EXPECT_EQ(b[at], 0) << "byte " << at << " (stages not given)";
    }
}

TEST(MouseSettingsBlock, LightModeCodesAndSpeeds) {
    struct Case {
        int mode;
        int speed;
        bool withCodes;
        uint8_t code, wireSpeed;
    };
    const Case cases[] = {
        {0, 0, true, 0x40, 4},  {9, 4, true, 0x49, 0}, {12, 2, true, 0x40, 2},
        {10, 7, true, 0x40, 0}, {3, 2, false, 3, 2},   {12, 2, false, 0, 2},
    };
    for (const Case& c : cases) {
        mouse::MouseSettingsInput in = sampleInput();
        in.light.SelectItem = static_cast<uint8_t>(c.mode);
        in.light.Speed = static_cast<uint8_t>(c.speed);
        if (!c.withCodes) {
            in.modeCode = [](int) { return -1; };
        }
        const mouse::MouseSettingsBlock b = mouse::buildMouseSettingsBlock(in);
        EXPECT_EQ(b[1], c.code) << c.mode;
        EXPECT_EQ(b[3], c.wireSpeed) << c.speed;
    }
}

TEST(MouseSettingsBlock, LightingReadBack) {
    mouse::MouseSettingsBlock b{};
    b[1] = 0x43, b[2] = 5, b[3] = 1, b[4] = 1, b[5] = 1, b[6] = 7, b[7] = 8, b[8] = 9;
    lighting::LightEffect current;
    current.ZZCCLedMode = 3;
    current.OldLedmode = 2;
    auto modeFor = [](int code) { return code >= 0x40 && code < 0x4A ? code - 0x40 : -1; };
    lighting::LightEffect e = mouse::lightingFromBlock(b, current, modeFor);
    EXPECT_EQ(e.SelectItem, 3);
    EXPECT_EQ(e.Light, 5);
    EXPECT_EQ(e.Speed, 3);
    EXPECT_EQ(e.Fx, 1);
    EXPECT_EQ(e.MultiColor, 1);
    EXPECT_EQ((std::array{e.Red, e.Green, e.Blue}), (std::array<uint8_t, 3>{7, 8, 9}));
    EXPECT_EQ(e.ZZCCLedMode, 3);  // not in the block: kept
    EXPECT_EQ(e.OldLedmode, 2);
    b[1] = 0x77;  // a code not in the list stays as it is
    b[3] = 9;     // beyond the scale
    e = mouse::lightingFromBlock(b, current, modeFor);
    EXPECT_EQ(e.SelectItem, 0x77);
    EXPECT_EQ(e.Speed, 0);
}

std::vector<uint8_t> tableOf(std::initializer_list<keys::KeyAssignment> entries) {
    std::vector<uint8_t> t;
    for (const auto& a : entries) {
        t.insert(t.end(), {a.type, a.first, a.second});
    }
    return t;
}

TEST(MouseKeyTable, PositionMap) {
    struct Case {
        const char* what;
        std::vector<uint8_t> table;
        int keyCount;
        mouse::PositionMap expected;
    };
    const std::vector<uint8_t> simulated = tableOf({{0x10, 1, 0},
                                                    {0x10, 2, 0},
                                                    {0x10, 4, 0},
                                                    {0x10, 8, 0},
                                                    {0x10, 0x10, 0},
                                                    {0x16, 0x90, 1},
                                                    {0x14, 0x78, 2},
                                                    {0x13, 1, 0},
                                                    {0x13, 2, 0},
                                                    {0x13, 3, 0},
                                                    {0xA0, 0x1B, 0}});
    const std::vector<uint8_t> doubled =
        tableOf({{0x20, 0, 4}, {0x10, 2, 0}, {0x10, 1, 0}, {0x10, 1, 0}});
    const Case cases[] = {
        {"simulated mouse", simulated, 11, {0, 1, 2, 4, 3, 7, 8, 9, 10, 5, 6}},
        {"only the first 5 buttons count",
         simulated,
         5,
         {0, 1, 2, 4, 3, 170, 170, 170, 170, 170, 170}},
        {"first match wins, unknown codes map nothing",
         doubled,
         4,
         {2, 1, 170, 170, 170, 170, 170, 170, 170, 170, 170}},
        {"key count beyond the table",
         doubled,
         200,
         {2, 1, 170, 170, 170, 170, 170, 170, 170, 170, 170}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(mouse::buildPositionMap(c.table, c.keyCount), c.expected) << c.what;
    }
}

profile::KeyListEntry key(keys::KeyAssignment current, keys::KeyAssignment fallback) {
    profile::KeyListEntry e;
    e.assignment = current;
    e.defaultAssignment = fallback;
    return e;
}

TEST(MouseKeyTable, MacrosAreRenumberedAndDeletedOnesFallBack) {
    std::vector<uint8_t> table(33, 0xEE);
    const mouse::PositionMap positions = {0, 1, 2, 4, 3, 170, 170, 170, 170, 170, 6};
    const std::vector<profile::KeyListEntry> list = {
        key({0x70, 5, 0}, {0x10, 1, 0}), key({0x70, 2, 1}, {0x10, 2, 0}),
        key({0x71, 5, 9}, {0x10, 4, 0}), key({0x70, 7, 0}, {0x10, 0x10, 0}),
        key({0x20, 0, 4}, {0x10, 8, 0}), key({0x70, 3, 0}, {0x13, 1, 0}),  // no button
    };
    const mouse::KeyMatrixPlan plan = mouse::planKeyMatrix(table, 11, positions, list, 6);
    const std::vector<uint8_t> expected = {0x70, 0, 0, 0x70, 1,    1, 0x71, 0,    9,
                                           0x20, 0, 4, 0x10, 0x10, 0, 0xEE, 0xEE, 0xEE};
    EXPECT_EQ(std::vector<uint8_t>(plan.table.begin(), plan.table.begin() + 18), expected);
    EXPECT_EQ(plan.table.size(), 33u);
    EXPECT_EQ(plan.usedMacros, (std::vector<int>{5, 2}));
}

// Widget name → kind (as the page code sees it) of a Designer file.
std::map<std::string, ui::ControlKind> skinKinds(const std::filesystem::path& file) {
    std::map<std::string, ui::ControlKind> kinds;
    auto page = testing::pageFromSkin(file);
    std::function<void(ui::Control*)> walk = [&](ui::Control* c) {
        kinds.emplace(c->name(), c->kind());
        for (ui::Control* child : c->children()) {
            walk(child);
        }
    };
    walk(page.get());
    return kinds;
}

TEST(MousePageSkin, EveryDeclaredControlIsThereWithAFittingKind) {
    ui::RequiredControls required;
    declareMousePageControls(required);
    ASSERT_EQ(required.skinFiles(), std::vector<std::string>{ui::skinFileName(kMousePageSkin)});
    const auto kinds = skinKinds(testing::sourceRoot() / "skin" / required.skinFiles().front());
    ASSERT_FALSE(kinds.empty());
    for (const ui::RequiredControl& c : required.entries()) {
        const auto it = kinds.find(c.name);
        ASSERT_NE(it, kinds.end()) << c.name;
        EXPECT_TRUE(ui::kindFits(c.kind, it->second))
            << c.name << " is a " << ui::kindName(it->second);
    }
}

TEST(DeviceFactory, MouseFamilyGetsTheMouse) {
    hid::SimBackend bus;
    testing::TestHost host(bus, DevicePaths{"/prog", "/user"});
    const std::pair<device::DeviceFamily, const char*> cases[] = {
        {device::DeviceFamily::Mouse, "KorvaneMouseDevice"},
        {device::DeviceFamily::Keyboard, "KorvaneUSBDevice"},
        {device::DeviceFamily::MousePad, "KorvaneUSBDevice"},
        {device::DeviceFamily::Headset, "KorvaneUSBDevice"},
        {device::DeviceFamily::None, "KorvaneUSBDevice"},
    };
    for (const auto& [family, name] : cases) {
        auto device = makeFamilyDevice(family, host);
        ASSERT_NE(device, nullptr);
        EXPECT_EQ(device->className(), name);
    }
}

}  // namespace
}  // namespace korvane::devices
