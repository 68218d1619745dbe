#include "keys/macro_library.h"

#include <gtest/gtest.h>

#include "keys/macro_names.h"
#include "platform/files/json_document.h"
#include "tests/files/temp_folder.h"

namespace korvane::keys {
namespace {

using testing::readText;
using testing::TempFolder;
using testing::writeText;
using Status = MacroLibrary::ImportResult::Status;

std::filesystem::path fixture(std::string_view name) {
    return std::filesystem::path(KORVANE_SOURCE_ROOT) / "tests/keys/data/import" /
           std::string(name);
}

// A folder whose "macro.config" lists these names (identifiers g0, g1, …).
void writeList(const TempFolder& folder, const std::vector<std::string>& names) {
    Json::Value document;
    document["Other"] = "kept";
    for (std::size_t i = 0; i < names.size(); ++i) {
        document["MacroInfo"][Json::ArrayIndex(i)]["MacroName"] = names[i];
        document["MacroInfo"][Json::ArrayIndex(i)]["Guid"] = "g" + std::to_string(i);
    }
    ASSERT_TRUE(files::WriteJsonDocument(folder / "macro.config", document));
}

TEST(MacroNames, NewAndImportedNamesAreFree) {
    const std::vector<std::string> names = {"macro_1", "MACRO_3", "combo", "Combo_2"};
    EXPECT_EQ(nextMacroName(names), "macro_2");
    EXPECT_EQ(nextMacroName({}), "macro_1");
    EXPECT_EQ(importMacroName("combo", names), "combo_3");
    EXPECT_EQ(importMacroName("fresh", names), "fresh");
    EXPECT_TRUE(nameTaken(names, "macro_3"));
    EXPECT_FALSE(nameTaken(names, "macro_31"));
    EXPECT_TRUE(isBlankName(" \t "));
    EXPECT_TRUE(isBlankName(""));
    EXPECT_FALSE(isBlankName(" a "));
}

TEST(MacroLibrary, AddFillsTheGapAndKeepsTheListFile) {
    TempFolder folder;
    writeList(folder, {"macro_1", "macro_3"});
    MacroLibrary library(folder.path());
    library.load();
    const auto index = library.add();
    ASSERT_EQ(index, 2u);
    EXPECT_EQ(library.macros()[2].name, "macro_2");
    const std::string guid = library.macros()[2].guid;
    EXPECT_FALSE(guid.empty());

    const Json::Value written = files::ReadJsonDocument(folder / "macro.config");
    EXPECT_EQ(written["Other"].asString(), "kept");
    EXPECT_EQ(written["MacroInfo"][2]["MacroName"].asString(), "macro_2");
    EXPECT_EQ(written["MacroInfo"][2]["Guid"].asString(), guid);
    EXPECT_EQ(readMacroList(folder.path()), library.macros());

    EXPECT_NE(library.macros()[library.add().value()].guid, guid);
}

TEST(MacroLibrary, FiftyMacrosAtMost) {
    TempFolder folder;
    writeList(folder, std::vector<std::string>(kMaxMacros, "m"));
    MacroLibrary library(folder.path());
    library.load();
    EXPECT_FALSE(library.add());
    EXPECT_EQ(library.importFile(fixture("valid.mac")).status, Status::Full);
    EXPECT_EQ(readMacroList(folder.path()).size(), std::size_t(kMaxMacros));
}

TEST(MacroLibrary, ImportCopiesTheFileUnderAFreeName) {
    TempFolder folder;
    TempFolder outside;
    writeList(folder, {"combo"});
    const std::filesystem::path source = outside / "combo.mac";
    std::filesystem::copy_file(fixture("valid.mac"), source);

    MacroLibrary library(folder.path());
    library.load();
    const auto first = library.importFile(source);
    ASSERT_EQ(first.status, Status::Imported);
    EXPECT_EQ(first.check, FileCheck::Ok);
    EXPECT_TRUE(first.messageKey.empty());
    const auto second = library.importFile(source);
    ASSERT_EQ(second.status, Status::Imported);
    EXPECT_EQ(library.macros()[first.index].name, "combo_2");
    EXPECT_EQ(library.macros()[second.index].name, "combo_3");
    // A byte copy: the inner name and identifier stay as they were.
    EXPECT_EQ(readText(*library.eventFile(first.index)), readText(source));
    const EventFileContent events = library.loadEvents(second.index);
    ASSERT_EQ(events.events.size(), 2u);
    EXPECT_EQ(events.events[0], (MacroEvent{10, 4, true, 35}));
    EXPECT_EQ(readMacroList(folder.path()), library.macros());
}

TEST(MacroLibrary, UntrustedImportsAreRefusedWithAReason) {
    TempFolder outside;
    std::string tooMany = R"({"Events":[)";
    for (int i = 0; i <= kMaxMacroEvents; ++i) {
        tooMany +=
            std::string(i ? "," : "") + R"({"Type":10,"Button":4,"Action":"down","Delay":"1"})";
    }
    writeText(outside / "too_many.mac", tooMany + "]}");
    writeText(outside / "huge.mac",
              R"({"Events":[], "Pad":")" + std::string(kMaxEventFileSize, 'x') + "\"}");
    std::filesystem::create_directory(outside / "folder.mac");

