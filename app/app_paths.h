#pragma once

#include <filesystem>
#include <string_view>

// Where the program finds its data and keeps the user's files.
namespace korvane::app {

// At once the main window's title, the single-instance name and the name of
// the user's data folder.
inline constexpr std::string_view kWindowTitle = "Lumeris三代RGB有线版 Keyboard";

// The program folder (holds "skin", "DefaultData", "Font"): $KORVANE_DATA_DIR
// when set, else "<executable's folder>/../share/korvane" (the build tree and
// an installed tree have the same layout).
std::filesystem::path programFolder();

// $XDG_DATA_HOME (default ~/.local/share) + the window title; created when missing.
std::filesystem::path userFolder();

// $XDG_RUNTIME_DIR, or the temporary folder when it is not set.
std::filesystem::path runtimeFolder();

}  // namespace korvane::app
