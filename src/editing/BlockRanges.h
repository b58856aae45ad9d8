#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lumark {

// A list of blocks as the user types it: file block numbers (0-based) and ranges "a-b",
// separated by commas or blanks, e.g. "3, 7, 10-12". A range whose first number is the larger
// one runs across the seam: "290-5" is 290 to the last block, then 0 to 5.
struct BlockList {
    // Ascending 1-based block indices, each once. Empty when Problem is set.
    std::vector<std::int16_t> Blocks;
    // Why the text was refused, quoting the part that does not read; empty when it was read.
    std::string Problem;
};

BlockList ReadBlockList(std::string_view text, int blockCount);

}  // namespace lumark
