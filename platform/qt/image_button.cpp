#include "platform/qt/image_button.h"

#include <QEvent>
#include <QPainter>

#include "platform/qt/skin_style.h"

namespace korvane::qt {

SkinImageButton::SkinImageButton(QWidget* parent) : QPushButton(parent) {
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);
}

QString SkinImageButton::currentImage() const {
    const char* state = "normalimage";
    if (!isEnabled()) {
        state = "disabledimage";
    } else if (isDown()) {
        state = "pushedimage";
    } else if (isChecked()) {
        state = "selectedimage";
    } else if (underMouse()) {
        state = "hotimage";
    }
    const QString image = property(state).toString();
    return image.isEmpty() ? property("normalimage").toString() : image;
}

bool SkinImageButton::event(QEvent* event) {
    if (event->type() == QEvent::DynamicPropertyChange) {
        update();  // an image attribute may have changed
    }
    return QPushButton::event(event);
}

void SkinImageButton::paintEvent(QPaintEvent* event) {
    const QPixmap pixmap = skinPixmap(this, currentImage());
    if (pixmap.isNull()) {
        QPushButton::paintEvent(event);
        return;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(rect(), pixmap);
    if (!text().isEmpty()) {
        painter.setPen(palette().color(QPalette::ButtonText));
        painter.drawText(rect(), Qt::AlignCenter, text());
    }
}

HandImgButton::HandImgButton(QWidget* parent) : SkinImageButton(parent) {}

HandImgSelectButton::HandImgSelectButton(QWidget* parent) : SkinImageButton(parent) {
    setCheckable(true);
}

RedioMacroButton::RedioMacroButton(QWidget* parent) : SkinImageButton(parent) {
    setCheckable(true);
    setAutoExclusive(true);
}

}  // namespace korvane::qt
