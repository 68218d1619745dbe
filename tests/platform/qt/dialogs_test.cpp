#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>
#include <memory>

#include "platform/qt/modal_window.h"
#include "platform/qt/qt_control.h"
#include "platform/qt/qt_file_dialog.h"
#include "platform/qt/qt_message_box.h"
#include "platform/qt/skin_check.h"
#include "qt_test_environment.h"
#include "ui/control_lookup.h"
#include "ui/language.h"

namespace korvane::qt {
namespace {

// Acts on the modal window once it is up (the test itself waits inside it).
void whenModal(std::function<void(QWidget*)> act) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, act] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            poll->stop();
            poll->deleteLater();
            act(modal);
        }
    });
    poll->start(5);
}

class MessageBoxTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(
            language_.load(ui::Language::fileFor(test::skinFolder().toStdString(), "en"), &error));
    }
    SkinLoader skin_{test::skinFolder()};
    ui::Language language_;
};

TEST_F(MessageBoxTest, ScriptedAnswersOpenNoWindow) {
    QtMessageBox box(skin_, &language_);
    auto answers = std::make_shared<ui::ScriptedAnswers>();
    box.setScriptedAnswers(answers);
    answers->add("answer confirm");
    answers->add("answer cancel");
    EXPECT_EQ(
        box.ShowMessage(nullptr, "", "message_text_22", true, ui::MessageButtons::ConfirmCancel),
        1);
    EXPECT_EQ(
        box.ShowMessage(nullptr, "", "message_text_22", true, ui::MessageButtons::ConfirmCancel),
        0);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(MessageBoxTest, SkinWindowShowsTheTextsAndAnswersByItsButtons) {
    QtMessageBox box(skin_, &language_);
    struct Case {
        const char* button;  // nullptr: the window is closed
        ui::MessageButtons buttons;
        int expected;
    };
    const Case cases[] = {
        {"confirm_btn", ui::MessageButtons::ConfirmCancel, 1},
        {"cancel_btn", ui::MessageButtons::ConfirmCancel, 0},
        {"closebtn", ui::MessageButtons::ConfirmCancel, 0},
        {nullptr, ui::MessageButtons::ConfirmCancel, 0},
        {"confirm_btn", ui::MessageButtons::Confirm, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button != nullptr ? c.button : "close");
        std::string title;
        std::string text;
        bool cancelShown = true;
        whenModal([&](QWidget* modal) {
            ui::Control* root = QtControl::of(modal);
            EXPECT_EQ(root->name(), "msgwnd");
            title = ui::text(root, "MessageTitle");
            text = ui::text(root, "MessageText");
            cancelShown = ui::visible(root, "cancel_btn");
            if (c.button != nullptr) {
                qobject_cast<QPushButton*>(QtControl::widgetOf(root->find(c.button)))->click();
            } else {
                modal->close();
            }
        });
        EXPECT_EQ(box.ShowMessage(nullptr, "tips_text", "message_text_22", true, c.buttons),
                  c.expected);
        EXPECT_EQ(title, "Tips");
        EXPECT_EQ(text, "Restore the defaults?");
        EXPECT_EQ(cancelShown, c.buttons == ui::MessageButtons::ConfirmCancel);
    }
    // A text that is not a key is shown as it is.
    std::string text;
    whenModal([&](QWidget* modal) {
        text = ui::text(QtControl::of(modal), "MessageText");
        endModal(modal, 1);
    });
    EXPECT_EQ(box.ShowMessage(nullptr, "", "plain words", false, ui::MessageButtons::Confirm), 1);
    EXPECT_EQ(text, "plain words");
}

TEST_F(MessageBoxTest, WithoutTheSkinWindowAPlainBoxAsks) {
    QTemporaryDir empty;
    SkinLoader bare(empty.path());
    QtMessageBox box(bare, &language_);
    whenModal([](QWidget* modal) {
        auto* plain = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(plain, nullptr);
        EXPECT_EQ(plain->text(), QString("Restore the defaults?"));
        plain->button(QMessageBox::Ok)->click();
    });
    EXPECT_EQ(
        box.ShowMessage(nullptr, "", "message_text_22", true, ui::MessageButtons::ConfirmCancel),
        1);
}

TEST(ModalWindow, RunsUntilEndedAndRefusesASecondRun) {
    QWidget window;
    int nested = 0;
    whenModal([&](QWidget* modal) {
        EXPECT_EQ(modal, &window);
        EXPECT_TRUE(isRunningModal(&window));
        nested = runModal(&window);
        EXPECT_TRUE(endModal(&window, 7));
    });
    EXPECT_EQ(runModal(&window), 7);
    EXPECT_EQ(nested, -1);
    EXPECT_FALSE(isRunningModal(&window));
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(endModal(&window, 1));

    // A window destroyed while it runs ends the run with 0.
    auto* doomed = new QWidget;
    whenModal([](QWidget* modal) { delete modal; });
    EXPECT_EQ(runModal(doomed), 0);
}

TEST(FileDialogs, ScriptedAndRealDialogs) {
    EXPECT_EQ(qtNameFilter({"Profile Files(*.json)", "*.json"}),
              QString("Profile Files(*.json) (*.json)"));
    EXPECT_EQ(qtNameFilter({"Pictures", "*.png;*.jpg"}), QString("Pictures (*.png *.jpg)"));

    QtFileDialog files;
    auto answers = std::make_shared<ui::ScriptedAnswers>();
    files.setScriptedAnswers(answers);
    answers->add("choose-file /tmp/scripted.json");
    EXPECT_EQ(files.openFile(nullptr, {"Profile Files(*.json)", "*.json"}),
              std::filesystem::path("/tmp/scripted.json"));

    // The real dialog: the user picks an existing file; cancelling gives nothing.
    QTemporaryDir dir;
    const QString existing = QDir(dir.path()).filePath("profile.json");
    QFile(existing).open(QIODevice::WriteOnly);
    whenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);
        EXPECT_EQ(dialog->selectedNameFilter(), QString("Profile Files(*.json) (*.json)"));
        dialog->setDirectory(dir.path());
        dialog->selectFile(existing);
        QMetaObject::invokeMethod(dialog, "accept");  // as the Open button does
    });
    EXPECT_EQ(files.openFile(nullptr, {"Profile Files(*.json)", "*.json"}),
              std::filesystem::path(existing.toStdString()));
    whenModal([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    EXPECT_EQ(files.saveFile(nullptr, {"Macro Files(*.mac)", "*.mac"}), std::nullopt);
    EXPECT_EQ(answers->shown(), (std::vector<std::string>{"open-file Profile Files(*.json)",
                                                          "open-file Profile Files(*.json)",
                                                          "save-file Macro Files(*.mac)"}));
}

TEST(SkinCheck, ReportsWhatTheTestSkinLacks) {
    SkinLoader loader(test::skinFolder());
    ui::RequiredControls required;
    required.require("test_page.xml", {{"closebtn", ui::ControlKind::Button},
                                       {"deng_7color_check", ui::ControlKind::Option},
                                       {"key_0", ui::ControlKind::Button},  // an option serves
                                       {"power_progress", ui::ControlKind::Progress},
                                       {"DPI_slider_1", ui::ControlKind::Slider},
                                       {"device_function_switch", ui::ControlKind::Tab},
                                       {"device_tab", ui::ControlKind::Container},
                                       {"deep_label", ui::ControlKind::Label}});
    required.require("msgwnd.xml", {{"MessageTitle", ui::ControlKind::Label},
                                    {"MessageText", ui::ControlKind::Label},
                                    {"confirm_btn", ui::ControlKind::Button},
                                    {"cancel_btn", ui::ControlKind::Button}});
    EXPECT_EQ(checkSkin(required, loader), std::vector<std::string>{});

    required.require("test_page.xml", "title_label", ui::ControlKind::Edit);
    required.require("test_page.xml", "renamed_btn", ui::ControlKind::Button);
    required.require("XML\\nothing.xml", "x", ui::ControlKind::Any);
    const std::vector<std::string> problems = checkSkin(required, loader);
    ASSERT_EQ(problems.size(), 3u);
    EXPECT_EQ(problems[0], "test_page.ui: \"title_label\" is a label, expected edit");
    EXPECT_EQ(problems[1], "test_page.ui: \"renamed_btn\" is missing");
    EXPECT_TRUE(problems[2].starts_with("XML/nothing.ui: cannot load (")) << problems[2];
}

}  // namespace
}  // namespace korvane::qt
