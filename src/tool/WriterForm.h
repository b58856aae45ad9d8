#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lumark::tool {

// Compares the file at `path` with `written`, the bytes the writer would write for it, and
// says where the file first departs from them, e.g. `line 7 is "3 ", a save writes "3"`;
// nothing when the file holds exactly those bytes. The file is streamed, so a long run of
// lines that the reader skips costs no memory. Throws a LumarkError when it cannot be read.
std::optional<std::string> FirstDifferenceFromWriter(const std::string& path,
                                                     std::string_view written);

}  // namespace lumark::tool
