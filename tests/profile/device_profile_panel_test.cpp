// The profile list panel over an in-memory skin and a temporary device data folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "platform/files/json_document.h"
#include "platform/log/logger.h"
#include "profile/device_profile_panel.h"
#include "tests/files/temp_folder.h"
#include "tests/profile/profile_test_support.h"
#include "ui/control_kind.h"
#include "ui/memory_control.h"
#include "ui/notification.h"

namespace korvane::profile {
namespace {

namespace fs = std::filesystem;
using korvane::testing::readText;
using korvane::testing::TempFolder;
using korvane::testing::writeText;
using testing::json;

constexpr std::array<const char*, 8> kTabs = {
    "deng_Op_tab",   "key_Op_tab",        "macro_Op_tab", "system_Op_tab",
    "cursor_Op_tab", "6533_voice_Op_tab", "magic_Op_tab", "Virtual7.1_Op_tab"};

const char* const kDefaults = R"({
    "Device": [{"LightInfo": {"Light": 4, "SelectItem": 1},
                "CustomEQNameInfo": [{"Name": "factory"}]}],
    "DefaultOnly": true,
    "profilename": "default", "profileUUID": "default"})";

// Every file below `root` with its content, except those under `skip`.
std::map<std::string, std::string> snapshot(const fs::path& root, const fs::path& skip) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        const std::string rel = e.path().lexically_relative(root).string();
        if (e.path().string().rfind(skip.string(), 0) == 0) {
            continue;
        }
        files[rel] = e.is_regular_file() ? readText(e.path()) : "<folder>";
    }
    return files;
}

class ProfileList : public ::testing::Test {
  protected:
    ProfileList() : root("DeviceProfile", "DeviceProfile"), panel(&root) {
        combo = &root.add("Combo", "device_profile_combo");
        edit = &root.add("Edit", "device_profile_name_edit");
        menu = &root.add("HorizontalLayout", "profile_menu_layout");
        for (const char* name : kTabs) {
            tabs.push_back(&root.add("Option", name));
        }
        writeText(defaults, kDefaults);
    }

    void start(int kind = 2) {
        panel.SetKind(kind);
        panel.SetPaths(folder, defaults);
        panel.Initialise();
    }

    // A list file of profiles with these names, each with a file holding `marker`.
    void writeList(const std::vector<std::string>& names, int select = 0) {
        fs::create_directories(folder);
        Json::Value list;
        for (std::size_t i = 0; i < names.size(); ++i) {
            const std::string id = "2024_01_01_00_00_00_" + std::to_string(100 + i);
            Json::Value entry;
            entry["profilename"] = names[i];
            entry["profileUUID"] = id;
            entry["profileislink"] = 0;
            entry["profilelinkmame"] = "";
            list["profilelist"].append(entry);
            Json::Value profile;
            profile["Device"][0]["marker"] = static_cast<int>(i);
            profile["profilename"] = names[i];
            profile["profileUUID"] = id;
            ASSERT_TRUE(files::WriteJsonDocument(folder / (id + ".Json"), profile));
        }
        list["profileselect"] = select;
        ASSERT_TRUE(files::WriteJsonDocument(listFile(), list));
    }

    fs::path listFile() const { return folder / "ProfileList.ini"; }
    Json::Value list() const { return files::ReadJsonDocument(listFile()); }
    Json::Value profileFile(const std::string& id) const {
        return files::ReadJsonDocument(folder / (id + ".Json"));
    }
    Json::Value profileAt(int position) const {
        return profileFile(list()["profilelist"][position]["profileUUID"].asString());
    }
    std::vector<std::string> fileNames() const {
        std::vector<std::string> names;
        const Json::Value l = list();
        for (const Json::Value& e : l["profilelist"]) {
            names.push_back(e["profilename"].asString());
        }
        return names;
    }
    std::vector<std::string> comboNames() const {
        std::vector<std::string> names;
        for (int i = 0; i < combo->itemCount(); ++i) {
            names.push_back(combo->itemText(i));
        }
        return names;
    }

