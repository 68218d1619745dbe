#include "platform/qt/qt_message_box.h"

#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>

#include <memory>

#include "platform/qt/modal_window.h"
#include "platform/qt/qt_control.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/skin_loader.h"
#include "ui/control_lookup.h"
#include "ui/language.h"

namespace korvane::qt {

QtMessageBox::QtMessageBox(SkinLoader& skin, const ui::Language* language)
    : skin_(skin), language_(language) {}

int QtMessageBox::present(const ui::MessageRequest& request) {
    std::string title = request.title;
    std::string text = request.text;
    if (language_ != nullptr) {
        if (language_->contains(title)) {
            title = language_->text(title);
        }
        if (request.textIsKey) {
            text = language_->text(text);
        }
    }
    QWidget* owner = QtControl::widgetOf(request.owner);
    const bool twoButtons = request.buttons == ui::MessageButtons::ConfirmCancel;

    if (QFileInfo::exists(skin_.filePath("msgwnd.ui"))) {
        if (QWidget* loaded = skin_.load("msgwnd.ui")) {
            const std::unique_ptr<QWidget> window(loaded);
            ui::Control* root = QtControl::of(window.get());
            if (!title.empty()) {
                ui::setText(root, "MessageTitle", title);
            }
            if (!text.empty()) {
                ui::setText(root, "MessageText", text);
            }
            ui::setVisible(root, "confirm_btn", true);
            ui::setVisible(root, "cancel_btn", twoButtons);
            QWidget* w = window.get();
            root->setNotificationHandler([w](const ui::Notification& n) {
                if (!n.is(ui::notify::kClick)) {
                    return;
                }
                if (n.from("confirm_btn")) {
                    endModal(w, 1);
                } else if (n.from("cancel_btn") || n.from("closebtn")) {
                    endModal(w, 0);
                }
            });
            return runModal(w, owner) == 1 ? 1 : 0;
        }
        // A damaged skin file: the plain box still lets the user answer.
    }
    QMessageBox box(owner);
    box.setWindowTitle(toQString(title));
    box.setText(toQString(text));
    box.setStandardButtons(twoButtons ? (QMessageBox::Ok | QMessageBox::Cancel) : QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok ? 1 : 0;
}

}  // namespace korvane::qt
