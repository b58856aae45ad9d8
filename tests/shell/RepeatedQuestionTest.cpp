#include <gtest/gtest.h>

#include <tuple>

#include "RepeatedQuestion.h"
#include "ScriptedDialogs.h"

namespace lumark {
namespace {

TEST(AskUntilTaken, ARefusedReplyIsSaidAndAskedAgainHoldingWhatWasTyped) {
    // The replies typed in turn ("" is Cancel), the one taken, and the boxes shown: an input box
    // as [what it held], a message as its text.
    const std::tuple<std::vector<std::string>, std::optional<std::string>, const char*> cases[] = {
        {{"7"}, "7", "[5]"},
        {{""}, std::nullopt, "[5]"},
        {{"x", " \t"}, std::nullopt, "[5] no x [x]"},  // a blank reply is not refused: cancelled
        {{"x", "y 2", "8"}, "8", "[5] no x [x] no y 2 [y 2]"},
    };
    const ReplyRefusal digitsOnly = [](const std::string& reply) {
        return reply.find_first_not_of("0123456789") == std::string::npos ? "" : "no " + reply;
    };
    for (const auto& [typed, taken, shown] : cases) {
        ScriptedDialogs dialogs;
        for (const std::string& reply : typed) {
            dialogs.AnswerInputBox(reply);
            if (reply.find_first_not_of(" \t") != std::string::npos && !digitsOnly(reply).empty()) {
                dialogs.AnswerMsgBox(UserDialogs::vbOK);
            }
        }
        EXPECT_EQ(AskUntilTaken(dialogs, "Number:", "Title", "5", digitsOnly), taken);
        std::string boxes;
        for (const DialogCall& call : dialogs.calls) {
            EXPECT_EQ(call.Title, "Title");
            boxes +=
                (boxes.empty() ? "" : " ") +
                (call.Kind == DialogKind::InputBox ? "[" + call.DefaultReply + "]" : call.Text);
        }
        EXPECT_EQ(boxes, shown);
    }
}

}  // namespace
}  // namespace lumark
