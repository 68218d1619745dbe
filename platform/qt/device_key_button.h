#pragma once

#include <QPushButton>

#include "ui/control.h"

// A key or light of a device picture: a checkable button that shows a colour
// (its "bkcolor", set through the control's background colour) and marks its
// selected state with a frame. Its background is painted here, not by a style
// sheet, so it can be repainted for every light frame cheaply.
namespace korvane::qt {

class DeviceKeyButton : public QPushButton {
    Q_OBJECT
    Q_CLASSINFO("korvaneOwnBackground", "true")

  public:
    explicit DeviceKeyButton(QWidget* parent = nullptr);

    ui::Argb colour() const;  // 0 when none

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace korvane::qt