    struct Case {
        std::filesystem::path file;
        FileCheck check;
        std::string_view key;
    };
    const Case cases[] = {
        {fixture("not_json.mac"), FileCheck::NotEventFile, "macro_import_not_macro"},
        {fixture("truncated.mac"), FileCheck::NotEventFile, "macro_import_not_macro"},
        {fixture("empty.mac"), FileCheck::NotEventFile, "macro_import_not_macro"},
        {fixture("not_utf8.mac"), FileCheck::NotEventFile, "macro_import_not_macro"},
        {fixture("top_level_array.mac"), FileCheck::NotEventFile, "macro_import_not_macro"},
        {fixture("no_events.mac"), FileCheck::NotEventFile, "macro_import_not_macro"},
        {fixture("events_not_array.mac"), FileCheck::NotEventFile, "macro_import_not_macro"},
        {fixture("type_is_text.mac"), FileCheck::BadEvent, "macro_import_bad_event"},
        {fixture("unknown_kind.mac"), FileCheck::BadEvent, "macro_import_bad_event"},
        {fixture("button_out_of_range.mac"), FileCheck::BadEvent, "macro_import_bad_event"},
        {fixture("bad_action.mac"), FileCheck::BadEvent, "macro_import_bad_event"},
        {fixture("event_not_object.mac"), FileCheck::BadEvent, "macro_import_bad_event"},
        {outside / "too_many.mac", FileCheck::TooManyEvents, "macro_import_too_many_events"},
        {outside / "huge.mac", FileCheck::TooLarge, "macro_import_too_large"},
        {outside / "folder.mac", FileCheck::Unreadable, "macro_import_unreadable"},
        {outside / "missing.mac", FileCheck::Unreadable, "macro_import_unreadable"},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        writeList(folder, {"a"});
        const std::string listBefore = readText(folder / "macro.config");
        MacroLibrary library(folder.path());
        library.load();
        const auto result = library.importFile(c.file);
        EXPECT_EQ(result.status, Status::Refused) << c.file;
        EXPECT_EQ(result.check, c.check) << c.file;
        EXPECT_EQ(result.messageKey, c.key) << c.file;
        EXPECT_EQ(library.size(), 1u) << c.file;
        EXPECT_EQ(readText(folder / "macro.config"), listBefore) << c.file;
        EXPECT_EQ(folder.entries(), std::vector<std::string>{"macro.config"}) << c.file;
    }
}

TEST(MacroLibrary, ByteOrderMarkAndEmptyEventListsAreAccepted) {
    const EventFileCheck check = checkEventFile(fixture("bom.mac"), EventFileKind::Macro);
    EXPECT_EQ(check.status, FileCheck::Ok);
    EXPECT_TRUE(check.events.empty());
}

TEST(MacroLibrary, ImportClampsDelaysAndSaysSo) {
    TempFolder folder;
    MacroLibrary library(folder.path());
    library.load();
    const auto result = library.importFile(fixture("delays_out_of_range.mac"));
    ASSERT_EQ(result.status, Status::Imported);
    EXPECT_EQ(result.check, FileCheck::DelaysClamped);
    EXPECT_EQ(result.messageKey, "macro_import_delays_clamped");
    EXPECT_EQ(library.macros()[0].name, "delays_out_of_range");
    const Json::Value written = files::ReadJsonDocument(*library.eventFile(0));
    EXPECT_EQ(written["Events"][0]["Delay"].asString(), "65535");
    EXPECT_EQ(written["Events"][1]["Delay"].asString(), "0");
    EXPECT_EQ(written["Events"][1]["Note"].asString(), "kept");
    EXPECT_EQ(written["MacroName"].asString(), "clamped");
}

TEST(MacroLibrary, RenameRefusesBlankAndTakenNames) {
    TempFolder folder;
    writeList(folder, {"first", "second"});
    MacroLibrary library(folder.path());
    library.load();
    using R = MacroLibrary::RenameResult;
    EXPECT_EQ(library.rename(0, "   "), R::Blank);
    EXPECT_EQ(library.rename(0, "FIRST"), R::Taken);  // its own name counts too
    EXPECT_EQ(library.rename(0, "Second"), R::Taken);
    EXPECT_EQ(library.rename(5, "x"), R::NoMacro);
    EXPECT_EQ(library.rename(1, "third"), R::Renamed);
    EXPECT_EQ(readMacroList(folder.path())[1], (MacroInfo{"third", "g1"}));
    EXPECT_EQ(files::ReadJsonDocument(folder / "macro.config")["Other"].asString(), "kept");
}

TEST(MacroLibrary, RemoveDeletesTheFileAndMovesLaterMacrosUp) {
    TempFolder folder;
    writeList(folder, {"a", "b", "c"});
    for (const char* guid : {"g0", "g1", "g2"}) {
        writeText(folder / (std::string(guid) + ".mac"), R"({"Events":[]})");
    }
    MacroLibrary library(folder.path());
    library.load();
    ASSERT_TRUE(library.remove(1));
    EXPECT_EQ(library.names(), (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(readMacroList(folder.path()), library.macros());
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"g0.mac", "g2.mac", "macro.config"}));
    EXPECT_FALSE(library.remove(2));
}

