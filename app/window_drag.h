#pragma once

class QWidget;

namespace korvane::app {

// Lets the user move a frameless `window` by dragging `handle` (its caption bar);
// a double click on the handle maximises or restores it.
void makeDraggable(QWidget* window, QWidget* handle);

}  // namespace korvane::app
