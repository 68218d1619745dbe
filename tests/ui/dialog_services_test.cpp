#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ui/file_dialog.h"
#include "ui/message_box.h"
#include "ui/scripted_answers.h"

namespace korvane::ui {
namespace {

TEST(ScriptedAnswers, ParsesAnswerLines) {
    struct Case {
        const char* line;
        bool ok;
    };
    const Case cases[] = {
        {"answer confirm", true},
        {"  answer   cancel \r\n", true},
        {"choose-file /tmp/profile one.json", true},
        {"choose-file", true},
        {"", true},
        {"# a comment", true},
        {"answer", false},
        {"answer yes", false},
        {"answer confirm now", false},
        {"choose_file /x", false},
        {"Answer confirm", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        ScriptedAnswers answers;
        std::string error;
        EXPECT_EQ(answers.add(c.line, &error), c.ok);
        EXPECT_EQ(error.empty(), c.ok);
    }
    ScriptedAnswers answers;
    ASSERT_TRUE(answers.add("choose-file /tmp/profile one.json"));
    EXPECT_EQ(answers.takeFileAnswer(), std::filesystem::path("/tmp/profile one.json"));
}

TEST(DialogServices, ScriptedAnswersAnswerTheNextDialogsOfTheirKind) {
    auto answers = std::make_shared<ScriptedAnswers>();
    MemoryMessageBox messages;
    MemoryFileDialog files;
    messages.setScriptedAnswers(answers);
    files.setScriptedAnswers(answers);

    answers->add("choose-file /tmp/in.json");
    answers->add("answer cancel");
    answers->add("answer confirm");
    answers->add("choose-file");

    const FileFilter profiles{"Profile Files(*.json)", "*.json"};
    EXPECT_EQ(
        messages.ShowMessage(nullptr, "", "message_text_22", true, MessageButtons::ConfirmCancel),
        0);
    EXPECT_EQ(
        messages.ShowMessage(nullptr, "", "message_text_22", true, MessageButtons::ConfirmCancel),
        1);
    EXPECT_EQ(files.openFile(nullptr, profiles), std::filesystem::path("/tmp/in.json"));
    EXPECT_EQ(files.saveFile(nullptr, profiles), std::nullopt);  // scripted cancel
    EXPECT_EQ(answers->pending(), 0u);
    EXPECT_TRUE(messages.presented().empty());
    EXPECT_TRUE(files.presented().empty());

    // With nothing queued the implementation asks (here: its fixed answers).
    EXPECT_EQ(messages.ShowMessage(nullptr, "tips_text", "message_text_26", true,
                                   MessageButtons::ConfirmCancel),
              0);
    messages.setDefaultAnswer(1);
    EXPECT_EQ(messages.ShowMessage(nullptr, "", "message_text_5", true, MessageButtons::Confirm),
              1);
    ASSERT_EQ(messages.presented().size(), 2u);
    EXPECT_EQ(messages.presented()[0].title, "tips_text");
    EXPECT_EQ(messages.presented()[0].text, "message_text_26");
    EXPECT_EQ(files.openFile(nullptr, profiles), std::nullopt);
    files.setDefaultAnswer(std::filesystem::path("/tmp/x.mac"));
    EXPECT_EQ(files.saveFile(nullptr, {"Macro Files(*.mac)", "*.mac"}),
              std::filesystem::path("/tmp/x.mac"));
    ASSERT_EQ(files.presented().size(), 2u);
    EXPECT_FALSE(files.presented()[0].save);
    EXPECT_TRUE(files.presented()[1].save);
    EXPECT_EQ(files.presented()[1].filters.at(0).pattern, "*.mac");

    EXPECT_EQ(
        answers->shown(),
        (std::vector<std::string>{
            "message message_text_22", "message message_text_22", "open-file Profile Files(*.json)",
            "save-file Profile Files(*.json)", "message message_text_26", "message message_text_5",
            "open-file Profile Files(*.json)", "save-file Macro Files(*.mac)"}));
}

TEST(DialogServices, ASingleButtonBoxCanOnlyBeConfirmed) {
    auto answers = std::make_shared<ScriptedAnswers>();
    MemoryMessageBox messages;
    messages.setScriptedAnswers(answers);
    answers->addCancel();
    EXPECT_EQ(messages.ShowMessage(nullptr, "", "message_text_5", true, MessageButtons::Confirm),
              1);
    messages.setDefaultAnswer(7);  // anything but 1 reads as "not confirmed"
    EXPECT_EQ(messages.ShowMessage(nullptr, "", "k", true, MessageButtons::ConfirmCancel), 0);
}

}  // namespace
}  // namespace korvane::ui