    // The combo shows the file's list in its order, every id is a safe, unique file name in
    // the folder, and every listed profile has its file there.
    void expectConsistent() const { expectConsistent(panel); }
    void expectConsistent(const CDeviceProfileUI& p) const {
        const Json::Value l = list();
        ASSERT_TRUE(l["profilelist"].isArray());
        EXPECT_EQ(comboNames(), fileNames());
        EXPECT_EQ(p.Count(), static_cast<int>(l["profilelist"].size()));
        std::set<std::string> ids;
        for (Json::ArrayIndex i = 0; i < l["profilelist"].size(); ++i) {
            const std::string id = l["profilelist"][i]["profileUUID"].asString();
            EXPECT_EQ(combo->itemData(static_cast<int>(i)), id);
            EXPECT_EQ(p.UUIDOf(static_cast<int>(i)), id);
            EXPECT_TRUE(std::regex_match(id, std::regex(R"(\d{4}(_\d{2}){5}_\d{3})"))) << id;
            EXPECT_TRUE(ids.insert(id).second) << "duplicate " << id;
            EXPECT_TRUE(fs::is_regular_file(folder / (id + ".Json"))) << id;
        }
    }

    TempFolder temp;
    fs::path folder = temp / "data" / "mouse";
    fs::path defaults = temp / "mouse.Json";
    ui::MemoryControl root;
    ui::MemoryControl* combo = nullptr;
    ui::MemoryControl* edit = nullptr;
    ui::MemoryControl* menu = nullptr;
    std::vector<ui::MemoryControl*> tabs;
    CDeviceProfileUI panel;
};

TEST_F(ProfileList, FirstStartMakesProfile1FromTheDefaults) {
    start();
    const Json::Value l = list();
    ASSERT_EQ(l["profilelist"].size(), 1u);
    const Json::Value& entry = l["profilelist"][0];
    EXPECT_EQ(entry["profilename"], "profile1");
    EXPECT_EQ(entry["profileislink"], 0);
    EXPECT_EQ(entry["profilelinkmame"], "");
    EXPECT_EQ(l["profileselect"], 0);
    EXPECT_EQ(panel.SelectedIndex(), 0);
    EXPECT_EQ(panel.SelectedUUID(), entry["profileUUID"].asString());
    EXPECT_EQ(panel.SelectedProfileFile(), folder / (panel.SelectedUUID() + ".Json"));
    EXPECT_EQ(edit->text(), "profile1");

    Json::Value expected = json(kDefaults);
    expected["profilename"] = "profile1";
    expected["profileUUID"] = panel.SelectedUUID();
    EXPECT_EQ(profileAt(0), expected);
    expectConsistent();
}

TEST_F(ProfileList, StoredSelectionIsSelectedWithoutNotification) {
    writeList({"a", "b", "c"}, 2);
    int notifications = 0;
    root.setNotificationHandler([&](const ui::Notification&) { ++notifications; });
    start();
    EXPECT_EQ(panel.SelectedIndex(), 2);
    EXPECT_EQ(panel.SelectedUUID(), panel.UUIDOf(2));
    EXPECT_EQ(edit->text(), "c");
    EXPECT_EQ(notifications, 0);
    expectConsistent();

    // Select records the choice; with a notification the handler already sees it.
    std::string seen;
    root.setNotificationHandler([&](const ui::Notification& n) {
        if (n.is(ui::notify::kItemSelect)) {
            seen = panel.SelectedUUID();
        }
    });
    EXPECT_TRUE(panel.Select(0, ui::Notify::Yes));
    EXPECT_EQ(seen, panel.UUIDOf(0));
    EXPECT_EQ(list()["profileselect"], 0);
    EXPECT_EQ(edit->text(), "a");
    EXPECT_FALSE(panel.Select(3, ui::Notify::No));
    EXPECT_FALSE(panel.Select(-1, ui::Notify::No));
    EXPECT_EQ(panel.SelectedIndex(), 0);
}

