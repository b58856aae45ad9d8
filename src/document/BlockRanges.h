#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lumark {

// Lists of blocks as the user types them and as the program writes them, in one form, so that
// whatever is written reads back as the same blocks.

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

// Block numbers as the user sees them (0-based), `shown[n]` true for each number listed, the
// vector as long as the ring: ascending runs "3-7" joined by ", ", a run through the seam
// written from its first block ("298-1") and placed by that block, the whole ring "0-299".
// "none" when nothing is shown.
std::string BlockRangesText(const std::vector<bool>& shown);

// The same, listing whole runs while at most `maxNumbers` numbers are written (a run writes
// two, a single block one), then " and N more" for the blocks left out.
std::string BlockRangesText(const std::vector<bool>& shown, int maxNumbers);

}  // namespace lumark
