#pragma once

#include <QString>

class QApplication;

// The program-wide look of the skin: the "skin:" search path its style sheet
// uses for images, the dark palette the drawn controls take their colours
// from, and the style sheet itself (skin/style.qss).
namespace korvane::qt {

// Returns false when the style sheet cannot be read (the rest is applied anyway).
bool applySkinTheme(QApplication& application, const QString& skinFolder);

}  // namespace korvane::qt
