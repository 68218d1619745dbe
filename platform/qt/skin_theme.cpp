#include "platform/qt/skin_theme.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPalette>

namespace korvane::qt {

bool applySkinTheme(QApplication& application, const QString& skinFolder) {
    QDir::setSearchPaths("skin", {skinFolder});

    QPalette palette = QApplication::palette();
    const QColor text(0xe6, 0xe9, 0xee);
    palette.setColor(QPalette::Window, QColor(0x12, 0x14, 0x18));
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, QColor(0x15, 0x18, 0x1d));
    palette.setColor(QPalette::AlternateBase, QColor(0x18, 0x1b, 0x20));
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Button, QColor(0x26, 0x2b, 0x33));
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::Mid, QColor(0x3a, 0x41, 0x4d));
    palette.setColor(QPalette::Highlight, QColor(0x22, 0xc3, 0xe6));
    palette.setColor(QPalette::HighlightedText, QColor(0x0b, 0x14, 0x18));
    palette.setColor(QPalette::ToolTipBase, QColor(0x24, 0x2a, 0x33));
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::PlaceholderText, QColor(0x68, 0x71, 0x80));
    QApplication::setPalette(palette);

    QFile style(skinFolder + "/style.qss");
    if (!style.open(QIODevice::ReadOnly)) {
        return false;
    }
    application.setStyleSheet(QString::fromUtf8(style.readAll()));
    return true;
}

}  // namespace korvane::qt