TEST_F(ProfileList, SelectingAProfileWithoutFileMakesItFromTheDefaults) {
    writeList({"a", "b"});
    fs::remove(folder / "2024_01_01_00_00_00_101.Json");
    start();
    ASSERT_TRUE(panel.Select(1, ui::Notify::No));
    Json::Value expected = json(kDefaults);
    expected["profilename"] = "b";
    expected["profileUUID"] = "2024_01_01_00_00_00_101";
    EXPECT_EQ(profileAt(1), expected);
}

TEST_F(ProfileList, AddTakesTheFirstFreeProfileNumberWithoutCase) {
    const struct {
        std::vector<std::string> names;
        std::string added;
    } cases[] = {
        {{"profile1", "Profile2"}, "profile3"},
        {{"Game"}, "profile1"},
        {{"profile2"}, "profile1"},
        {{"PROFILE1", "profile3"}, "profile2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.added);
        fs::remove_all(folder);
        writeList(c.names);
        start();
        const int added = panel.Add();
        ASSERT_EQ(added, static_cast<int>(c.names.size()));
        EXPECT_EQ(fileNames().back(), c.added);
        EXPECT_EQ(list()["profileselect"], added);  // recorded; the caller selects it
        EXPECT_EQ(panel.SelectedIndex(), 0);
        Json::Value expected = json(kDefaults);
        expected["profilename"] = c.added;
        expected["profileUUID"] = panel.UUIDOf(added);
        EXPECT_EQ(profileAt(added), expected);
        expectConsistent();
    }
}

TEST_F(ProfileList, FiftyProfilesStopAddButNotCopyOrImport) {
    start();
    for (int i = 1; i < kMaxAddedProfiles; ++i) {
        ASSERT_EQ(panel.Add(), i);
    }
    EXPECT_EQ(panel.Add(), -1);
    EXPECT_EQ(panel.Count(), kMaxAddedProfiles);

    EXPECT_EQ(panel.Copy(), kMaxAddedProfiles);
    const fs::path game = temp / "game.json";
    writeText(game, R"({"profilename": "x", "profileUUID": "y", "Device": []})");
    EXPECT_EQ(panel.Import(game), ImportResult::Imported);
    EXPECT_EQ(panel.Count(), kMaxAddedProfiles + 2);
    EXPECT_EQ(panel.Add(), -1);
    expectConsistent();
}

TEST_F(ProfileList, DeleteRemovesTheSelectedProfileAndSelectsTheOneBefore) {
    const struct {
        int selected;
        int next;
        std::vector<std::string> left;
    } cases[] = {
        {0, 0, {"b", "c"}},
        {1, 0, {"a", "c"}},
        {2, 1, {"a", "b"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.selected);
        fs::remove_all(folder);
        writeList({"a", "b", "c"}, c.selected);
        start();
        const std::string gone = panel.UUIDOf(c.selected);
        EXPECT_EQ(panel.Delete(), c.next);
        EXPECT_EQ(fileNames(), c.left);
        EXPECT_FALSE(fs::exists(folder / (gone + ".Json")));
        EXPECT_EQ(list()["profileselect"], c.next);
        EXPECT_EQ(panel.SelectedIndex(), c.next);
        EXPECT_EQ(panel.SelectedUUID(), panel.UUIDOf(c.next));
        EXPECT_EQ(edit->text(), c.left[static_cast<std::size_t>(c.next)]);
        expectConsistent();
    }

    fs::remove_all(folder);
    writeList({"only"});
    start();
    const std::string before = readText(listFile());
    EXPECT_EQ(panel.Delete(), -1);
    EXPECT_EQ(readText(listFile()), before);
    EXPECT_TRUE(fs::exists(folder / (panel.UUIDOf(0) + ".Json")));
}

TEST_F(ProfileList, CopyAddsCopyUntilTheNameIsFreeAndKeepsTheSelection) {
    writeList({"Game", "other"});
    start();
    Json::Value source = profileAt(0);
    source["Extra"] = "kept";
    ASSERT_TRUE(files::WriteJsonDocument(folder / (panel.UUIDOf(0) + ".Json"), source));

    EXPECT_EQ(panel.Copy(), 2);
    EXPECT_EQ(panel.Copy(), 3);
    EXPECT_EQ(fileNames(),
              (std::vector<std::string>{"Game", "other", "Game copy", "Game copy copy"}));
    EXPECT_EQ(panel.SelectedIndex(), 0);
    EXPECT_EQ(list()["profileselect"], 0);
    Json::Value expected = source;
    expected["profilename"] = "Game copy";
    expected["profileUUID"] = panel.UUIDOf(2);
    EXPECT_EQ(profileAt(2), expected);
    expectConsistent();

    // A damaged source gives a profile holding only its name and id.
    writeText(folder / (panel.UUIDOf(0) + ".Json"), "{ damaged");
    EXPECT_EQ(panel.Copy(), 4);
    const Json::Value copy = profileAt(4);
    EXPECT_EQ(copy.getMemberNames(), (std::vector<std::string>{"profileUUID", "profilename"}));
    EXPECT_EQ(copy["profilename"], "Game copy copy copy");
}

TEST_F(ProfileList, RenameResults) {
    writeList({"First", "\u00e4rger"});
    start();
    const struct {
        const char* name;
        RenameResult result;
        const char* stored;  // the selected profile's name afterwards
    } cases[] = {
        {"FIRST", RenameResult::Renamed, "FIRST"},  // its own name in other letter case
        {"   ", RenameResult::Blank, "FIRST"},
        {"\t\u3000 ", RenameResult::Blank, "FIRST"},  // ideographic space
        {"", RenameResult::Blank, "FIRST"},
        {"\u00e4RGER", RenameResult::NameInUse, "FIRST"},
        {"\u00c4RGER", RenameResult::Renamed, "\u00c4RGER"},  // not a case pair for the list
        {" Neu ", RenameResult::Renamed, " Neu "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(panel.Rename(c.name), c.result);
        EXPECT_EQ(fileNames()[0], c.stored);
        EXPECT_EQ(profileAt(0)["profilename"], c.stored);
        EXPECT_EQ(profileAt(0)["Device"][0]["marker"], 0);
        EXPECT_EQ(combo->itemText(0), c.stored);
        expectConsistent();
    }
    EXPECT_EQ(edit->text(), " Neu ");
    EXPECT_EQ(fileNames()[1], "\u00e4rger");
}

TEST(ProfileNames, CompareAsciiWithoutCaseAndEverythingElseExactly) {
    EXPECT_TRUE(profileNamesEqual("Profile1", "pROFILE1"));
    EXPECT_FALSE(profileNamesEqual("profile1", "profile1 "));
    EXPECT_TRUE(profileNamesEqual("\u6e38\u620f", "\u6e38\u620f"));
    EXPECT_FALSE(profileNamesEqual("\u00c1", "\u00e1"));  // bytes C3 81 / C3 A1 stay apart
    EXPECT_FALSE(profileNamesEqual("a\u00c1", "A\u00e1"));

    EXPECT_TRUE(isBlankProfileName(""));
    EXPECT_TRUE(isBlankProfileName(" \t\r\n\u00a0\u2003\u3000"));
    EXPECT_FALSE(isBlankProfileName(" x "));
    EXPECT_FALSE(isBlankProfileName(" \xff "));  // not UTF-8: not white space either
    EXPECT_FALSE(isBlankProfileName("\u200b"));  // zero width space is not White_Space
}

TEST_F(ProfileList, ImportNamesAfterTheFileAndKeepsItsContent) {
    writeList({"a"});
    start();
    const fs::path game = temp / "game.json";
    // The "Device" content is whatever the file holds; the device repairs it on load.
    writeText(game, R"({"profilename": "theirs", "profileUUID": "../../escape",
                        "Device": "not an array", "Other": [1, 2]})");
    ASSERT_TRUE(CDeviceProfileUI::IsImportableProfile(game));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(panel.Import(game), ImportResult::Imported);
    }
    EXPECT_EQ(fileNames(), (std::vector<std::string>{"a", "game", "game(1)", "game(1)(2)"}));
    EXPECT_EQ(panel.SelectedIndex(), 0);
    for (int i = 1; i <= 3; ++i) {
        Json::Value expected = json(readText(game));
        expected["profilename"] = fileNames()[static_cast<std::size_t>(i)];
        expected["profileUUID"] = panel.UUIDOf(i);
        EXPECT_EQ(profileAt(i), expected);
    }
    expectConsistent();
    EXPECT_FALSE(fs::exists(temp / "escape.Json"));
}

TEST_F(ProfileList, ImportRefusesWhatIsNotAProfile) {
    writeList({"a"});
    start();
    const fs::path file = temp / "in.json";
    const struct {
        const char* what;
        std::string text;  // empty with `folder`/`huge` set
        ImportResult result;
    } cases[] = {
        {"not JSON", "{\"profilename\": ", ImportResult::Damaged},
        {"empty", "", ImportResult::Damaged},
        {"not UTF-8", "{\"profilename\": \"\xff\", \"profileUUID\": \"x\"}", ImportResult::Damaged},
        {"too deep", std::string(5000, '[') + std::string(5000, ']'), ImportResult::Damaged},
        {"array", "[{\"profilename\": \"a\", \"profileUUID\": \"b\"}]", ImportResult::NotAProfile},
        {"no id", "{\"profilename\": \"a\", \"Device\": []}", ImportResult::NotAProfile},
        {"no name", "{\"profileUUID\": \"a\"}", ImportResult::NotAProfile},
        {"string", "\"profilename profileUUID\"", ImportResult::NotAProfile},
    };
    const auto before = snapshot(temp.path(), file);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        writeText(file, c.text);
        EXPECT_EQ(CDeviceProfileUI::CheckImportFile(file), c.result);
        EXPECT_FALSE(CDeviceProfileUI::IsImportableProfile(file));
        EXPECT_EQ(panel.Import(file), c.result);
    }
    EXPECT_EQ(panel.Import(temp / "missing.json"), ImportResult::Unreadable);
    EXPECT_EQ(panel.Import(temp.path()), ImportResult::Unreadable);
    {
        // Refused by its size before anything is read (a sparse file).
        std::ofstream(file, std::ios::trunc) << "{}";
        fs::resize_file(file, files::kMaxJsonFileSize + 1);
        EXPECT_EQ(panel.Import(file), ImportResult::TooLarge);
    }
    EXPECT_EQ(snapshot(temp.path(), file), before);
    EXPECT_EQ(fileNames(), std::vector<std::string>{"a"});
}

