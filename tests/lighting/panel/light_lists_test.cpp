// The mode lists: reading "default_light.json" and the custom-effect index, the shipped file
// and its texts, and the device base's LoadLightLists.
#include "lighting/panel/light_list_files.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/files/json_document.h"
#include "tests/files/temp_folder.h"
#include "ui/language.h"

namespace korvane::lighting::panel {
namespace {

std::filesystem::path sourceFolder() {
    const char* source = std::getenv("KORVANE_SOURCE_DIR");
    return std::filesystem::path(source != nullptr ? source : ".");
}

const char* const kTwoDevices = R"({
  "DefaultLightName": [
    [ {"LightName": "k0", "visible": false, "value": 0}, {"LightName": "k1", "visible": 1, "value": 17} ],
    [ {"LightName": "m0", "visible": true, "value": 3} ]
  ],
  "AreaLightName": [ [ {"LightName": "all"}, {"LightName": "keys"} ], null ]
})";

LightLists filled() {
    return LightLists{{"old"}, {true}, {9}, {"old area"}, {"old effect"}};
}

TEST(LightListFiles, RowsReplaceTheirListsAndMissingRowsKeepThem) {
    const Json::Value doc = files::ParseJsonDocument(kTwoDevices);
    LightLists lists = filled();
    applyDefaultLightDocument(doc, 0, lists);
    EXPECT_EQ(lists.modeNames, (std::vector<std::string>{"k0", "k1"}));
    EXPECT_EQ(lists.modeVisible, (std::vector<bool>{false, true}));
    EXPECT_EQ(lists.modeCodes, (std::vector<int>{0, 17}));
    EXPECT_EQ(lists.areaNames, (std::vector<std::string>{"all", "keys"}));
    EXPECT_EQ(lists.customEffectNames, filled().customEffectNames);

    lists = filled();
    applyDefaultLightDocument(doc, 1, lists);  // modes, but a null area row
    EXPECT_EQ(lists.modeNames, (std::vector<std::string>{"m0"}));
    EXPECT_EQ(lists.areaNames, filled().areaNames);

    for (int index : {2, -1, 1000}) {
        lists = filled();
        applyDefaultLightDocument(doc, index, lists);
        EXPECT_EQ(lists, filled()) << index;
    }
}

TEST(LightListFiles, StrangeContentGivesEmptyValuesNotACrash) {
    const char* const texts[] = {
        R"({"DefaultLightName": "nope", "AreaLightName": {"0": 1}})",
        R"({"DefaultLightName": [ {"LightName": "x"} ]})",  // row 0 is not an array
        R"([1, 2, 3])",
        R"(null)",
    };
    for (const char* text : texts) {
        LightLists lists = filled();
        applyDefaultLightDocument(files::ParseJsonDocument(text), 0, lists);
        EXPECT_EQ(lists, filled()) << text;
    }
    LightLists lists = filled();
    applyDefaultLightDocument(
        files::ParseJsonDocument(R"({"DefaultLightName": [[ 5, {"LightName": 7,
        "visible": "yes", "value": 4.9}, {"value": 4294967297} ]]})"),
        0, lists);
    EXPECT_EQ(lists.modeNames, (std::vector<std::string>{"", "", ""}));
    EXPECT_EQ(lists.modeVisible, (std::vector<bool>{false, false, false}));
    EXPECT_EQ(lists.modeCodes, (std::vector<int>{0, 4, 1}));
}

TEST(LightListFiles, CustomEffectNamesComeFromTheIndexFile) {
    korvane::testing::TempFolder folder;
    korvane::testing::writeText(folder / "default_light.json", kTwoDevices);
    korvane::testing::writeText(
        folder / "brenta_light.config",
        R"({"LightInfo": [[{"LightName": "Aurora", "Guid": "g1"}, {"Guid": "g2"}]]})");
    LightLists lists;
    readLightListFiles(folder / "default_light.json", folder / "brenta_light.config", 0, lists);
    EXPECT_EQ(lists.modeNames.size(), 2u);
    EXPECT_EQ(lists.customEffectNames, (std::vector<std::string>{"Aurora", ""}));

    // Missing and damaged files leave what was there.
    korvane::testing::writeText(folder / "broken.json", "{\"DefaultLightName\": [[");
    const LightLists before = lists;
    readLightListFiles(folder / "broken.json", folder / "missing.config", 0, lists);
    EXPECT_EQ(lists, before);
}

TEST(ShippedLightLists, EveryDeviceHasItsModesCodedByIndexWithTextsInBothLanguages) {
    const Json::Value doc =
        files::ReadJsonDocument(sourceFolder() / "DefaultData" / kDefaultLightFileName);
    ASSERT_FALSE(doc.isNull());
    ui::Language english, chinese;
    ASSERT_TRUE(english.load(ui::Language::fileFor(sourceFolder() / "skin", "en")));
    ASSERT_TRUE(chinese.load(ui::Language::fileFor(sourceFolder() / "skin", "cn")));
    const std::size_t counts[] = {31, 10, 9, 9};
    for (int index = 0; index < 4; ++index) {
        SCOPED_TRACE(index);
        LightLists lists;
        applyDefaultLightDocument(doc, index, lists);
        ASSERT_EQ(lists.modeNames.size(), counts[index]);
        for (std::size_t i = 0; i < lists.modeCodes.size(); ++i) {
            EXPECT_EQ(lists.modeCodes[i], static_cast<int>(i));
        }
        EXPECT_FALSE(lists.areaNames.empty());
        std::vector<std::string> keys = lists.modeNames;
        keys.insert(keys.end(), lists.areaNames.begin(), lists.areaNames.end());
        for (const std::string& key : keys) {
            EXPECT_TRUE(english.contains(key)) << key;
            EXPECT_TRUE(chinese.contains(key)) << key;
        }
    }
}

}  // namespace
}  // namespace korvane::lighting::panel
