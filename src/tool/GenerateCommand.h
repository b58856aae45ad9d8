#pragma once

#include <ostream>
#include <string>

namespace lumark::tool {

constexpr int MinRingBlocks = 1;
constexpr int MaxRingBlocks = 300;

// `lumark-tool generate --blocks N --distance D [--layout L] OUT`: a ring of `blocks` blocks
// in which each sees itself and its `distance` nearest blocks on either side, written to
// `outPath` (or `out` for "-") in layout L. The arguments have been checked by the caller.
int GenerateFile(int blocks, int distance, const std::string& layout, const std::string& outPath,
                 std::ostream& out, std::ostream& err);

}  // namespace lumark::tool
