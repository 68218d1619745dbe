// The macro files of a device folder: the list "macro.config" ({"MacroInfo": [{"MacroName",
// "Guid"}, …]}, a macro's number is its position) and one event file per macro, named by its
// "Guid" + ".mac" ({"MacroName", "Guid", "Events", "Version": 64}).
#pragma once

#include <json/value.h>

#include <cstddef>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace korvane::keys {

inline constexpr std::string_view kMacroListFile = "macro.config";
inline constexpr std::string_view kMacroFileExtension = ".mac";
inline constexpr int kMacroFileVersion = 64;

struct MacroInfo {
    std::string name;
    std::string guid;
    friend bool operator==(const MacroInfo&, const MacroInfo&) = default;
};

// The macros of "macro.config" in list order; a missing or damaged file gives none, an element
// that is not an object (or a member that is not text) gives empty texts.
std::vector<MacroInfo> readMacroList(const std::filesystem::path& folder);
// The same for a list document already read.
std::vector<MacroInfo> macroListFrom(const Json::Value& document);

// Each writer reads "macro.config", changes one element of "MacroInfo" and writes the file back
// (other members and elements stay as they were). False when the file could not be written.
bool writeMacroListEntry(const std::filesystem::path& folder, std::size_t index,
                         const MacroInfo& info);
bool renameMacroListEntry(const std::filesystem::path& folder, std::size_t index,
                          std::string_view name);
// Later macros move up one number.
bool removeMacroListEntry(const std::filesystem::path& folder, std::size_t index);

// folder / (guid + ".mac"), or nothing when the "Guid" is not a safe file name.
std::optional<std::filesystem::path> macroFilePath(const std::filesystem::path& folder,
                                                   std::string_view guid);

// Writes an event file; `events` are event objects with their "Delay" already set.
bool writeMacroFile(const std::filesystem::path& file, std::string_view name, std::string_view guid,
                    std::span<const Json::Value> events);

}  // namespace korvane::keys
