#include "ui/message_box.h"

namespace korvane::ui {

int MessageBoxService::ShowMessage(Control* owner, std::string_view title, std::string_view text,
                                   bool textIsKey, MessageButtons buttons) {
    MessageRequest request{owner, std::string(title), std::string(text), textIsKey, buttons};
    if (answers_) {
        answers_->noteShown("message " + request.text);
        if (const auto answer = answers_->takeMessageAnswer()) {
            // A single-button box can only be confirmed.
            return buttons == MessageButtons::Confirm ? 1 : *answer;
        }
    }
    return present(request) == 1 ? 1 : 0;
}

int MemoryMessageBox::present(const MessageRequest& request) {
    presented_.push_back(request);
    return defaultAnswer_;
}

}  // namespace korvane::ui
