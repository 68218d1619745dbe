// The macros of one device folder as the macro editor works on them: the list with names and
// identifiers, kept in step with "macro.config", and each macro's event file.
#pragma once

#include <json/value.h>

#include <cstddef>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "keys/event_file.h"
#include "keys/macro_files.h"

namespace korvane::keys {

class MacroLibrary {
  public:
    MacroLibrary() = default;
    explicit MacroLibrary(std::filesystem::path folder) : folder_(std::move(folder)) {}

    void setFolder(std::filesystem::path folder) { folder_ = std::move(folder); }
    const std::filesystem::path& folder() const { return folder_; }

    // Reads "macro.config" (missing: no macros).
    void load();
    const std::vector<MacroInfo>& macros() const { return macros_; }
    std::size_t size() const { return macros_.size(); }
    std::vector<std::string> names() const;

    // A new macro "macro_<n>" with a new identifier at the end of the list; nothing when the
    // list holds kMaxMacros or more, when there is no folder, or when the list cannot be written.
    std::optional<std::size_t> add();

    struct ImportResult {
        enum class Status {
            Imported,     // at `index`; a message may still say that delays were clamped
            Full,         // the list holds kMaxMacros or more: nothing happens
            Refused,      // the file failed the check: `check` and `messageKey` say why
            WriteFailed,  // the copy or the list could not be written; nothing changed
        };
        Status status = Status::Refused;
        std::size_t index = 0;
        FileCheck check = FileCheck::Unreadable;
        std::string_view messageKey;  // empty when there is nothing to tell
    };
    // Checks `file` and adds it as a new macro named after the file (name, name_2, …). A valid
    // file is copied byte for byte (its inner "MacroName" and "Guid" stay); a file whose delays
    // had to be clamped is written with the clamped delays.
    ImportResult importFile(const std::filesystem::path& file);

    enum class RenameResult { Renamed, Blank, Taken, NoMacro, WriteFailed };
    // Blank names and names already in the list (the macro's own included, without case) are
    // refused.
    RenameResult rename(std::size_t index, std::string_view name);

    // Deletes the macro's event file and its list element; later macros move up one number.
    bool remove(std::size_t index);

    // The macro's event file copied byte for byte to `target`.
    bool exportTo(std::size_t index, const std::filesystem::path& target) const;

    // The macro's event file, or nothing when its identifier is not a safe file name.
    std::optional<std::filesystem::path> eventFile(std::size_t index) const;
    EventFileContent loadEvents(std::size_t index) const;
    // Writes the event file with the macro's current name and identifier.
    bool saveEvents(std::size_t index, std::span<const Json::Value> events) const;

  private:
    std::string newGuid() const;
    bool appendEntry(const MacroInfo& info);

    std::filesystem::path folder_;
    std::vector<MacroInfo> macros_;
};

}  // namespace korvane::keys
