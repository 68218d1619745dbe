#pragma once

#include <QWidget>

// Secondary windows (settings, palette, message box) run modally: the caller
// waits in runModal while the user works in the window, and a handler ends it
// with a result.
namespace korvane::qt {

// Shows `window` application-modal, centred on `owner` (when given), and waits
// until endModal() gives a result or the window is closed or destroyed (0).
// Returns -1 at once when the window is already running modally.
int runModal(QWidget* window, QWidget* owner = nullptr);

// Ends the modal run of `window` with `result` and hides the window; false when
// it is not running modally.
bool endModal(QWidget* window, int result);

bool isRunningModal(const QWidget* window);

}  // namespace korvane::qt