TEST_F(ProfileList, ResetTakesTheDefaultsAndAHeadsetKeepsItsEqualiserSets) {
    for (const int kind : {2, kHeadsetKind}) {
        SCOPED_TRACE(kind);
        fs::remove_all(folder);
        writeList({"mine"});
        start(kind);
        const std::string id = panel.UUIDOf(0);
        Json::Value custom = json(R"({
            "Device": [{"LightInfo": {"Light": 1},
                        "CustomEQNameInfo": [{"Name": "bass"}, {"Name": "voice"}],
                        "CustomEQHzValueInfo": [[{"value": 3}], [{"value": -2}]]}],
            "UserOnly": 1, "profilename": "mine"})");
        custom["profileUUID"] = id;
        ASSERT_TRUE(files::WriteJsonDocument(folder / (id + ".Json"), custom));

        EXPECT_TRUE(panel.Reset());
        Json::Value expected = json(kDefaults);
        expected["profilename"] = "mine";
        expected["profileUUID"] = id;
        if (kind == kHeadsetKind) {
            expected["Device"][0]["CustomEQNameInfo"] = custom["Device"][0]["CustomEQNameInfo"];
            expected["Device"][0]["CustomEQHzValueInfo"] =
                custom["Device"][0]["CustomEQHzValueInfo"];
        }
        EXPECT_EQ(profileFile(id), expected);
    }

    // Without usable defaults a reset would leave less than the defaults: nothing happens.
    const std::string before = readText(folder / (panel.UUIDOf(0) + ".Json"));
    writeText(defaults, "{ damaged");
    EXPECT_FALSE(panel.Reset());
    EXPECT_EQ(readText(folder / (panel.UUIDOf(0) + ".Json")), before);
}