TEST(MacroLibrary, EventsSaveLoadAndExport) {
    TempFolder folder;
    TempFolder outside;
    MacroLibrary library(folder.path());
    library.load();
    const std::size_t index = library.add().value();
    const std::vector<Json::Value> rows = {eventToJson({10, 5, true, 100}),
                                           eventToJson({10, 5, false, 0})};
    ASSERT_TRUE(library.saveEvents(index, rows));
    const Json::Value written = files::ReadJsonDocument(*library.eventFile(index));
    EXPECT_EQ(written["Version"].asInt(), 64);
    EXPECT_EQ(written["MacroName"].asString(), "macro_1");
    EXPECT_EQ(written["Guid"].asString(), library.macros()[index].guid);
    EXPECT_EQ(library.loadEvents(index).rows, rows);

    ASSERT_TRUE(library.exportTo(index, outside / "out.mac"));
    EXPECT_EQ(readText(outside / "out.mac"), readText(*library.eventFile(index)));
    EXPECT_FALSE(library.exportTo(7, outside / "none.mac"));
}

TEST(MacroLibrary, UnsafeIdentifiersNameNoFile) {
    TempFolder folder;
    Json::Value document;
    document["MacroInfo"][0]["MacroName"] = "evil";
    document["MacroInfo"][0]["Guid"] = "../../escape";
    document["MacroInfo"][1]["MacroName"] = 7;  // not text: an empty name
    ASSERT_TRUE(files::WriteJsonDocument(folder / "macro.config", document));
    MacroLibrary library(folder.path());
    library.load();
    ASSERT_EQ(library.size(), 2u);
    EXPECT_EQ(library.macros()[1], (MacroInfo{"", ""}));
    EXPECT_FALSE(library.eventFile(0));
    EXPECT_FALSE(library.saveEvents(0, {}));
    EXPECT_TRUE(library.loadEvents(0).events.empty());
    EXPECT_TRUE(library.remove(0));  // the entry goes; no file is touched
    EXPECT_FALSE(std::filesystem::exists(folder.path().parent_path().parent_path() / "escape.mac"));
}

TEST(MacroFiles, OwnFilesAreReadLeniently) {
    TempFolder folder;
    std::string text = R"({"Events":[{"Type":"x"},)";
    for (int i = 0; i < kMaxMacroEvents + 5; ++i) {
        text +=
            std::string(i ? "," : "") + R"({"Type":10,"Button":4,"Action":"up","Delay":"70000"})";
    }
    writeText(folder / "long.mac", text + "]}");
    const EventFileContent content = readEventFile(folder / "long.mac", EventFileKind::Macro);
    EXPECT_EQ(content.events.size(), std::size_t(kMaxMacroEvents));
    EXPECT_EQ(content.skipped, 1);
    EXPECT_TRUE(content.truncated);
    EXPECT_TRUE(content.delaysClamped);
    EXPECT_EQ(content.rows[0]["Delay"].asString(), "65535");
    EXPECT_TRUE(readEventFile(folder / "missing.mac", EventFileKind::Macro).events.empty());
}

}  // namespace
}  // namespace korvane::keys
