// Reading and writing the program's JSON files (profiles, lists, macros, settings).
#pragma once

#include <json/value.h>

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace korvane::files {

// Files larger than this are not read (every file the program writes is far smaller).
inline constexpr std::size_t kMaxJsonFileSize = 16u << 20;

// The document in `path`, or a null value when the file is missing, unreadable, not a
// regular file (a folder, a pipe, a device), empty, larger than kMaxJsonFileSize, not
// well-formed UTF-8 (also inside \u escapes: a lone surrogate), nested deeper than the
// parser allows, or not valid JSON. Comments are accepted; anything but white space and
// comments after the document is not. Never throws.
Json::Value ReadJsonDocument(const std::filesystem::path& path);

// The same rules for text already in memory.
Json::Value ParseJsonDocument(std::string_view text);

// `document` in the program's file style: three spaces per level, members sorted by name,
// strings as UTF-8 (bytes that are not UTF-8 become U+FFFD), ending in one line break.
std::string JsonDocumentText(const Json::Value& document);

// Writes JsonDocumentText(document) with writeFileAtomically: the old file survives any
// failure. Returns false on failure (the reason is logged).
bool WriteJsonDocument(const std::filesystem::path& path, const Json::Value& document);

}  // namespace korvane::files
