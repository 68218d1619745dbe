#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/control.h"
#include "ui/scripted_answers.h"

// The message box every part of the program asks or informs the user with.
// A queued scripted answer (tests, scenario scripts) answers before any window
// opens; otherwise the implementation asks the user.
namespace korvane::ui {

enum class MessageButtons { Confirm = 0, ConfirmCancel = 1 };

struct MessageRequest {
    Control* owner = nullptr;
    std::string title;  // shown when not empty
    std::string text;   // a language key when textIsKey
    bool textIsKey = true;
    MessageButtons buttons = MessageButtons::Confirm;
};

class MessageBoxService {
  public:
    virtual ~MessageBoxService() = default;

    // 1 when the user confirmed, 0 otherwise (cancel, close).
    int ShowMessage(Control* owner, std::string_view title, std::string_view text, bool textIsKey,
                    MessageButtons buttons);

    void setScriptedAnswers(std::shared_ptr<ScriptedAnswers> answers) {
        answers_ = std::move(answers);
    }

  protected:
    virtual int present(const MessageRequest& request) = 0;

  private:
    std::shared_ptr<ScriptedAnswers> answers_;
};

// Without a window: records each request and answers with a fixed value
// (0 unless set) when no scripted answer is queued.
class MemoryMessageBox : public MessageBoxService {
  public:
    void setDefaultAnswer(int answer) { defaultAnswer_ = answer; }
    const std::vector<MessageRequest>& presented() const { return presented_; }

  protected:
    int present(const MessageRequest& request) override;

  private:
    int defaultAnswer_ = 0;
    std::vector<MessageRequest> presented_;
};

}  // namespace korvane::ui
