#include <json/value.h>

#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/files/json_document.h"
#include "profile/basic_profile_data.h"
#include "profile/hs6533_profile_data.h"
#include "profile/keyboard_profile_data.h"
#include "profile/mouse_profile_data.h"
#include "tests/files/temp_folder.h"
#include "tests/profile/profile_test_support.h"

namespace korvane::profile {
namespace {

using korvane::testing::TempFolder;
using korvane::testing::writeText;
using lighting::LightEffect;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::json;
using testing::withEntry;

class Sections : public ::testing::Test {
  protected:
    TempFolder folder;
};

// ---- every device ----

TEST_F(Sections, LightInfoKeepsBytesAndReadsMultiColorAsATruthValue) {
    auto profile = withEntry<CBasicProfiledata>(folder, R"({"LightInfo": {
        "SelectItem": 20, "Light": 5, "Speed": 4, "Fx": 1, "MultiColor": 7, "Red": 300,
        "Green": -1, "Blue": "12", "ZZCCLedMode": 2, "CustomGroup": 3, "OldLedmode": 25}})");
    const LightEffect expected{.SelectItem = 20,
                               .Light = 5,
                               .Speed = 4,
                               .Fx = 1,
                               .MultiColor = 1,
                               .Red = 44,
                               .Green = 255,
                               .Blue = 0,
                               .ZZCCLedMode = 2,
                               .CustomGroup = 3,
                               .OldLedmode = 25};
    EXPECT_EQ(profile.ReadLightInfo(), expected);
    EXPECT_EQ(profile.lightEffect(), expected);

    for (const char* entry : {R"({})", R"({"LightInfo": 5})", R"({"LightInfo": [1]})"}) {
        SCOPED_TRACE(entry);
        auto without = withEntry<CBasicProfiledata>(folder, entry);
        EXPECT_EQ(without.ReadLightInfo(), LightEffect{});
    }
}

TEST_F(Sections, LightInfoWriterReplacesTheSectionFromTheFourWords) {
    auto profile =
        withEntry<CBasicProfiledata>(folder, R"({"LightInfo": {"Stale": 1}, "Other": 2})");
    const LightEffect effect{.SelectItem = 17,
                             .Light = 3,
                             .Speed = 1,
                             .Fx = 1,
                             .MultiColor = 1,
                             .Red = 10,
                             .Green = 20,
                             .Blue = 30,
                             .ZZCCLedMode = 2,
                             .CustomGroup = 4,
                             .OldLedmode = 6};
    profile.WriteLightInfo(lighting::packLightEffect(effect));
    EXPECT_EQ(profile.entry(), json(R"({"Other": 2, "LightInfo": {"SelectItem": 17, "Light": 3,
        "Speed": 1, "Fx": 1, "MultiColor": 1, "Red": 10, "Green": 20, "Blue": 30,
        "ZZCCLedMode": 2, "CustomGroup": 4, "OldLedmode": 6}})"));
    EXPECT_EQ(profile.lightEffect(), effect);
    EXPECT_EQ(profile.ReadLightInfo(), effect);
}

TEST_F(Sections, LightListGivesOneRecordPerElement) {
    auto profile = withEntry<CBasicProfiledata>(folder, R"({"LightList": [
        {"LEDREGMode": 3, "LEDBrightness": 4, "LEDSpeed": 2, "LEDDirection": 5, "LEDMultiColor": false,
         "red": 256, "green": 2, "blue": 3},
        null,
        {}]})");
    EXPECT_THAT(profile.ReadLightList(), ElementsAre(LightEffect{.SelectItem = 3,
                                                                 .Light = 4,
                                                                 .Speed = 2,
                                                                 .Fx = 1,
                                                                 .MultiColor = 0,
                                                                 .Red = 0,
                                                                 .Green = 2,
                                                                 .Blue = 3,
                                                                 .ListPresent = 1},
                                                     LightEffect{}, LightEffect{.ListPresent = 1}));
    auto without = withEntry<CBasicProfiledata>(folder, R"({})");
    EXPECT_THAT(without.ReadLightList(), IsEmpty());
}

