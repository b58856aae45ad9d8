#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace lumark {

// How many bytes of a text found in a file a message shows.
constexpr std::size_t MessageTextLength = 40;

// A text found in a file as error messages show it: cut to 40 bytes (marked "...") and free of
// control bytes, so a binary or huge line cannot garble the message.
std::string ShownInMessage(std::string_view text);

// The same in double quotes.
std::string QuotedInMessage(std::string_view text);

}  // namespace lumark
