#include "platform/qt/circle_progress.h"

#include <QPainter>

#include <algorithm>

namespace korvane::qt {

CircleProgress::CircleProgress(QWidget* parent) : QProgressBar(parent) {
    setTextVisible(true);
}

void CircleProgress::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const int side = std::min(width(), height());
    const qreal pen = std::max(2.0, side / 10.0);
    const QRectF ring((width() - side) / 2.0 + pen / 2, (height() - side) / 2.0 + pen / 2,
                      side - pen, side - pen);
    painter.setPen(QPen(palette().color(QPalette::Mid), pen));
    painter.drawEllipse(ring);
    const qint64 span = static_cast<qint64>(maximum()) - minimum();
    const double fraction =
        span > 0 ? static_cast<double>(value() - minimum()) / static_cast<double>(span) : 0.0;
    if (fraction > 0) {
        painter.setPen(
            QPen(palette().color(QPalette::Highlight), pen, Qt::SolidLine, Qt::RoundCap));
        // Angles in 1/16 degree, counter-clockwise positive: start at 12 o'clock, go clockwise.
        painter.drawArc(ring, 90 * 16, -static_cast<int>(fraction * 360 * 16));
    }
    if (isTextVisible()) {
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(ring, Qt::AlignCenter, text());
    }
}

}  // namespace korvane::qt
