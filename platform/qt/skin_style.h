#pragma once

#include <QPixmap>
#include <QSize>
#include <QString>
#include <QWidget>

// How the skin's look attributes reach the widgets. The skin writes them as
// dynamic properties in the Designer files, with the names the pages use:
//   "bkcolor"   "#AARRGGBB"
//   "bkimage"   image text, e.g. "file='common/background.png'" or a plain path
//   "foreimage" image text drawn over the background
// Image paths are relative to the skin folder of the widget's window.
namespace korvane::qt {

// Records the skin folder on a loaded tree's root.
void setSkinFolder(QWidget* root, const QString& folder);
// The skin folder of the nearest ancestor (across owner windows) that has one,
// else the application-wide one (QCoreApplication property "korvane_skin_dir").
QString skinFolderOf(const QWidget* widget);

// The absolute file of an image text, "" for an empty text. The skin ships its
// images as SVG under the names the code asks for ("power/powered.png" is
// "power/powered.svg"): a file that does not exist is replaced by the ".svg" of
// the same base name when that one does.
QString resolveSkinImage(const QWidget* widget, const QString& imageText);
// The image, cached; a null pixmap when it cannot be read. An SVG is rendered at
// `size` (device-independent pixels, scaled by the widget's pixel ratio), else at
// the widget's size, else at its own size.
QPixmap skinPixmap(const QWidget* widget, const QString& imageText, QSize size = QSize());

// Shows the widget's look attributes through its style sheet, keeping the style
// sheet the skin gave it. Widgets whose class carries the class info
// "korvaneOwnBackground" paint the background colour themselves and are only
// repainted.
void applySkinDecoration(QWidget* widget);
// applySkinDecoration for `root` and every widget below it that has a look attribute.
void applySkinDecorationTree(QWidget* root);
bool paintsOwnBackground(const QWidget* widget);

}  // namespace korvane::qt
