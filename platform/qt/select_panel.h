#pragma once

#include <QPoint>
#include <QWidget>

class QRubberBand;

// A container of DeviceKeyButtons that the user can drag a rectangle over: the
// buttons the rectangle touches become selected (with Ctrl held they are added
// to the selection, otherwise the others are unselected), then the panel sends
// "click_select_end" with wParam = the number of selected buttons. The buttons
// change silently; handlers read their selected state.
namespace korvane::qt {

class DeviceKeyButton;

class SelectPanel : public QWidget {
    Q_OBJECT

  public:
    explicit SelectPanel(QWidget* parent = nullptr);

    QList<DeviceKeyButton*> selectedButtons() const;

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    QList<DeviceKeyButton*> buttons() const;

    QRubberBand* band_ = nullptr;
    QPoint origin_;
    bool dragging_ = false;
};

}  // namespace korvane::qt