TEST_F(ProfileList, ExportWritesTheProfileUnchanged) {
    writeList({"a", "b"}, 1);
    start();
    Json::Value profile = profileAt(1);
    profile["Name \u6e38\u620f"] = "\u00e4\u00f6";
    profile["Device"][1] = json(R"({"second": [1, 2.5, null, true]})");
    ASSERT_TRUE(files::WriteJsonDocument(folder / (panel.UUIDOf(1) + ".Json"), profile));

    const fs::path out = temp / "out.json";
    EXPECT_EQ(panel.Export(out), ExportResult::Exported);
    EXPECT_EQ(files::ReadJsonDocument(out), profile);
    EXPECT_TRUE(CDeviceProfileUI::IsImportableProfile(out));

    writeText(folder / (panel.UUIDOf(1) + ".Json"), "{ damaged");
    EXPECT_EQ(panel.Export(temp / "bad.json"), ExportResult::ProfileUnreadable);
    EXPECT_FALSE(fs::exists(temp / "bad.json"));
    EXPECT_EQ(panel.Export(temp / "no-folder" / "x.json"), ExportResult::ProfileUnreadable);
    writeText(folder / (panel.UUIDOf(1) + ".Json"), "{}");
    EXPECT_EQ(panel.Export(temp / "no-folder" / "x.json"), ExportResult::WriteFailed);
}

