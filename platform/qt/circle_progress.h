#pragma once

#include <QProgressBar>

// A progress bar drawn as a ring (battery level, recording progress): a track
// circle, an arc for the value from twelve o'clock clockwise, and the text in
// the middle. Colours: the palette's Mid (track), Highlight (arc), WindowText.
namespace korvane::qt {

class CircleProgress : public QProgressBar {
    Q_OBJECT

  public:
    explicit CircleProgress(QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace korvane::qt