TEST_F(Sections, AudioLightInfoSetsTheEditTargetAfterARead) {
    struct Case {
        const char* entry;
        AudioLightRecord expected;
    };
    const std::vector<Case> cases = {
        {R"({"AudioLightInfo": {"AudioMode": 2, "BkColorR": 1, "BkColorG": 2, "BkColorB": 3,
            "FgColorR": 4, "FgColorG": 5, "FgColorB": 6, "7ColorFlags": 9, "ColorTypeFlags": 0}})",
         {2, 1, 2, 3, 4, 5, 6, 1, 1}},
        {R"({"AudioLightInfo": {}})", {0, 0, 0, 0, 0, 0, 0, 0, 1}},
        {R"({})", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entry);
        auto profile = withEntry<CKeyboardProfiledata>(folder, c.entry);
        EXPECT_EQ(profile.ReadAudioLightInfo(), c.expected);
    }
}

TEST_F(Sections, AudioLightInfoWriterTakesTheThreeWordsApart) {
    auto profile = withEntry<CKeyboardProfiledata>(folder, R"({"AudioLightInfo": {"Stale": 1}})");
    const AudioLightRecord record{3, 10, 20, 30, 40, 50, 60, 1, 0};
    const AudioLightWords words = packAudioLight(record);
    EXPECT_EQ(words, (AudioLightWords{0x1E140A03u, 0x013C3228u, 0}));
    profile.WriteAudioLightInfo(words);
    EXPECT_EQ(profile.entry()["AudioLightInfo"],
              json(R"({"AudioMode": 3, "BkColorR": 10, "BkColorG": 20, "BkColorB": 30,
                       "FgColorR": 40, "FgColorG": 50, "FgColorB": 60, "7ColorFlags": 1,
                       "ColorTypeFlags": 0})"));
    EXPECT_EQ(profile.audioLight(), record);
}

TEST_F(Sections, KeyListParsesPackedAssignments) {
    auto profile = withEntry<CMouseProfiledata>(folder, R"({"KeyList": [
        {"Assignment": 7340805, "DefaultAssignment": 1048832},
        {"Assignment": 2097156},
        {"Assignment": "x", "DefaultAssignment": 4294967295},
        null]})");
    const std::vector<KeyListEntry> keys = profile.ReadKeyList();
    ASSERT_EQ(keys.size(), 4u);
    EXPECT_EQ(keys[0], (KeyListEntry{0, {0x70, 3, 5}, 0, {0x10, 0x01, 0}}));
    EXPECT_EQ(keys[1], (KeyListEntry{1, {0x20, 0, 4}, 1, {0, 0, 0}}));  // no DefaultAssignment
    EXPECT_EQ(keys[2], (KeyListEntry{2, {0, 0, 0}, 2, {0xFF, 0xFF, 0xFF}}));
    EXPECT_EQ(keys[3], (KeyListEntry{3, {}, 3, {}}));
}

TEST_F(Sections, KeyListWriterChangesOnlyAssignments) {
    auto profile = withEntry<CMouseProfiledata>(folder, R"({"KeyList": [
        {"Assignment": 1, "DefaultAssignment": 2, "Note": "x"}, 5, {"Assignment": 9}]})");
    std::vector<KeyListEntry> keys = profile.ReadKeyList();
    keys.resize(2);
    keys[0].assignment = {0x72, 1, 0};
    keys[1].assignment = {0x13, 3, 0};
    profile.WriteKeyList(keys);
    EXPECT_EQ(profile.entry()["KeyList"],
              json(R"([{"Assignment": 7471360, "DefaultAssignment": 2, "Note": "x"},
                       {"Assignment": 1245952}, {"Assignment": 9}])"));
    EXPECT_EQ(profile.keyList(), keys);
}

// ---- mouse ----

