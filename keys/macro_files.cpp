#include "keys/macro_files.h"

#include "keys/json_integer.h"
#include "platform/files/json_document.h"
#include "platform/files/json_fields.h"
#include "platform/files/safe_file_name.h"

namespace korvane::keys {
namespace {

std::filesystem::path listPath(const std::filesystem::path& folder) {
    return folder / std::string(kMacroListFile);
}

// The list document ready for a change: an object with a "MacroInfo" array.
Json::Value editableList(const std::filesystem::path& folder) {
    Json::Value document = files::ReadJsonDocument(listPath(folder));
    if (!document.isObject()) {
        document = Json::Value(Json::objectValue);
    }
    if (!document["MacroInfo"].isArray()) {
        document["MacroInfo"] = Json::Value(Json::arrayValue);
    }
    return document;
}

}  // namespace

std::vector<MacroInfo> readMacroList(const std::filesystem::path& folder) {
    return macroListFrom(files::ReadJsonDocument(listPath(folder)));
}

std::vector<MacroInfo> macroListFrom(const Json::Value& document) {
    const Json::Value& list = files::member(document, "MacroInfo");
    std::vector<MacroInfo> macros;
    for (Json::ArrayIndex i = 0; list.isArray() && i < list.size(); ++i) {
        macros.push_back(MacroInfo{files::toText(files::member(list[i], "MacroName")),
                                   files::toText(files::member(list[i], "Guid"))});
    }
    return macros;
}

bool writeMacroListEntry(const std::filesystem::path& folder, std::size_t index,
                         const MacroInfo& info) {
    Json::Value document = editableList(folder);
    Json::Value entry(Json::objectValue);
    entry["MacroName"] = info.name;
    entry["Guid"] = info.guid;
    document["MacroInfo"][static_cast<Json::ArrayIndex>(index)] = entry;
    return files::WriteJsonDocument(listPath(folder), document);
}

bool renameMacroListEntry(const std::filesystem::path& folder, std::size_t index,
                          std::string_view name) {
    Json::Value document = editableList(folder);
    Json::Value& entry = document["MacroInfo"][static_cast<Json::ArrayIndex>(index)];
    if (!entry.isObject()) {
        entry = Json::Value(Json::objectValue);
    }
    entry["MacroName"] = std::string(name);
    return files::WriteJsonDocument(listPath(folder), document);
}

bool removeMacroListEntry(const std::filesystem::path& folder, std::size_t index) {
    Json::Value document = editableList(folder);
    Json::Value removed;
    document["MacroInfo"].removeIndex(static_cast<Json::ArrayIndex>(index), &removed);
    return files::WriteJsonDocument(listPath(folder), document);
}

std::optional<std::filesystem::path> macroFilePath(const std::filesystem::path& folder,
                                                   std::string_view guid) {
    return files::safeFilePath(folder, guid, kMacroFileExtension);
}

bool writeMacroFile(const std::filesystem::path& file, std::string_view name, std::string_view guid,
                    std::span<const Json::Value> events) {
    Json::Value document(Json::objectValue);
    document["MacroName"] = std::string(name);
    document["Guid"] = std::string(guid);
    Json::Value list(Json::arrayValue);
    for (const Json::Value& event : events) {
        list.append(event);
    }
    document["Events"] = list;
    document["Version"] = kMacroFileVersion;
    return files::WriteJsonDocument(file, document);
}

}  // namespace korvane::keys
