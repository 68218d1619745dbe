#include "platform/qt/device_key_button.h"

#include <QPainter>
#include <QStyleOptionButton>

#include "platform/qt/qt_text.h"
#include "ui/argb_text.h"

namespace korvane::qt {

DeviceKeyButton::DeviceKeyButton(QWidget* parent) : QPushButton(parent) {
    setCheckable(true);
}

ui::Argb DeviceKeyButton::colour() const {
    return ui::parseArgb(toStdString(property("bkcolor").toString())).value_or(0);
}

void DeviceKeyButton::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
    const ui::Argb argb = colour();
    const QColor fill = argb != 0 ? QColor::fromRgba(argb) : palette().color(QPalette::Button);
    painter.setPen(
        QPen(isChecked() ? palette().color(QPalette::Highlight) : palette().color(QPalette::Mid),
             isChecked() ? 2.5 : 1.0));
    painter.setBrush(isEnabled() ? fill : fill.darker(150));
    painter.drawRoundedRect(area, 3, 3);
    if (!text().isEmpty()) {
        // Dark text on light keys, light text on dark ones.
        painter.setPen(fill.lightness() > 128 ? Qt::black : Qt::white);
        painter.drawText(area, Qt::AlignCenter, text());
    }
}

}  // namespace korvane::qt
