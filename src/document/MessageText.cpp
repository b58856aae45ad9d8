#include "MessageText.h"

namespace lumark {

std::string ShownInMessage(std::string_view text) {
    std::string shown(text.substr(0, MessageTextLength));
    for (char& c : shown) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
            c = '?';
        }
    }
    if (text.size() > MessageTextLength) {
        shown += "...";
    }
    return shown;
}

std::string QuotedInMessage(std::string_view text) {
    return '"' + ShownInMessage(text) + '"';
}

}  // namespace lumark