TEST_F(Sections, DpiStagesMergeIntoTheStoredList) {
    auto profile =
        withEntry<CMouseProfiledata>(folder, R"({"DPIStages": {"StageActive": 2, "StageDPIs": [
        {"StageActive": 1, "StageXY": 1, "StageDPIX": 12000, "StageDPIY": 70000, "StageColorR": 300,
         "StageColorG": 2, "StageColorB": 3},
        {}, {}, {}, {}, {}]}})");
    ASSERT_EQ(profile.ReadDPIStages().size(), 6u);
    EXPECT_EQ(profile.activeStage(), 2);
    EXPECT_EQ(profile.dpiStages()[0], (DpiStage{1, 1, 12000, 4464, 44, 2, 3}));

    // Six stored stages, four in the file: stages 5 and 6 stay.
    std::vector<DpiStage> six(6);
    for (std::uint16_t i = 0; i < 6; ++i) {
        six[i].StageDPIX = static_cast<std::uint16_t>(100 + i);
    }
    profile.WriteDPIStages(six);
    Json::Value entry = json(R"({"DPIStages": {"StageActive": 1, "StageDPIs": [
        {"StageDPIX": 1}, {"StageDPIX": 2}, {"StageDPIX": 3}, {"StageDPIX": 4}]}})");
    Json::Value document;
    document["Device"][0] = entry;
    ASSERT_TRUE(files::WriteJsonDocument(folder / "four.Json", document));
    profile.LoadEntry(folder / "four.Json");
    std::vector<std::uint16_t> xs;
    for (const DpiStage& s : profile.ReadDPIStages()) {
        xs.push_back(s.StageDPIX);
    }
    EXPECT_THAT(xs, ElementsAre(1, 2, 3, 4, 104, 105));
    EXPECT_EQ(profile.activeStage(), 1);

    // Without the section the stored stages and active stage stay as they were.
    auto empty = withEntry<CMouseProfiledata>(folder, R"({})");
    empty.WriteDPIStages(six);
    empty.WriteDPIStageActive(3);
    empty.LoadEntry(folder / "entry.Json");  // the file still has no "DPIStages"
    EXPECT_EQ(empty.ReadDPIStages(), six);
    EXPECT_EQ(empty.activeStage(), 3);
}

TEST_F(Sections, DpiStageWriterRoundTripsWords) {
    auto profile = withEntry<CMouseProfiledata>(
        folder, R"({"DPIStages": {"StageDPIs": [{}, {}, {"Keep": 1}]}})");
    const std::vector<DpiStage> stages = {{1, 0, 12000, 12000, 255, 0, 0},
                                          {0, 1, 65535, 0, 1, 2, 3}};
    profile.WriteDPIStages(stages);
    profile.WriteDPIStageActive(1);
    ASSERT_TRUE(profile.SaveProfile());
    CMouseProfiledata reread;
    reread.LoadEntry(folder / "entry.Json");
    const std::vector<DpiStage> read = reread.ReadDPIStages();
    ASSERT_EQ(read.size(), 3u);
    EXPECT_EQ(read[0], stages[0]);
    EXPECT_EQ(read[1], stages[1]);
    EXPECT_EQ(reread.activeStage(), 1);
    EXPECT_EQ(reread.entry()["DPIStages"]["StageDPIs"][2]["Keep"], 1);
}

