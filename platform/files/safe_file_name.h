// Names read from files ("Guid" values, profile ids) that become file names.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string_view>

namespace korvane::files {

// Longest accepted name in bytes; leaves room for any extension within NAME_MAX (255).
inline constexpr std::size_t kMaxSafeFileNameLength = 200;

// True when `name` can only name a file directly inside a folder: not empty, at most
// kMaxSafeFileNameLength bytes, well-formed UTF-8, not "." or "..", and free of '/', '\\',
// ':' (drive letters and streams on Windows), NUL and other control characters
// (U+0000–U+001F, U+007F–U+009F). A refusal is logged with the reason.
bool isSafeFileName(std::string_view name);

// folder / (name + extension) when `name` is safe, else nothing.
std::optional<std::filesystem::path> safeFilePath(const std::filesystem::path& folder,
                                                  std::string_view name,
                                                  std::string_view extension);

}  // namespace korvane::files
