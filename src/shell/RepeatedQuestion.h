#pragma once

#include <functional>
#include <optional>
#include <string>

#include "UserDialogs.h"

namespace lumark {

// What a command makes of a reply: the empty text when it takes it, else the message that
// refuses it.
using ReplyRefusal = std::function<std::string(const std::string& reply)>;

// Asks in an input box until a reply is taken: a refused reply is said in a message box titled
// like the input box, which then opens again holding what was typed, so it can be corrected.
// The reply taken, or none when the box was cancelled or left blank.
std::optional<std::string> AskUntilTaken(UserDialogs& dialogs, const std::string& prompt,
                                         const std::string& title, const std::string& firstReply,
                                         const ReplyRefusal& refusal);

}  // namespace lumark
