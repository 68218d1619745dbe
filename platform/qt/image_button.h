#pragma once

#include <QPushButton>

// Buttons drawn from the skin's state images, with a pointing-hand cursor. The
// images are the skin's attributes (dynamic properties, image text as for
// "bkimage"): "normalimage", "hotimage" (under the pointer), "pushedimage",
// "selectedimage" (checked), "disabledimage"; a state without its image uses
// "normalimage". Without any image the button is drawn as a plain push button.
namespace korvane::qt {

class SkinImageButton : public QPushButton {
    Q_OBJECT

  public:
    explicit SkinImageButton(QWidget* parent = nullptr);

    // The image text used for the current state, "" when there is none.
    QString currentImage() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
};

// A button with images ("HandImgButton").
class HandImgButton : public SkinImageButton {
    Q_OBJECT

  public:
    explicit HandImgButton(QWidget* parent = nullptr);
};

// An option with images ("HandImgSelectButton"): checkable.
class HandImgSelectButton : public SkinImageButton {
    Q_OBJECT

  public:
    explicit HandImgSelectButton(QWidget* parent = nullptr);
};

// A radio option with images ("RedioMacroButton"): checkable, and the ones
// with the same parent exclude each other.
class RedioMacroButton : public SkinImageButton {
    Q_OBJECT

  public:
    explicit RedioMacroButton(QWidget* parent = nullptr);
};

}  // namespace korvane::qt
