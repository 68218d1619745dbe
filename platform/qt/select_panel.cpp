#include "platform/qt/select_panel.h"

#include <QMouseEvent>
#include <QRubberBand>

#include "platform/qt/device_key_button.h"
#include "platform/qt/notification_bridge.h"
#include "ui/notification.h"

namespace korvane::qt {

SelectPanel::SelectPanel(QWidget* parent) : QWidget(parent) {}

QList<DeviceKeyButton*> SelectPanel::buttons() const {
    return findChildren<DeviceKeyButton*>();
}

QList<DeviceKeyButton*> SelectPanel::selectedButtons() const {
    QList<DeviceKeyButton*> out;
    for (DeviceKeyButton* b : buttons()) {
        if (b->isChecked()) {
            out.push_back(b);
        }
    }
    return out;
}

void SelectPanel::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    dragging_ = true;
    origin_ = event->position().toPoint();
    if (band_ == nullptr) {
        band_ = new QRubberBand(QRubberBand::Rectangle, this);
        band_->setObjectName(QStringLiteral("qt_select_band"));  // not a control
    }
    band_->setGeometry(QRect(origin_, QSize()));
    band_->show();
}

void SelectPanel::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_) {
        band_->setGeometry(QRect(origin_, event->position().toPoint()).normalized());
    } else {
        QWidget::mouseMoveEvent(event);
    }
}

void SelectPanel::mouseReleaseEvent(QMouseEvent* event) {
    if (!dragging_ || event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    dragging_ = false;
    band_->hide();
    // A rectangle with a corner on each point, so a plain click touches the button under it.
    const QRect area =
        QRect(origin_, event->position().toPoint()).normalized().adjusted(0, 0, 1, 1);
    const bool add = (event->modifiers() & Qt::ControlModifier) != 0;
    int selected = 0;
    {
        SilentScope silent;
        for (DeviceKeyButton* b : buttons()) {
            if (!b->isVisibleTo(this) || !b->isEnabled()) {
                continue;
            }
            const QRect r(b->mapTo(this, QPoint(0, 0)), b->size());
            if (r.intersects(area)) {
                b->setChecked(true);
            } else if (!add) {
                b->setChecked(false);
            }
            selected += b->isChecked() ? 1 : 0;
        }
    }
    emitNotification(this, ui::notify::kClickSelectEnd, selected);
}

}  // namespace korvane::qt
