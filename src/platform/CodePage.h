#pragma once

#include <optional>
#include <string>

// The system's 8-bit code page, in which Windows programs write initialisation files. Elsewhere
// text is UTF-8 throughout, and both conversions hand the bytes back as they are.
namespace lumark::platform {

// UTF-8 text in the code page; nothing when a character of it has no place there.
std::optional<std::string> ToCodePage(const std::string& utf8);

// Bytes in the code page as UTF-8.
std::string FromCodePage(const std::string& bytes);

}  // namespace lumark::platform
