#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

// The lighting panel's colour palette ("ColorPalette" in the skin): a field with the hues
// across and, downwards, white to the pure hue to black. A click or drag picks the colour under
// the pointer; releasing the button sends "colorchanged" with the colour (0xFFRRGGBB) in
// wParam. The picked colour is the property "selectcolor" ("#AARRGGBB"), which page code reads
// and sets through the control's attribute of that name; setting it sends nothing.
namespace korvane::qt {

class ColourPalette : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString selectcolor READ selectColourText WRITE setSelectColourText)

  public:
    explicit ColourPalette(QWidget* parent = nullptr);

    QRgb selectColour() const { return colour_; }
    void setSelectColour(QRgb colour);
    QString selectColourText() const;
    // "#AARRGGBB", "#RRGGBB" or "0xAARRGGBB"; other text is ignored.
    void setSelectColourText(const QString& text);

    // The colour of the field at `pos` in a field of `size` (positions outside are clamped).
    static QRgb colourAt(QPointF pos, QSize size);

    QSize sizeHint() const override { return {240, 120}; }
    QSize minimumSizeHint() const override { return {96, 48}; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void pick(QPointF pos);
    // Where the field shows (about) the selected colour.
    QPointF markerFor(QRgb colour) const;

    QImage field_;
    QRgb colour_ = 0xFF000000;
    QPointF marker_;
    bool picking_ = false;
};

}  // namespace korvane::qt
