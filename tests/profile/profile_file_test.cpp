#include <json/value.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/files/json_document.h"
#include "profile/basic_profile_data.h"
#include "profile/mouse_profile_data.h"
#include "tests/files/temp_folder.h"
#include "tests/profile/profile_test_support.h"

namespace korvane::profile {
namespace {

namespace fs = std::filesystem;
using files::ReadJsonDocument;
using files::WriteJsonDocument;
using korvane::testing::readText;
using korvane::testing::TempFolder;
using korvane::testing::writeText;
using testing::json;

constexpr const char* kDefaultEntry =
    R"({"LightInfo": {"SelectItem": 3, "Light": 4}, "KeyList": [{"Assignment": 1048832,
        "DefaultAssignment": 1048832}], "DPIStages": {"StageActive": 1, "StageDPIs": [{"StageDPIX": 7}]}})";

class ProfileFile : public ::testing::Test {
  protected:
    void SetUp() override {
        Json::Value defaults;
        defaults["Device"][0] = json(kDefaultEntry);
        defaults["profilename"] = "default";
        ASSERT_TRUE(WriteJsonDocument(defaultPath(), defaults));
        profile.setDefaultDataFilePath(defaultPath());
        profile.setProfileFilePath(profilePath());
    }
    fs::path defaultPath() const { return folder / "mouse.Json"; }
    fs::path profilePath() const { return folder / "2023_05_17_09_04_33_250.Json"; }

    TempFolder folder;
    CMouseProfiledata profile;
};

TEST_F(ProfileFile, AMissingProfileFileIsCreatedFromTheDefaultEntry) {
    const Json::Value entry = profile.LoadEntry(profilePath());
    EXPECT_EQ(entry, json(kDefaultEntry));
    EXPECT_EQ(profile.entry(), entry);
    Json::Value expected;
    expected["Device"][0] = json(kDefaultEntry);
    EXPECT_EQ(ReadJsonDocument(profilePath()), expected);  // only "Device"
    EXPECT_EQ(profile.ReadLightInfo().SelectItem, 3);
}

TEST_F(ProfileFile, ADamagedEntryIsRepairedAndTheRestOfTheFileKept) {
    struct Case {
        const char* name;
        std::string file;
        Json::Value expected;  // the file after loading
    };
    const Json::Value entry = json(kDefaultEntry);
    Json::Value kept = json(R"({"profilename": "Game", "profileUUID": "u1"})");
    kept["Device"][0] = entry;
    Json::Value keptSecond = json(R"({"profilename": "Game"})");
    keptSecond["Device"][0] = entry;
    keptSecond["Device"][1] = json(R"({"other": 1})");
    Json::Value onlyDevice;
    onlyDevice["Device"][0] = entry;
    const std::vector<Case> cases = {
        {"no entry", R"({"profilename": "Game", "profileUUID": "u1", "Device": []})", kept},
        {"null entry", R"({"profilename": "Game", "profileUUID": "u1", "Device": [null]})", kept},
        {"entry not an object", R"({"profilename": "Game", "profileUUID": "u1", "Device": [5]})",
         kept},
        {"Device not an array",
         R"({"profilename": "Game", "profileUUID": "u1", "Device": {"0": {}}})", kept},
        {"other device elements stay", R"({"profilename": "Game", "Device": [null, {"other": 1}]})",
         keptSecond},
        {"cut-off file", R"({"profilename": "Game", "Device": [{"LightInfo": )", onlyDevice},
        {"root not an object", R"([1, 2, 3])", onlyDevice},
        {"empty file", "", onlyDevice},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeText(profilePath(), c.file);
        EXPECT_EQ(profile.LoadEntry(profilePath()), entry);
        EXPECT_EQ(ReadJsonDocument(profilePath()), c.expected);
    }
}

TEST_F(ProfileFile, AGoodEntryIsLoadedWithoutWritingTheFile) {
    const std::string text = R"({"Device": [{"LightInfo": {"SelectItem": 9}}], "x": 1})";
    writeText(profilePath(), text);
    EXPECT_EQ(profile.LoadEntry(profilePath()), json(R"({"LightInfo": {"SelectItem": 9}})"));
    EXPECT_EQ(readText(profilePath()), text);
}

TEST_F(ProfileFile, WithoutADefaultFileTheEntryStaysNullAndReadersFallBack) {
    fs::remove(defaultPath());
    EXPECT_TRUE(profile.LoadEntry(profilePath()).isNull());
    EXPECT_EQ(ReadJsonDocument(profilePath()), json(R"({"Device": [null]})"));
    EXPECT_EQ(profile.ReadLightInfo(), lighting::LightEffect{});
    EXPECT_TRUE(profile.ReadKeyList().empty());
    EXPECT_TRUE(profile.ReadDPIStages().empty());
    EXPECT_EQ(profile.ReadSystemStages(), SystemWords{});
}

TEST_F(ProfileFile, ResettingToDefaultsNeverWritesTheDefaultFile) {
    // Reset: the entry comes from the default file, the next save puts it in the profile.
    writeText(profilePath(),
              R"({"profilename": "Game", "Device": [{"LightInfo": {"SelectItem": 9}}]})");
    profile.LoadEntry(profilePath());
    EXPECT_EQ(profile.LoadEntry(defaultPath()), json(kDefaultEntry));
    ASSERT_TRUE(profile.SaveProfile());
    Json::Value expected = json(R"({"profilename": "Game"})");
    expected["Device"][0] = json(kDefaultEntry);
    EXPECT_EQ(ReadJsonDocument(profilePath()), expected);

    // A default file without an entry is left as it is, and it is never saved into.
    const std::string broken = R"({"Device": []})";
    writeText(defaultPath(), broken);
    EXPECT_TRUE(profile.LoadEntry(defaultPath()).isNull());
    EXPECT_FALSE(profile.SaveEntryTo(json(R"({"a": 1})"), defaultPath()));
    EXPECT_EQ(readText(defaultPath()), broken);
}

