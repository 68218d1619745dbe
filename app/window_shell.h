#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane::ui {
class Control;
}

// The window-level services the main window needs from the toolkit: showing,
// hiding and raising the top-level window, its size, and building skin pieces
// into containers.
namespace korvane::app {

struct MenuItem {
    std::string command;  // what the window receives ("left_down", ...)
    std::string text;     // shown
};

struct ScreenSize {
    int width = 0;
    int height = 0;
};

class WindowShell {
public:
    virtual ~WindowShell() = default;

    virtual void show() = 0;
    virtual void hide() = 0;
    virtual bool isVisible() const = 0;
    virtual bool isMinimised() const = 0;
    virtual void restore() = 0;
    virtual void minimise() = 0;
    virtual void maximise() = 0;
    // Brings the window in front of the others (and takes the focus where allowed).
    virtual void raise() = 0;
    virtual void resize(int width, int height) = 0;
    virtual void centre() = 0;
    virtual ScreenSize primaryScreen() const = 0;
    // The whole monitor that holds the window.
    virtual ScreenSize monitorOfWindow() const = 0;

    // Builds a skin file into `container` (at the end); the new piece's root, or
    // nullptr when the file cannot be built.
    virtual ui::Control* buildInto(std::string_view skinFile, ui::Control* container) = 0;

    // Ends the message loop with `exitCode`.
    virtual void quit(int exitCode) = 0;
    // Whether a system tray can hold the program while its window is hidden.
    virtual bool trayAvailable() const = 0;
    // A popup menu at the pointer; the chosen command, or nullopt when dismissed.
    virtual std::optional<std::string> popupMenu(const std::vector<MenuItem>& items) = 0;
};

}  // namespace korvane::app
