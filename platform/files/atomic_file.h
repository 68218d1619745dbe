// Replacing a file so that readers and crashes only ever see the old or the new content.
#pragma once

#include <filesystem>
#include <string_view>

namespace korvane::files {

// Writes `contents` to a new temporary file in the folder of `path`, flushes it to disk,
// and renames it over `path` (then flushes the folder). A crash, a full disk or any other
// failure leaves the old file as it was and removes the temporary file. An existing
// target keeps its permission bits; a new one gets 0666 minus the umask. When `path` is a
// symbolic link, the file it points to is replaced and the link stays.
//
// Returns false on failure and writes the reason to the log. Safe to call from several
// threads; concurrent writes to one path leave one of the complete contents.
bool writeFileAtomically(const std::filesystem::path& path, std::string_view contents);

}  // namespace korvane::files