TEST_F(Sections, MouseSystemStagesPackThreeWords) {
    struct Case {
        const char* entry;
        SystemWords expected;
    };
    const std::vector<Case> cases = {
        {R"({"SystemStages": {"DoubleClickTime": 500, "MouseSpeed": 10, "PointerPrecision": 1,
            "ScorllPage": 65537, "WheelScorlllinse": 3}, "ReportStages": {"StageActive": 4}})",
         {(10u << 16) | 500, (1u << 16) | 1, (4u << 16) | 3}},
        {R"({"SystemStages": {"WheelScorlllinse": 3}})", {0, 0, 3}},
        {R"({"ReportStages": {"StageActive": 4}})", {0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entry);
        auto profile = withEntry<CMouseProfiledata>(folder, c.entry);
        EXPECT_EQ(profile.ReadSystemStages(), c.expected);
    }

    auto profile = withEntry<CMouseProfiledata>(folder, R"({"SystemStages": {"Keep": 1}})");
    profile.WriteSystemStages({(10u << 16) | 500, (0u << 16) | 1, (2u << 16) | 3});
    EXPECT_EQ(profile.entry(), json(R"({"SystemStages": {"Keep": 1, "DoubleClickTime": 500,
        "MouseSpeed": 10, "PointerPrecision": 1, "ScorllPage": 0, "WheelScorlllinse": 3},
        "ReportStages": {"StageActive": 2}})"));
    EXPECT_EQ(unpackMouseSystemStages(profile.systemWords()).ReportRate, 2);
}

TEST_F(Sections, CorrectInfoIsReadInOrder) {
    auto profile = withEntry<CMouseProfiledata>(folder, R"({"CorrectInfo": [
        {"CorrectPixThresh": 4, "CorrectMinSq": 8, "CorrectSelect": 1, "CorrectName": "low"},
        {"CorrectName": 5}]})");
    EXPECT_THAT(profile.ReadCorrectInfo(),
                ElementsAre(CorrectEntry{4, 8, 1, "low"}, CorrectEntry{0, 0, 0, ""}));
    auto without = withEntry<CMouseProfiledata>(folder, R"({})");
    EXPECT_THAT(without.ReadCorrectInfo(), IsEmpty());
}

// ---- keyboard ----

TEST_F(Sections, KeyboardSystemStagesPackThreeWords) {
    auto profile = withEntry<CKeyboardProfiledata>(folder, R"({"SystemStages": {"Repeat": 20,
        "RepeatDelay": 2, "Key6Flag": 1, "PollingRate": 3, "WFlag": 1, "WinFlag": 0}})");
    const SystemWords words{(2u << 16) | 20, (3u << 16) | 1, (0u << 16) | 1};
    EXPECT_EQ(profile.ReadSystemStages(), words);
    EXPECT_EQ(unpackSystemStages(words), (SystemStagesRecord{20, 2, 1, 3, 1, 0}));

    profile.WriteSystemStages(packSystemStages({31, 3, 0, 2, 0, 1}));
    EXPECT_EQ(profile.entry()["SystemStages"], json(R"({"Repeat": 31, "RepeatDelay": 3,
        "Key6Flag": 0, "PollingRate": 2, "WFlag": 0, "WinFlag": 1})"));
    auto without = withEntry<CKeyboardProfiledata>(folder, R"({})");
    EXPECT_EQ(without.ReadSystemStages(), SystemWords{});
}

