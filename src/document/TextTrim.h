#pragma once

#include <string_view>

namespace lumark {

// Two meanings of "blank". Visibility files and the settings file only ever pad with spaces
// and tabs, and a line end there is no blank; a reply typed into a box or an argument given
// to the tool may also carry any other white space, such as a pasted line end.
constexpr bool IsSpaceOrTab(char c) {
    return c == ' ' || c == '\t';
}
constexpr bool IsWhiteSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

template <typename IsBlank>
constexpr std::string_view TrimBlanks(std::string_view text, IsBlank isBlank) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

constexpr std::string_view TrimSpaceOrTab(std::string_view text) {
    return TrimBlanks(text, IsSpaceOrTab);
}
constexpr std::string_view TrimWhiteSpace(std::string_view text) {
    return TrimBlanks(text, IsWhiteSpace);
}

}  // namespace lumark
