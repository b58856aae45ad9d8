#include "RepeatedQuestion.h"

#include "TextTrim.h"

namespace lumark {

std::optional<std::string> AskUntilTaken(UserDialogs& dialogs, const std::string& prompt,
                                         const std::string& title, const std::string& firstReply,
                                         const ReplyRefusal& refusal) {
    std::string shown = firstReply;
    for (;;) {
        const std::string reply = dialogs.InputBox(prompt, title, shown);
        if (TrimWhiteSpace(reply).empty()) {
            return std::nullopt;  // cancelled
        }
        const std::string problem = refusal(reply);
        if (problem.empty()) {
            return reply;
        }
        dialogs.MsgBox(problem, title, UserDialogs::vbOKOnly + UserDialogs::vbExclamation);
        shown = reply;
    }
}

}  // namespace lumark