TEST_F(ProfileList, UnsafeIdsNeverNameFilesOutsideTheFolder) {
    fs::create_directories(folder);
    const fs::path victim = temp / "data" / "victim.Json";
    writeText(victim, "{\"precious\": true}");
    writeText(temp / "abs.Json", "{\"precious\": true}");
    const std::string good = "2024_01_01_00_00_00_100";
    writeText(folder / (good + ".Json"), "{\"Device\": [{\"marker\": 0}]}");
    std::string listText = R"({"profileselect": 1, "profilelist": [
        {"profilename": "good", "profileUUID": "GOOD"},
        {"profilename": "up", "profileUUID": "../victim"},
        {"profilename": "abs", "profileUUID": "ABSOLUTE"},
        {"profilename": "empty", "profileUUID": ""},
        {"profilename": "none"},
        {"profilename": "number", "profileUUID": 5},
        {"profilename": "dot", "profileUUID": ".."},
        {"profilename": "twin", "profileUUID": "GOOD"},
        7,
        {"profileUUID": "2024_01_01_00_00_00_200"}
    ]})";
    listText = std::regex_replace(listText, std::regex("GOOD"), good);
    listText = std::regex_replace(listText, std::regex("ABSOLUTE"), (temp / "abs").string());
    writeText(listFile(), listText);
    const auto outside = snapshot(temp.path(), folder);

    std::vector<std::string> lines;
    log::setEnabled(true);
    log::setSink([&](std::string_view line) { lines.emplace_back(line); });
    start();
    log::setSink({});
    log::setEnabled(false);

    // Every entry but the non-object stays, with a fresh id where its own was unusable.
    EXPECT_EQ(fileNames(), (std::vector<std::string>{"good", "up", "abs", "empty", "none", "number",
                                                     "dot", "twin", "profile1"}));
    EXPECT_EQ(panel.UUIDOf(0), good);
    EXPECT_EQ(panel.UUIDOf(8), "2024_01_01_00_00_00_200");
    EXPECT_EQ(panel.SelectedIndex(), 1);
    EXPECT_EQ(panel.SelectedProfileFile()->parent_path(), folder);
    EXPECT_EQ(profileAt(0)["Device"][0]["marker"], 0);
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const std::string& l) {
        return l.find("profile list: entry 1 gets the id") != std::string::npos;
    }));
    for (int i = 0; i < panel.Count(); ++i) {
        ASSERT_TRUE(panel.Select(i, ui::Notify::No));
    }
    expectConsistent();

    // Every operation on them stays inside the folder.
    ASSERT_TRUE(panel.Select(1, ui::Notify::No));
    EXPECT_EQ(panel.Rename("renamed"), RenameResult::Renamed);
    EXPECT_TRUE(panel.Reset());
    EXPECT_GE(panel.Copy(), 0);
    EXPECT_GE(panel.Delete(), 0);
    EXPECT_EQ(panel.Export(temp / "data" / "mouse" / "export.json"), ExportResult::Exported);
    EXPECT_EQ(snapshot(temp.path(), folder), outside);
    EXPECT_FALSE(panel.ProfileFileOf("../victim"));
    EXPECT_FALSE(panel.ProfileFileOf("a/b"));
    expectConsistent();
}

