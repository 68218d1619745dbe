// The format macro files (".mac") and gun files (".Shoot") share: a JSON object whose "Events"
// array holds event objects. Files in the device folder are read leniently (what cannot be an
// event is left out); files the user imports are checked first and refused when they are not
// event files, too large, too long, or hold an event that is not one.
#pragma once

#include <json/value.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "keys/macro_event.h"

namespace korvane::keys {

// Neither file kind comes near this (4000 events take about 300 KiB).
inline constexpr std::uintmax_t kMaxEventFileSize = 4u << 20;

enum class EventFileKind {
    Macro,   // up to 4000 events, "Delay" as decimal text
    Recoil,  // up to 180 events (30 shots of 6), "Delay" as an integer
};
int maxEvents(EventFileKind kind);

// The whole file as bytes; nothing when it is not a regular file, cannot be read, or is larger
// than `limit`.
std::optional<std::string> readFileBytes(const std::filesystem::path& path, std::uintmax_t limit);

struct EventFileContent {
    Json::Value document;           // null when the file could not be read as JSON
    std::vector<Json::Value> rows;  // the event objects kept, delays clamped
    std::vector<MacroEvent> events;
    int skipped = 0;         // elements that are not events
    bool truncated = false;  // more events than the kind allows: the rest is left out
    bool delaysClamped = false;
};
// A file of the device folder: a missing or damaged file gives no events.
EventFileContent readEventFile(const std::filesystem::path& path, EventFileKind kind);

enum class FileCheck {
    Ok,             // a valid file
    DelaysClamped,  // accepted with delays brought into 0–65535
    Unreadable,     // missing, not a regular file, or unreadable
    TooLarge,       // larger than kMaxEventFileSize
    NotEventFile,   // not JSON, or no "Events" array
    TooManyEvents,  // more events than the kind allows
    BadEvent,       // an element that cannot be an event
};

struct EventFileCheck {
    FileCheck status = FileCheck::Unreadable;
    // Accepted files: the document, with clamped delays written back for DelaysClamped.
    Json::Value document;
    std::vector<MacroEvent> events;
    int badEvent = -1;  // BadEvent: the position of the first bad element
    bool accepted() const { return status == FileCheck::Ok || status == FileCheck::DelaysClamped; }
};
EventFileCheck checkEventFile(const std::filesystem::path& path, EventFileKind kind);
// The same check for bytes already read (an import reads the file once, checks and copies the
// same bytes).
EventFileCheck checkEventText(std::string_view bytes, EventFileKind kind);
// Reads a file for checkEventText: Ok, Unreadable or TooLarge.
FileCheck readEventFileBytes(const std::filesystem::path& path, std::string& bytes);

// The language key of the message that tells the user about a check's result (empty for Ok):
// "macro_import_…" for macros, "shoot_import_…" for recoil files.
std::string_view messageKey(FileCheck status, EventFileKind kind);

}  // namespace korvane::keys