TEST_F(ProfileFile, SavingReplacesOnlyTheWorkingEntry) {
    writeText(profilePath(), R"({
        "profilename": "Game", "profileUUID": "2023_05_17_09_04_33_250", "Extra": {"keep": [1, 2]},
        "Device": [
            {"LightInfo": {"SelectItem": 2}, "DPIStages": {"StageActive": 0, "StageDPIs": [{"StageDPIX": 5}]},
             "Unknown": "stays", "KeyList": [{"Assignment": 1, "DefaultAssignment": 2}]},
            {"second": "device"}
        ]})");
    profile.LoadEntry(profilePath());
    profile.ReadDPIStages();
    profile.WriteDPIStageActive(0);
    profile.WriteDPIStages({DpiStage{.StageActive = 1, .StageDPIX = 12000, .StageDPIY = 12000}});
    ASSERT_TRUE(profile.SaveProfile());

    const Json::Value saved = ReadJsonDocument(profilePath());
    EXPECT_EQ(saved["profilename"], "Game");
    EXPECT_EQ(saved["profileUUID"], "2023_05_17_09_04_33_250");
    EXPECT_EQ(saved["Extra"], json(R"({"keep": [1, 2]})"));
    EXPECT_EQ(saved["Device"][1], json(R"({"second": "device"})"));
    const Json::Value& entry = saved["Device"][0];
    EXPECT_EQ(entry["Unknown"], "stays");
    EXPECT_EQ(entry["LightInfo"], json(R"({"SelectItem": 2})"));
    EXPECT_EQ(entry["KeyList"], json(R"([{"Assignment": 1, "DefaultAssignment": 2}])"));
    EXPECT_EQ(entry["DPIStages"]["StageDPIs"][0]["StageDPIX"], 12000);

    // A second profile object reading the file sees the value.
    CMouseProfiledata other;
    other.LoadEntry(profilePath());
    EXPECT_EQ(other.ReadDPIStages().at(0).StageDPIX, 12000);
}

TEST_F(ProfileFile, SaveReadsTheFileAgainSoConcurrentChangesToOtherMembersSurvive) {
    profile.LoadEntry(profilePath());
    // The profile list renames the profile between load and save.
    Json::Value document = ReadJsonDocument(profilePath());
    document["profilename"] = "Renamed";
    ASSERT_TRUE(WriteJsonDocument(profilePath(), document));
    profile.WriteDPIStageActive(4);
    ASSERT_TRUE(profile.SaveProfile());
    const Json::Value saved = ReadJsonDocument(profilePath());
    EXPECT_EQ(saved["profilename"], "Renamed");
    EXPECT_EQ(saved["Device"][0]["DPIStages"]["StageActive"], 4);
}

TEST_F(ProfileFile, TheSecondEntryWorksOnAnotherProfileWithoutTouchingTheWorkingOne) {
    const fs::path other = folder / "other.Json";
    writeText(other, R"({"profilename": "Other", "Device": [{"KeyList": [
        {"Assignment": 7340291, "DefaultAssignment": 1048832}, {"Assignment": 1}]}]})");
    profile.LoadEntry(profilePath());
    profile.LoadSecondEntry(other);
    std::vector<KeyListEntry> keys = profile.ReadSecondKeyList();
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys[0].assignment, (keys::KeyAssignment{0x70, 0x01, 0x03}));
    keys[0].assignment = keys[0].defaultAssignment;
    profile.WriteSecondKeyList(keys);
    ASSERT_TRUE(profile.SaveSecondEntryTo(other));

    const Json::Value saved = ReadJsonDocument(other);
    EXPECT_EQ(saved["profilename"], "Other");
    EXPECT_EQ(
        saved["Device"][0]["KeyList"],
        json(R"([{"Assignment": 1048832, "DefaultAssignment": 1048832}, {"Assignment": 1}])"));
    EXPECT_EQ(profile.entry(), json(kDefaultEntry));
    EXPECT_EQ(ReadJsonDocument(profilePath())["Device"][0], json(kDefaultEntry));
}

TEST_F(ProfileFile, PathAndIndexSettersRefuseBadValues) {
    profile.setProfileFilePath({});
    EXPECT_EQ(profile.profileFilePath(), profilePath());
    profile.setDefaultDataFilePath({});
    EXPECT_EQ(profile.defaultDataFilePath(), defaultPath());
    for (int bad : {-1, kMaxDeviceIndex + 1, 1 << 30}) {
        profile.setDeviceIndex(bad);
        EXPECT_EQ(profile.deviceIndex(), 0);
    }
    // Another device index reads and writes its own element.
    writeText(profilePath(), R"({"Device": [{"a": 0}, {"LightInfo": {"SelectItem": 5}}]})");
    profile.setDeviceIndex(1);
    profile.LoadEntry(profilePath());
    EXPECT_EQ(profile.ReadLightInfo().SelectItem, 5);
}

TEST_F(ProfileFile, AFailedSaveLeavesTheOldFile) {
    profile.LoadEntry(profilePath());
    const std::string before = readText(profilePath());
    profile.setProfileFilePath(folder / "missing-folder" / "p.Json");
    profile.WriteDPIStageActive(3);
    EXPECT_FALSE(profile.SaveProfile());
    EXPECT_EQ(readText(profilePath()), before);
}

}  // namespace
}  // namespace korvane::profile
