// The shipped default data (as copied into the build tree's program folder) has every
// section the readers need, with the fixed tables of the devices.
#include <json/value.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "keys/key_assignment.h"
#include "platform/files/json_document.h"
#include "platform/files/json_fields.h"
#include "profile/hs6533_profile_data.h"
#include "profile/keyboard_profile_data.h"
#include "profile/mouse_profile_data.h"
#include "sim/keyboard_firmware.h"
#include "tests/files/temp_folder.h"

namespace korvane::profile {
namespace {

namespace fs = std::filesystem;
using files::ReadJsonDocument;
using keys::KeyAssignment;
using korvane::testing::readText;
using ::testing::ElementsAreArray;

const fs::path kDataDir = KORVANE_DEFAULT_DATA_DIR;
const fs::path kSourceDir = KORVANE_DEFAULT_DATA_SOURCE;

struct Family {
    const char* file;
    int lightListIndex;
    int modeCount;
    int lightMaximum;
    std::vector<const char*> sections;
};

const std::vector<Family>& families() {
    static const std::vector<Family> list = {
        {"keyboard.Json",
         0,
         31,
         5,
         {"LightInfo", "LightList", "AudioLightInfo", "KeyList", "SystemStages",
          "CustomLightMode"}},
        {"mouse.Json",
         1,
         10,
         4,
         {"LightInfo", "LightList", "KeyList", "DPIStages", "SystemStages", "ReportStages",
          "CorrectInfo"}},
        {"MousePad.Json", 2, 9, 4, {"LightInfo", "LightList"}},
        {"HD.Json",
         3,
         9,
         4,
         {"LightInfo", "LightList", "SystemSetStages", "EQHzValueInfo", "CustomEQNameInfo",
          "CustomEQHzValueInfo"}},
    };
    return list;
}

const Json::Value& deviceEntry(const Json::Value& document) {
    return files::element(files::member(document, "Device"), 0);
}

template <class Profile>
Profile loadDefaults(const char* file) {
    Profile profile;
    profile.setDefaultDataFilePath(kDataDir / file);
    profile.LoadEntry(kDataDir / file);
    return profile;
}

std::vector<KeyAssignment> assignments(const std::vector<KeyListEntry>& keys, bool defaults) {
    std::vector<KeyAssignment> out;
    for (const KeyListEntry& key : keys) {
        out.push_back(defaults ? key.defaultAssignment : key.assignment);
    }
    return out;
}

TEST(DefaultData, TheBuildTreeHoldsACopyOfEveryShippedFile) {
    std::set<std::string> source;
    for (const auto& e : fs::directory_iterator(kSourceDir)) {
        if (e.is_regular_file()) {
            source.insert(e.path().filename().string());
        }
    }
    for (const char* name :
         {"mouse.Json", "keyboard.Json", "MousePad.Json", "HD.Json", "default_light.json"}) {
        EXPECT_TRUE(source.count(name)) << name;
        EXPECT_TRUE(ReadJsonDocument(kDataDir / name).isObject()) << name;
    }
    for (const std::string& name : source) {
        EXPECT_EQ(readText(kDataDir / name), readText(kSourceDir / name)) << name;
    }
}

TEST(DefaultData, EveryFamilyFileHasItsSections) {
    for (const Family& family : families()) {
        SCOPED_TRACE(family.file);
        const Json::Value document = ReadJsonDocument(kDataDir / family.file);
        const Json::Value& entry = deviceEntry(document);
        ASSERT_TRUE(entry.isObject());
        for (const char* section : family.sections) {
            EXPECT_TRUE(entry.isMember(section)) << section;
        }
        // The light record is a valid choice for the family.
        auto profile = loadDefaults<CBasicProfiledata>(family.file);
        const lighting::LightEffect light = profile.ReadLightInfo();
        EXPECT_LT(light.SelectItem, family.modeCount);
        EXPECT_LE(light.Light, family.lightMaximum);
        EXPECT_LE(light.Speed, 4);
        // One "LightList" element per mode, in mode order.
        const std::vector<lighting::LightEffect> list = profile.ReadLightList();
        ASSERT_EQ(list.size(), static_cast<std::size_t>(family.modeCount));
        for (std::size_t i = 0; i < list.size(); ++i) {
            EXPECT_EQ(list[i].SelectItem, i);
            EXPECT_EQ(list[i].ListPresent, 1);
            EXPECT_LE(list[i].Light, family.lightMaximum);
        }
    }
}

TEST(DefaultData, ModeListsCoverEveryModeWithDistinctCodes) {
    const Json::Value document = ReadJsonDocument(kDataDir / "default_light.json");
    const Json::Value& names = files::asArray(files::member(document, "DefaultLightName"));
    const Json::Value& areas = files::asArray(files::member(document, "AreaLightName"));
    ASSERT_EQ(names.size(), 4u);
    ASSERT_EQ(areas.size(), 4u);
    for (const Family& family : families()) {
        SCOPED_TRACE(family.file);
        const Json::Value& modes = names[family.lightListIndex];
        ASSERT_EQ(modes.size(), static_cast<Json::ArrayIndex>(family.modeCount));
        std::set<int> codes;
        for (const Json::Value& mode : modes) {
            EXPECT_TRUE(mode["LightName"].isString());
            EXPECT_FALSE(mode["LightName"].asString().empty());
            EXPECT_TRUE(mode["visible"].isBool());
            ASSERT_TRUE(mode["value"].isInt());
            EXPECT_GE(mode["value"].asInt(), 0);
            EXPECT_LT(mode["value"].asInt(), 0xFE);  // 0xFE means "host-driven" on the wire
            codes.insert(mode["value"].asInt());
        }
        EXPECT_EQ(codes.size(), modes.size());
        EXPECT_TRUE(codes.count(0x01));  // the simulator's factory code
        EXPECT_GT(areas[family.lightListIndex].size(), 0u);
        for (const Json::Value& area : areas[family.lightListIndex]) {
            EXPECT_TRUE(area["LightName"].isString());
        }
    }
    // The keyboard's host-driven modes 29 and 30 carry the codes sent as 0xFE.
    EXPECT_EQ(names[0][29]["value"], 29);
    EXPECT_EQ(names[0][30]["value"], 30);
}

TEST(DefaultData, MouseKeysFollowMouseKeyPositions) {
    const std::vector<KeyAssignment> positions = {
        {0x10, 0x01, 0}, {0x10, 0x02, 0},    {0x10, 0x04, 0},   {0x10, 0x10, 0},
        {0x10, 0x08, 0}, {0x13, 0x01, 0},    {0x13, 0x02, 0},   {0x13, 0x03, 0},
        {0xA0, 0x1B, 0}, {0x16, 0x90, 0x01}, {0x14, 0x78, 0x02}};
    auto profile = loadDefaults<CMouseProfiledata>("mouse.Json");
    const std::vector<KeyListEntry> keys = profile.ReadKeyList();
    EXPECT_THAT(assignments(keys, false), ElementsAreArray(positions));
    EXPECT_THAT(assignments(keys, true), ElementsAreArray(positions));
}

TEST(DefaultData, MouseStagesAndSettingsFitTheSimulatedMouse) {
    // Sensor 0x3325, step 50, lowest 50, 96 steps.
    const auto shown = [](int index) {
        return index > 48 ? 50 * 48 + (index - 48) * 200 + 50 : index * 50 + 50;
    };
    auto profile = loadDefaults<CMouseProfiledata>("mouse.Json");
    const std::vector<DpiStage> stages = profile.ReadDPIStages();
    ASSERT_EQ(stages.size(), 5u);
    EXPECT_GE(profile.activeStage(), 0);
    EXPECT_LT(profile.activeStage(), 5);
    int previous = 0;
    for (const DpiStage& stage : stages) {
        EXPECT_EQ(stage.StageActive, 1);
        EXPECT_LE(stage.StageDPIX, 96);
        EXPECT_EQ(stage.StageDPIX, stage.StageDPIY);
        EXPECT_GT(shown(stage.StageDPIX), previous);  // rising sensitivities
        previous = shown(stage.StageDPIX);
    }
    EXPECT_EQ(shown(stages[0].StageDPIX), 400);
    EXPECT_EQ(shown(stages[1].StageDPIX), 800);

    const MouseSystemStages system = unpackMouseSystemStages(profile.ReadSystemStages());
    EXPECT_LE(system.ReportRate, 4);
    EXPECT_GT(system.MouseSpeed, 0);
    EXPECT_GT(system.WheelScorlllinse, 0);

    const std::vector<CorrectEntry> correct = profile.ReadCorrectInfo();
    ASSERT_FALSE(correct.empty());
    EXPECT_EQ(std::count_if(correct.begin(), correct.end(),
                            [](const CorrectEntry& e) { return e.CorrectSelect != 0; }),
              1);
}

TEST(DefaultData, KeyboardKeysAreTheKeyPositionTable) {
    // The simulator's firmware holds the table's non-empty rows with their positions; the
    // four empty rows are (0x20, 0, 0).
    std::vector<KeyAssignment> table(126, KeyAssignment{0x20, 0, 0});
    std::set<int> seen;
    for (const auto& key : sim::KeyboardFirmware::factoryKeys()) {
        table.at(key.position) = KeyAssignment{key.code[0], key.code[1], key.code[2]};
        seen.insert(key.position);
    }
    ASSERT_EQ(seen.size(), 122u);
    for (int empty : {18, 19, 20, 104}) {
        EXPECT_FALSE(seen.count(empty));
    }

    auto profile = loadDefaults<CKeyboardProfiledata>("keyboard.Json");
    const std::vector<KeyListEntry> keys = profile.ReadKeyList();
    ASSERT_EQ(keys.size(), 126u);
    EXPECT_THAT(assignments(keys, true), ElementsAreArray(table));
    EXPECT_THAT(assignments(keys, false), ElementsAreArray(table));
    EXPECT_EQ(keys[0].defaultAssignment, (KeyAssignment{0x20, 0, 41}));   // Esc
    EXPECT_EQ(keys[110].defaultAssignment, (KeyAssignment{0xA0, 1, 0}));  // Fn
}

TEST(DefaultData, KeyboardSettingsAndCustomGroups) {
    auto profile = loadDefaults<CKeyboardProfiledata>("keyboard.Json");
    const SystemStagesRecord system = unpackSystemStages(profile.ReadSystemStages());
    EXPECT_LE(system.RepeatDelay, 3);
    EXPECT_LE(system.PollingRate, 3);
    EXPECT_EQ(profile.ReadAudioLightInfo().ColorTypeFlags, 1);

    const Json::Value document = ReadJsonDocument(kDataDir / "keyboard.Json");
    const Json::Value& groups = deviceEntry(document)["CustomLightMode"]["LightColorInfo"];
    ASSERT_TRUE(groups.isArray());
    ASSERT_GT(groups.size(), 0u);
    const int selected = profile.ReadCustomLightModeGroupIndex();
    EXPECT_GE(selected, 0);
    EXPECT_LT(selected, static_cast<int>(groups.size()));
    const Json::Value before = profile.entry();
    for (Json::ArrayIndex g = 0; g < groups.size(); ++g) {
        EXPECT_EQ(groups[g].size(), 126u);
        const std::vector<KeyColor> colours = profile.ReadCustomLightMode(static_cast<int>(g), 126);
        EXPECT_EQ(colours[0].Alpha, 255);
    }
    EXPECT_EQ(profile.entry(), before);  // every key present: nothing to fill in
}

TEST(DefaultData, HeadsetHasTheTwelveEqualiserPresets) {
    const std::array<std::array<int, 10>, 12> presets = {{
        {7, 11, 2, -3, -1, 4, 9, 12, 9, 5},
        {7, 11, 6, -3, -11, -1, 6, 13, 6, 13},
        {10, 4, 0, -3, -4, -3, -2, -1, 0, 0},
        {2, 1, -2, -3, -5, -7, 0, 4, 9, 8},
        {0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
        {7, 14, -13, -6, -1, 8, 13, 7, 2, 6},
        {14, 10, 4, 0, -4, -3, -1, 1, 2, 3},
        {2, 1, -2, -3, -5, -1, 7, 11, 15, 13},
        {8, 2, -4, -8, 1, 3, 8, 11, 14, 16},
        {-3, 4, 10, 0, -11, 3, 9, 13, 6, 0},
        {18, 14, 8, 2, -3, -6, -1, 2, 5, 6},
        {2, 1, -2, -4, -8, 4, 12, 16, 18, 15},
    }};
    const Json::Value document = ReadJsonDocument(kDataDir / "HD.Json");
    const Json::Value& rows = deviceEntry(document)["EQHzValueInfo"];
    ASSERT_EQ(rows.size(), 13u);
    for (const Json::Value& row : rows) {
        ASSERT_EQ(row.size(), 10u);
    }
    auto profile = loadDefaults<CHs6533Profiledata>("HD.Json");
    const Json::Value before = profile.entry();
    for (int preset = 1; preset <= 12; ++preset) {
        SCOPED_TRACE(preset);
        EXPECT_THAT(profile.ReadEQHzValueInfo(preset), ElementsAreArray(presets[preset - 1]));
    }
    EXPECT_THAT(profile.ReadEQHzValueInfo(0), ElementsAreArray(presets[0]));
    EXPECT_EQ(profile.entry(), before);

    const SystemSetStages stages = profile.ReadSystemSetStages();
    EXPECT_GE(stages.EqType, 1);
    EXPECT_LE(stages.EqType, 12);
    EXPECT_GE(stages.MagicType, 1);
    EXPECT_LE(stages.MagicType, 4);
    EXPECT_LE(stages.MicInValue, 100);
    EXPECT_LE(stages.MicMoniterValue, 100);
    EXPECT_TRUE(profile.ReadCustomEQNameInfo().empty());
}

}  // namespace
}  // namespace korvane::profile
