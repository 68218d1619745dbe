#pragma once

#include <QObject>

#include <functional>

// Hands key presses of the window to the key panel while its key-capture edit has the
// focus (the program's own key hook). The Linux key code comes from the native scan code
// (X11 and Wayland key codes are the Linux code + 8).
namespace korvane::app {

class KeyCaptureFilter : public QObject {
public:
    KeyCaptureFilter(std::function<bool(int evdevCode)> onKey, std::function<bool()> active,
                     QObject* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<bool(int)> onKey_;
    std::function<bool()> active_;
};

}  // namespace korvane::app