TEST_F(Sections, CustomLightGroupsFillMissingKeysWithZeros) {
    auto profile = withEntry<CKeyboardProfiledata>(folder, R"({"CustomLightMode": {
        "CustomLightModeGroupIndex": 1,
        "LightColorInfo": [
            [{"Red": 1, "Green": 2, "Blue": 3, "Alpha": 4}],
            [{"Red": 300, "Green": 0, "Blue": 0, "Alpha": 255}, null, 7]]}})");
    EXPECT_EQ(profile.ReadCustomLightModeGroupIndex(), 1);

    // Group 1 with four keys: key 0 is read, keys 1–3 are missing and written as zeros.
    EXPECT_THAT(profile.ReadCustomLightMode(1, 4),
                ElementsAre(KeyColor{44, 0, 0, 255}, KeyColor{}, KeyColor{}, KeyColor{}));
    const Json::Value zero = json(R"({"Red": 0, "Green": 0, "Blue": 0, "Alpha": 0})");
    const Json::Value& group1 = profile.entry()["CustomLightMode"]["LightColorInfo"][1];
    ASSERT_EQ(group1.size(), 4u);
    EXPECT_EQ(group1[0], json(R"({"Red": 300, "Green": 0, "Blue": 0, "Alpha": 255})"));
    EXPECT_EQ(group1[1], zero);
    EXPECT_EQ(group1[3], zero);

    // A missing group: n zero colours, written into the entry.
    EXPECT_THAT(profile.ReadCustomLightMode(3, 2), ElementsAre(KeyColor{}, KeyColor{}));
    const Json::Value& groups = profile.entry()["CustomLightMode"]["LightColorInfo"];
    ASSERT_EQ(groups.size(), 4u);
    EXPECT_TRUE(groups[2].isNull());
    EXPECT_EQ(groups[3], json(R"([{"Red": 0, "Green": 0, "Blue": 0, "Alpha": 0},
                                   {"Red": 0, "Green": 0, "Blue": 0, "Alpha": 0}])"));
    EXPECT_EQ(profile.entry()["CustomLightMode"]["CustomLightModeGroupIndex"], 1);

    // Indexes that would make the profile grow without bound are refused.
    const Json::Value before = profile.entry();
    EXPECT_THAT(profile.ReadCustomLightMode(1 << 30, 2), ElementsAre(KeyColor{}, KeyColor{}));
    EXPECT_THAT(profile.ReadCustomLightMode(-1, 1), ElementsAre(KeyColor{}));
    EXPECT_EQ(profile.ReadCustomLightMode(0, 1 << 30).size(),
              static_cast<std::size_t>(kMaxCustomLightKeys));
    profile.WriteCustomLightMode(kMaxCustomLightGroups, {KeyColor{1, 1, 1, 1}});
    EXPECT_EQ(profile.entry(), before);
}

TEST_F(Sections, CustomLightGroupWriterSetsColoursAndTheGroupIndex) {
    auto profile = withEntry<CKeyboardProfiledata>(folder, R"({"CustomLightMode": {
        "LightColorInfo": [[{}, {}, {"Red": 9}]]}})");
    EXPECT_EQ(profile.ReadCustomLightModeGroupIndex(), 0);
    profile.WriteCustomLightMode(0, {KeyColor{1, 2, 3, 4}, KeyColor{5, 6, 7, 8}});
    profile.WriteCustomLightModeGroupIndex(0);
    EXPECT_EQ(profile.entry()["CustomLightMode"],
              json(R"({"CustomLightModeGroupIndex": 0, "LightColorInfo": [[
                  {"Red": 1, "Green": 2, "Blue": 3, "Alpha": 4},
                  {"Red": 5, "Green": 6, "Blue": 7, "Alpha": 8}, {"Red": 9}]]})"));
    auto without = withEntry<CKeyboardProfiledata>(folder, R"({})");
    EXPECT_EQ(without.ReadCustomLightModeGroupIndex(), 0);
}

// ---- headset ----

TEST_F(Sections, SystemSetStagesAreEightIntegers) {
    auto profile = withEntry<CHs6533Profiledata>(folder, R"({"SystemSetStages": {"MagicEnable": 1,
        "MagicType": 3, "EqType": 13, "CustomEqSeletIndex": -1, "MicInSelect": 1, "MicInValue": 80,
        "MicMoniterSelect": 0, "MicMoniterValue": 4294967296}})");
    EXPECT_EQ(profile.ReadSystemSetStages(), (SystemSetStages{1, 3, 13, -1, 1, 80, 0, 0}));
    profile.WriteSystemSetStages({0, 4, 2, 1, 0, 100, 1, 50});
    EXPECT_EQ(profile.entry()["SystemSetStages"],
              json(R"({"MagicEnable": 0, "MagicType": 4, "EqType": 2, "CustomEqSeletIndex": 1,
                       "MicInSelect": 0, "MicInValue": 100, "MicMoniterSelect": 1,
                       "MicMoniterValue": 50})"));
    auto without = withEntry<CHs6533Profiledata>(folder, R"({})");
    EXPECT_EQ(without.ReadSystemSetStages(), SystemSetStages{});
}

