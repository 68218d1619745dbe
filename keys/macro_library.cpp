#include "keys/macro_library.h"

#include <algorithm>
#include <system_error>

#include "keys/macro_names.h"
#include "platform/files/atomic_file.h"
#include "platform/files/json_document.h"
#include "platform/files/time_stamp.h"
#include "platform/files/utf8.h"
#include "platform/log/logger.h"

namespace korvane::keys {

void MacroLibrary::load() {
    macros_ = folder_.empty() ? std::vector<MacroInfo>{} : readMacroList(folder_);
}

std::vector<std::string> MacroLibrary::names() const {
    std::vector<std::string> names;
    names.reserve(macros_.size());
    for (const MacroInfo& macro : macros_) {
        names.push_back(macro.name);
    }
    return names;
}

std::string MacroLibrary::newGuid() const {
    // Stamps of one process never repeat; another process (or a restored backup) may still
    // have left a file or an entry with the same name. Each try is a later millisecond, so a
    // few suffice; the bound only keeps a strange folder from holding the editor.
    std::string guid;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        guid = files::MakeTimeStamp();
        const bool listed = std::any_of(macros_.begin(), macros_.end(),
                                        [&](const MacroInfo& m) { return m.guid == guid; });
        std::error_code error;
        const auto file = macroFilePath(folder_, guid);
        if (!listed && file && !std::filesystem::exists(*file, error)) {
            return guid;
        }
    }
    return guid;
}

bool MacroLibrary::appendEntry(const MacroInfo& info) {
    if (!writeMacroListEntry(folder_, macros_.size(), info)) {
        return false;
    }
    macros_.push_back(info);
    return true;
}

std::optional<std::size_t> MacroLibrary::add() {
    if (folder_.empty() || macros_.size() >= static_cast<std::size_t>(kMaxMacros)) {
        return std::nullopt;
    }
    const std::vector<std::string> taken = names();
    if (!appendEntry(MacroInfo{nextMacroName(taken), newGuid()})) {
        return std::nullopt;
    }
    return macros_.size() - 1;
}

MacroLibrary::ImportResult MacroLibrary::importFile(const std::filesystem::path& file) {
    ImportResult result;
    if (folder_.empty()) {
        result.status = ImportResult::Status::WriteFailed;
        return result;
    }
    if (macros_.size() >= static_cast<std::size_t>(kMaxMacros)) {
        result.status = ImportResult::Status::Full;
        return result;
    }
    std::string bytes;
    result.check = readEventFileBytes(file, bytes);
    EventFileCheck check;
    if (result.check == FileCheck::Ok) {
        check = checkEventText(bytes, EventFileKind::Macro);
        result.check = check.status;
    }
    result.messageKey = messageKey(result.check, EventFileKind::Macro);
    if (!check.accepted()) {
        log::debugf("keys: macro import of %s refused (%.*s)", file.string().c_str(),
                    static_cast<int>(result.messageKey.size()), result.messageKey.data());
        result.status = ImportResult::Status::Refused;
        return result;
    }

    std::string base = files::toValidUtf8(file.stem().string());
    if (isBlankName(base)) {
        base = "macro";
    }
    const std::vector<std::string> taken = names();
    const MacroInfo info{importMacroName(base, taken), newGuid()};
    const auto target = macroFilePath(folder_, info.guid);
    const bool copied = target && (check.status == FileCheck::Ok
                                       ? files::writeFileAtomically(*target, bytes)
                                       : files::WriteJsonDocument(*target, check.document));
    if (!copied) {
        result.status = ImportResult::Status::WriteFailed;
        return result;
    }
    if (!appendEntry(info)) {
        std::error_code error;
        std::filesystem::remove(*target, error);
        result.status = ImportResult::Status::WriteFailed;
        return result;
    }
    result.status = ImportResult::Status::Imported;
    result.index = macros_.size() - 1;
    return result;
}

MacroLibrary::RenameResult MacroLibrary::rename(std::size_t index, std::string_view name) {
    if (index >= macros_.size()) {
        return RenameResult::NoMacro;
    }
    if (isBlankName(name)) {
        return RenameResult::Blank;
    }
    const std::string valid = files::toValidUtf8(name);
    const std::vector<std::string> taken = names();
    if (nameTaken(taken, valid)) {
        return RenameResult::Taken;
    }
    if (!renameMacroListEntry(folder_, index, valid)) {
        return RenameResult::WriteFailed;
    }
    macros_[index].name = valid;
    return RenameResult::Renamed;
}

bool MacroLibrary::remove(std::size_t index) {
    if (index >= macros_.size()) {
        return false;
    }
    if (const auto file = eventFile(index)) {
        std::error_code error;
        std::filesystem::remove(*file, error);
    }
    if (!removeMacroListEntry(folder_, index)) {
        return false;
    }
    macros_.erase(macros_.begin() + static_cast<std::ptrdiff_t>(index));
    return true;
}

bool MacroLibrary::exportTo(std::size_t index, const std::filesystem::path& target) const {
    const auto file = eventFile(index);
    if (!file) {
        return false;
    }
    const auto bytes = readFileBytes(*file, kMaxEventFileSize);
    return bytes && files::writeFileAtomically(target, *bytes);
}

std::optional<std::filesystem::path> MacroLibrary::eventFile(std::size_t index) const {
    if (index >= macros_.size() || folder_.empty()) {
        return std::nullopt;
    }
    return macroFilePath(folder_, macros_[index].guid);
}

EventFileContent MacroLibrary::loadEvents(std::size_t index) const {
    const auto file = eventFile(index);
    return file ? readEventFile(*file, EventFileKind::Macro) : EventFileContent{};
}

bool MacroLibrary::saveEvents(std::size_t index, std::span<const Json::Value> events) const {
    const auto file = eventFile(index);
    return file && writeMacroFile(*file, macros_[index].name, macros_[index].guid, events);
}

}  // namespace korvane::keys