TEST_F(ProfileList, DamagedListFileIsRecreated) {
    const char* damaged[] = {"{",
                             "",
                             "[]",
                             "{\"profilelist\": 5}",
                             "{\"profilelist\": []}",
                             "{\"profilelist\": [1, \"x\"]}",
                             "\xff\xfe{}",
                             "null"};
    for (const char* text : damaged) {
        SCOPED_TRACE(text);
        fs::remove_all(folder);
        fs::create_directories(folder);
        writeText(listFile(), text);
        CDeviceProfileUI fresh(&root);
        fresh.SetPaths(folder, defaults);
        fresh.Initialise();
        EXPECT_EQ(fileNames(), std::vector<std::string>{"profile1"});
        EXPECT_EQ(fresh.SelectedUUID(), fresh.UUIDOf(0));
        expectConsistent(fresh);
    }
}

TEST_F(ProfileList, DamagedListFileGivesBackTheProfilesInTheFolder) {
    writeList({"old", "new"});
    writeText(folder / "2024_01_01_00_00_00_105.Json", "not a profile");
    writeText(folder / "stray.Json", R"({"profilename": "x", "profileUUID": "other"})");
    writeText(listFile(), "{ damaged");
    start();
    EXPECT_EQ(fileNames(), (std::vector<std::string>{"old", "new"}));
    EXPECT_EQ(panel.UUIDOf(0), "2024_01_01_00_00_00_100");
    expectConsistent();

    // Damaged while the program runs: the panel's own list goes back before the operation.
    writeText(listFile(), "{\"profilelist\": 3}");
    EXPECT_EQ(panel.Add(), 2);
    EXPECT_EQ(fileNames(), (std::vector<std::string>{"old", "new", "profile1"}));
    expectConsistent();
}

TEST_F(ProfileList, FollowsTheFileWhenItChangesBetweenOperations) {
    writeList({"a", "b", "c"}, 2);
    start();
    // Entry "a" removed by someone else: the selection stays on "c", now at position 1.
    Json::Value l = list();
    Json::Value removed;
    l["profilelist"].removeIndex(0, &removed);
    ASSERT_TRUE(files::WriteJsonDocument(listFile(), l));
    EXPECT_EQ(panel.Rename("C"), RenameResult::Renamed);
    EXPECT_EQ(fileNames(), (std::vector<std::string>{"b", "C"}));
    expectConsistent();
}