TEST_F(Sections, EqPresetNumbersMapToRows) {
    Json::Value entry;
    for (int row = 0; row <= 12; ++row) {
        for (int band = 0; band < 10; ++band) {
            entry["EQHzValueInfo"][row][band]["value"] = row * 100 + band;
        }
    }
    const std::string text = files::JsonDocumentText(entry);
    struct Case {
        int preset;
        int row;  // -1: the custom preset, nothing
    };
    for (const Case c : {Case{1, 1}, Case{12, 12}, Case{5, 5}, Case{0, 1}, Case{14, 1}, Case{-3, 1},
                         Case{13, -1}}) {
        SCOPED_TRACE(c.preset);
        auto profile = withEntry<CHs6533Profiledata>(folder, text);
        const std::vector<std::int32_t> bands = profile.ReadEQHzValueInfo(c.preset);
        if (c.row < 0) {
            EXPECT_THAT(bands, IsEmpty());
            continue;
        }
        ASSERT_EQ(bands.size(), kEqBandCount);
        EXPECT_EQ(bands[0], c.row * 100);
        EXPECT_EQ(bands[9], c.row * 100 + 9);
        EXPECT_EQ(profile.eqValues(), bands);
    }

    // Preset 13 writes nothing; others write their row.
    auto profile = withEntry<CHs6533Profiledata>(folder, text);
    profile.WriteEQHzValueInfo(13, std::vector<std::int32_t>(10, 7));
    EXPECT_EQ(profile.entry(), files::ParseJsonDocument(text));
    profile.WriteEQHzValueInfo(0, {-3, 4});
    EXPECT_EQ(profile.entry()["EQHzValueInfo"][1][0]["value"], -3);
    EXPECT_EQ(profile.entry()["EQHzValueInfo"][1][1]["value"], 4);
    EXPECT_EQ(profile.entry()["EQHzValueInfo"][1][2]["value"], 102);
}

