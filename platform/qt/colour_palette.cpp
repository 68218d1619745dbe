#include "platform/qt/colour_palette.h"

#include <QColor>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

#include "platform/qt/notification_bridge.h"
#include "platform/qt/qt_text.h"
#include "ui/argb_text.h"
#include "ui/notification.h"

namespace korvane::qt {
namespace {

int mix(int a, int b, double t) {
    return static_cast<int>(a + (b - a) * t + 0.5);
}

}  // namespace

ColourPalette::ColourPalette(QWidget* parent) : QWidget(parent) {
    setCursor(Qt::CrossCursor);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

QRgb ColourPalette::colourAt(QPointF pos, QSize size) {
    const double w = std::max(1, size.width());
    const double h = std::max(1, size.height());
    const double x = std::clamp(pos.x(), 0.0, w - 1);
    const double y = std::clamp(pos.y(), 0.0, h - 1);
    const QColor pure = QColor::fromHsvF(static_cast<float>(std::min(x / w, 0.9999)), 1.0f, 1.0f);
    const double half = (h - 1) / 2.0;
    int r, g, b;
    if (y <= half) {
        const double t = half > 0 ? y / half : 1.0;
        r = mix(255, pure.red(), t);
        g = mix(255, pure.green(), t);
        b = mix(255, pure.blue(), t);
    } else {
        const double t = half > 0 ? (y - half) / half : 1.0;
        r = mix(pure.red(), 0, t);
        g = mix(pure.green(), 0, t);
        b = mix(pure.blue(), 0, t);
    }
    return qRgba(r, g, b, 255);
}

void ColourPalette::setSelectColour(QRgb colour) {
    colour_ = colour;
    marker_ = markerFor(colour);
    update();
}

QString ColourPalette::selectColourText() const {
    return toQString(ui::formatArgb(static_cast<ui::Argb>(colour_)));
}

void ColourPalette::setSelectColourText(const QString& text) {
    if (auto colour = ui::parseArgb(toStdString(text))) {
        setSelectColour(static_cast<QRgb>(*colour));
    }
}

QPointF ColourPalette::markerFor(QRgb colour) const {
    const QColor c = QColor::fromRgb(colour);
    const double hue = std::max(0.0, static_cast<double>(c.hsvHueF()));
    const double s = c.hsvSaturationF();
    const double v = c.valueF();
    const double half = (std::max(1, height()) - 1) / 2.0;
    // The field holds full-value colours above the middle and full-saturation ones below.
    const double y = (1 - v) < (1 - s) ? s * half : half + (1 - v) * half;
    return {hue * std::max(1, width()), y};
}

void ColourPalette::resizeEvent(QResizeEvent* /*event*/) {
    field_ = QImage();
    marker_ = markerFor(colour_);
}

void ColourPalette::paintEvent(QPaintEvent* /*event*/) {
    if (field_.size() != size()) {
        field_ = QImage(size(), QImage::Format_RGB32);
        for (int y = 0; y < field_.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(field_.scanLine(y));
            for (int x = 0; x < field_.width(); ++x) {
                line[x] = colourAt(QPointF(x, y), size());
            }
        }
    }
    QPainter painter(this);
    if (!isEnabled()) {
        painter.setOpacity(0.35);
    }
    painter.drawImage(0, 0, field_);
    painter.setOpacity(1.0);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 3));
    painter.drawEllipse(marker_, 5, 5);
    painter.setPen(QPen(Qt::white, 1.5));
    painter.drawEllipse(marker_, 5, 5);
}

void ColourPalette::pick(QPointF pos) {
    colour_ = colourAt(pos, size());
    marker_ =
        QPointF(std::clamp(pos.x(), 0.0, width() - 1.0), std::clamp(pos.y(), 0.0, height() - 1.0));
    update();
}

void ColourPalette::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    picking_ = true;
    pick(event->position());
}

void ColourPalette::mouseMoveEvent(QMouseEvent* event) {
    if (picking_) {
        pick(event->position());
    }
}

void ColourPalette::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !picking_) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    picking_ = false;
    pick(event->position());
    // One change per pick: every change is saved and sent to the device.
    emitNotification(this, ui::notify::kColorChanged,
                     static_cast<std::int64_t>(colour_ | 0xFF000000u));
}

}  // namespace korvane::qt
