#include <gtest/gtest.h>

#include "RepeatedQuestion.h"
#include "ScriptedDialogs.h"

namespace lumark {
namespace {

TEST(AskUntilTaken, ARefusedReplyIsSaidAndAskedAgainHoldingWhatWasTyped) {
    struct Case {
        std::vector<std::string> Typed;  // in turn; "" is Cancel
        std::optional<std::string> Taken;
        std::vector<std::string> Held;  // what each box opened holding
    };
    const Case cases[] = {
        {{"7"}, "7", {"5"}},
        {{""}, std::nullopt, {"5"}},
        {{"x", " \t"}, std::nullopt, {"5", "x"}},  // a blank reply is no refused one
        {{"x", "y 2", "8"}, "8", {"5", "x", "y 2"}},
    };
    // Takes digits only.
    const ReplyRefusal refusal = [](const std::string& reply) {
        return reply.find_first_not_of("0123456789") == std::string::npos ? std::string()
                                                                          : "no " + reply;
    };
    for (const Case& c : cases) {
        ScriptedDialogs dialogs;
        for (const std::string& typed : c.Typed) {
            dialogs.AnswerInputBox(typed);
        }
        for (std::size_t i = 1; i < c.Held.size(); ++i) {
            dialogs.AnswerMsgBox(UserDialogs::vbOK);
        }
        EXPECT_EQ(AskUntilTaken(dialogs, "Number:", "Title", "5", refusal), c.Taken);
        std::vector<std::string> held;
        for (const DialogCall& call : dialogs.calls) {
            EXPECT_EQ(call.Title, "Title");
            if (call.Kind == DialogKind::InputBox) {
                held.push_back(call.DefaultReply);
            } else {
                // What the box before it refused, said before it is asked again.
                EXPECT_EQ(call.Text, "no " + c.Typed.at(held.size() - 1));
            }
        }
        EXPECT_EQ(held, c.Held) << c.Typed.front();
    }
}

}  // namespace
}  // namespace lumark