TEST_F(Sections, AMissingEqRowIsWrittenAsZeros) {
    auto profile =
        withEntry<CHs6533Profiledata>(folder, R"({"EQHzValueInfo": [[], [{"value": 5}]]})");
    EXPECT_EQ(profile.ReadEQHzValueInfo(3), std::vector<std::int32_t>(10, 0));
    const Json::Value& rows = profile.entry()["EQHzValueInfo"];
    ASSERT_EQ(rows.size(), 4u);
    ASSERT_EQ(rows[3].size(), 10u);
    EXPECT_EQ(rows[3][9], json(R"({"value": 0})"));
    // A present row with missing bands reads them as 0 and leaves the row alone.
    EXPECT_EQ(profile.ReadEQHzValueInfo(1),
              (std::vector<std::int32_t>{5, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(rows[1].size(), 1u);
}

TEST_F(Sections, CustomEqSetsStayPaired) {
    auto profile = withEntry<CHs6533Profiledata>(folder, R"({
        "CustomEQNameInfo": [{"Name": "Rock"}, {"Name": "Jazz", "Keep": 1}, {"Name": "Pop"}],
        "CustomEQHzValueInfo": [[{"value": 1}], [{"value": 2}], [{"value": 3}]]})");
    EXPECT_THAT(profile.ReadCustomEQNameInfo(), ElementsAre("Rock", "Jazz", "Pop"));
    EXPECT_EQ(profile.ReadCustomEQHzValueInfo(2)[0], 3);
    EXPECT_EQ(profile.ReadCustomEQHzValueInfo(5), std::vector<std::int32_t>(10, 0));  // written
    EXPECT_EQ(profile.entry()["CustomEQHzValueInfo"].size(), 6u);
    EXPECT_EQ(profile.ReadCustomEQHzValueInfo(-1), std::vector<std::int32_t>(10, 0));
    EXPECT_EQ(profile.ReadCustomEQHzValueInfo(kMaxCustomEqSets), std::vector<std::int32_t>(10, 0));
    EXPECT_EQ(profile.entry()["CustomEQHzValueInfo"].size(), 6u);

    profile.RemoveCustomEQSet(0);
    EXPECT_THAT(profile.ReadCustomEQNameInfo(), ElementsAre("Jazz", "Pop"));
    EXPECT_EQ(profile.ReadCustomEQHzValueInfo(0)[0], 2);

    // The name writer takes the whole list: a shorter list drops the names after it.
    profile.WriteCustomEQNameInfo({"Blues"});
    EXPECT_EQ(profile.entry()["CustomEQNameInfo"], json(R"([{"Name": "Blues", "Keep": 1}])"));
    profile.WriteCustomEQHzValueInfo(0, {9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 99});
    EXPECT_EQ(profile.ReadCustomEQHzValueInfo(0),
              (std::vector<std::int32_t>{9, 8, 7, 6, 5, 4, 3, 2, 1, 0}));
    auto without = withEntry<CHs6533Profiledata>(folder, R"({})");
    EXPECT_THAT(without.ReadCustomEQNameInfo(), IsEmpty());
    without.RemoveCustomEQSet(0);
    EXPECT_EQ(without.entry(), json("{}"));
}

// ---- custom lighting effects ----

class CustomEffects : public Sections {
  protected:
    void SetUp() override {
        std::filesystem::create_directory(folder / "device");
        writeText(folder / "device" / "brenta_light.config", R"({"LightInfo": [[
            {"Guid": "effect-a", "LightName": "A"},
            {"Guid": "../outside", "LightName": "B"},
            {"Guid": "/etc/passwd", "LightName": "C"},
            {"LightName": "no guid"},
            {"Guid": "effect-d", "LightName": "D"}]]})");
        writeText(folder / "device" / "effect-a.light", R"({"LEDEffectList": [
            {"LEDREGMode": 3, "LEDBrightness": 5, "LEDSpeed": 1, "LEDDirection": 1, "LEDMultiColor": 0,
             "red": 256, "green": 2, "blue": 3, "Time": 500, "Cyle": -1},
            {"Time": 4294967296}]})");
        writeText(folder / "outside.light", R"({"LEDEffectList": [{"Time": 1}]})");
    }
    std::vector<LedEffectStep> stepsFor(int selectItem) {
        auto profile = withEntry<CBasicProfiledata>(
            folder, "{\"LightInfo\": {\"SelectItem\": " + std::to_string(selectItem) + "}}");
        profile.setCustomEffectIndexPath(folder / "device" / "brenta_light.config");
        profile.ReadCustomEffectIndex();
        profile.ReadLightInfo();
        return profile.ReadCustomEffectSteps();
    }
};

TEST_F(CustomEffects, StepsComeFromTheChosenEffectsFileInTheDeviceFolder) {
    EXPECT_THAT(stepsFor(0), ElementsAre(LedEffectStep{3, 5, 1, 1, 0, 0, 2, 3, 500, -1},
                                         LedEffectStep{.Time = 0}));
}

TEST_F(CustomEffects, UnsafeOrMissingGuidsGiveNoSteps) {
    EXPECT_THAT(stepsFor(1), IsEmpty());  // "../outside" would leave the folder
    EXPECT_THAT(stepsFor(2), IsEmpty());  // absolute path
    EXPECT_THAT(stepsFor(3), IsEmpty());  // no "Guid"
    EXPECT_THAT(stepsFor(4), IsEmpty());  // file missing
    EXPECT_THAT(stepsFor(5), IsEmpty());  // beyond the list
}

TEST_F(CustomEffects, WithoutAnIndexThereAreNoSteps) {
    auto profile = withEntry<CBasicProfiledata>(folder, R"({})");
    EXPECT_TRUE(profile.ReadCustomEffectIndex(folder / "missing.config").isNull());
    EXPECT_THAT(profile.ReadCustomEffectSteps(), IsEmpty());
}

}  // namespace
}  // namespace korvane::profile
