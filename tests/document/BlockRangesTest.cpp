#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BlockRanges.h"

namespace lumark {
namespace {

// What the reader makes of `text` on 300 blocks: the file numbers it selects, or its refusal.
std::string Read(const char* text) {
    const BlockList list = ReadBlockList(text, 300);
    std::string read = list.Problem;
    for (const std::int16_t index : list.Blocks) {
        read += (read.empty() ? "" : " ") + std::to_string(index - 1);
    }
    return read;
}

TEST(ReadBlockList, ReadsNumbersAndRangesAlongTheRing) {
    const std::pair<const char*, const char*> cases[] = {
        {"290-5", "0 1 2 3 4 5 290 291 292 293 294 295 296 297 298 299"},
        {"98-102", "98 99 100 101 102"},
        {"3, 7, 10-12", "3 7 10 11 12"},
        {"10 -12,\t14 - 15", "10 11 12 14 15"},
        {"5-5 7", "5 7"},
        {" ,3,, 7,", "3 7"},
        {"8-9, 1-3, 2-4, 9", "1 2 3 4 8 9"},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(Read(text), expected) << text;
    }
}

TEST(ReadBlockList, RefusesWhatDoesNotReadQuotingThatPart) {
    const std::string notRead =
        " does not read as a block or a range of blocks, such as 7 or 100-140.";
    const std::pair<const char*, std::string> cases[] = {
        {"abc", "\"abc\"" + notRead},
        {"3, 7x, 9", "\"7x\"" + notRead},
        {"1-2-3", "\"1-2-3\"" + notRead},
        {"300", "\"300\" is not a block of this file, 0 to 299."},
        {"1, 295 - 300", "\"295 - 300\" leaves the blocks of this file, 0 to 299."},
        {"99999999999", "\"99999999999\" is not a block of this file, 0 to 299."},
        {" , ", "\",\" names no block."},
    };
    for (const auto& [text, problem] : cases) {
        EXPECT_EQ(Read(text), problem) << text;
    }
}

// Shown numbers from a list, in a ring of `blocks`.
std::vector<bool> Shown(int blocks, const std::vector<int>& numbers) {
    std::vector<bool> shown(static_cast<std::size_t>(blocks));
    for (const int n : numbers) {
        shown[static_cast<std::size_t>(n)] = true;
    }
    return shown;
}

std::vector<int> Span(int first, int last) {
    std::vector<int> numbers;
    for (int n = first; n <= last; ++n) {
        numbers.push_back(n);
    }
    return numbers;
}

// The text of each list, which the reader takes back as the same blocks: what the program
// writes can be typed or pasted into a selection.
TEST(BlockRangesText, MergesRunsAndWrapsAcrossTheSeamAndReadsBack) {
    const struct {
        int blocks;
        std::vector<int> numbers;
        const char* text;
    } cases[] = {
        {10, {}, "none"},
        {10, {3, 4}, "3-4"},
        {10, {1, 2, 3, 6, 7}, "1-3, 6-7"},
        {10, {0, 2, 9}, "2, 9-0"},
        {10, {0, 1, 5, 8, 9}, "5, 8-1"},  // the seam run is placed by its first block
        {10, {0, 1, 2, 3, 4, 6, 7, 8, 9}, "6-4"},
        {10, {0}, "0"},
        {300, Span(0, 299), "0-299"},
        {300, {0, 1, 298, 299}, "298-1"},
        {1, {0}, "0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BlockRangesText(Shown(c.blocks, c.numbers)), c.text) << c.text;
        if (!c.numbers.empty()) {
            std::vector<int> read;
            for (const std::int16_t index : ReadBlockList(c.text, c.blocks).Blocks) {
                read.push_back(index - 1);
            }
            EXPECT_EQ(read, c.numbers) << c.text;
        }
    }
}

}  // namespace
}  // namespace lumark
