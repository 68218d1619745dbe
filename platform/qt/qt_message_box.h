#pragma once

#include "ui/message_box.h"

namespace korvane::ui {
class Language;
}

// The message box on screen. With the skin window "msgwnd.ui" it shows the title
// in "MessageTitle" and the text in "MessageText" (each only when not empty),
// "confirm_btn" always and "cancel_btn" only with two buttons; "confirm_btn"
// answers 1, "cancel_btn", "closebtn" and closing the window 0. Without that
// skin file it falls back to a QMessageBox. Language keys (the text when
// textIsKey, a title that is a key) show their language's text.
namespace korvane::qt {

class SkinLoader;

class QtMessageBox : public ui::MessageBoxService {
  public:
    QtMessageBox(SkinLoader& skin, const ui::Language* language);

  protected:
    int present(const ui::MessageRequest& request) override;

  private:
    SkinLoader& skin_;
    const ui::Language* language_;
};

}  // namespace korvane::qt