TEST_F(ProfileList, WithoutADropDownListOnlyTheSelectionIsKnown) {
    writeList({"a", "b"}, 1);
    std::unique_ptr<ui::MemoryControl> gone = root.take(combo);
    start();
    EXPECT_EQ(panel.SelectedUUID(), "2024_01_01_00_00_00_101");
    EXPECT_EQ(panel.SelectedIndex(), -1);
    EXPECT_EQ(panel.Add(), -1);
    EXPECT_EQ(panel.Delete(), -1);
    EXPECT_EQ(panel.Copy(), -1);
    EXPECT_EQ(panel.Rename("x"), RenameResult::NoProfile);
    EXPECT_EQ(panel.Import(defaults), ImportResult::NoList);
    EXPECT_EQ(panel.Export(temp / "x.json"), ExportResult::NoProfile);
    EXPECT_FALSE(panel.Reset());
    EXPECT_FALSE(panel.Select(0, ui::Notify::No));
    EXPECT_EQ(fileNames(), (std::vector<std::string>{"a", "b"}));
}

TEST_F(ProfileList, FeatureTabsByDeviceKind) {
    // Which tabs are visible after Initialise when all start visible ('1') or all hidden.
    const struct {
        int kind;
        const char* fromVisible;
        const char* fromHidden;
    } cases[] = {
        {1, "11110111", "00000000"}, {2, "11111111", "00000000"}, {3, "10000111", "00000000"},
        {4, "10010111", "00000000"}, {5, "10000111", "00000000"}, {6, "11111111", "00000000"},
        {7, "10000111", "00000111"}, {9, "11111111", "00000000"},
    };
    for (const auto& c : cases) {
        for (const bool startVisible : {true, false}) {
            SCOPED_TRACE(std::to_string(c.kind) + (startVisible ? " visible" : " hidden"));
            std::string shown;
            for (ui::MemoryControl* t : tabs) {
                t->setVisible(startVisible);
            }
            start(c.kind);
            for (ui::MemoryControl* t : tabs) {
                shown += t->visible() ? '1' : '0';
            }
            EXPECT_EQ(shown, startVisible ? c.fromVisible : c.fromHidden);
        }
    }
}

TEST_F(ProfileList, FeatureTabAndMenu) {
    start();
    int notifications = 0;
    root.setNotificationHandler([&](const ui::Notification&) { ++notifications; });
    for (int n = 0; n <= 9; ++n) {
        SCOPED_TRACE(n);
        panel.ShowFeatureTab(n);
        for (int t = 1; t <= 8; ++t) {
            EXPECT_EQ(tabs[static_cast<std::size_t>(t - 1)]->selected(), t == n);
        }
    }
    EXPECT_EQ(notifications, 0);

    panel.ShowMenu(false);
    EXPECT_FALSE(panel.MenuVisible());
    EXPECT_FALSE(menu->visible());
    panel.ShowMenu(!panel.MenuVisible());
    EXPECT_TRUE(menu->visible());
}

TEST(ProfileListSkin, EveryDeclaredControlIsThere) {
    const fs::path skin = fs::path(KORVANE_SOURCE_ROOT) / "skin";
    ui::RequiredControls required;
    declareDeviceProfileControls(required);
    ASSERT_EQ(required.skinFiles().size(), 1u);
    // Object name → class of every widget in the Designer file (read as text: no Qt here).
    const std::string text = readText(skin / required.skinFiles()[0]);
    static const std::regex widget(R"re(<widget\s+class="([^"]+)"\s+name="([^"]+)")re");
    std::map<std::string, std::string> found;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), widget);
         it != std::sregex_iterator(); ++it) {
        found.emplace((*it)[2].str(), (*it)[1].str());
    }
    for (const ui::RequiredControl& c : required.entries()) {
        const auto it = found.find(c.name);
        ASSERT_NE(it, found.end()) << c.name;
        EXPECT_TRUE(ui::kindFits(c.kind, ui::kindForClassName(it->second)))
            << c.name << " is a " << it->second;
    }
}

}  // namespace
}  // namespace korvane::profile
