#pragma once

// The program's message loop: runs until quitMessageLoop() and returns its code.
// A QApplication must exist.
namespace korvane::qt {

int runMessageLoop();
void quitMessageLoop(int exitCode = 0);

}  // namespace korvane::qt
