#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BlockRanges.h"

namespace lumark {
namespace {

// Expected blocks are the file's numbers, as typed; the reader answers 1-based indices.
std::vector<int> FileNumbers(const BlockList& list) {
    std::vector<int> numbers;
    for (const std::int16_t index : list.Blocks) {
        numbers.push_back(index - 1);
    }
    return numbers;
}

TEST(ReadBlockList, ReadsNumbersAndRangesAlongTheRing) {
    struct Case {
        const char* text;
        int blocks;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {"100-140", 300, {}},  // checked by size and ends below
        {"290-5", 300, {0, 1, 2, 3, 4, 5, 290, 291, 292, 293, 294, 295, 296, 297, 298, 299}},
        {"299-0", 300, {0, 299}},
        {"3, 7, 10-12", 20, {3, 7, 10, 11, 12}},
        {"  7  ", 20, {7}},
        {"5-5", 20, {5}},
        {"0", 1, {0}},
        {"10 - 12", 20, {10, 11, 12}},
        {"10 -12,\t14- 15", 20, {10, 11, 12, 14, 15}},
        {"3 7", 20, {3, 7}},
        {",3,,7,", 20, {3, 7}},
        {"8-9, 1-3, 2-4, 9", 20, {1, 2, 3, 4, 8, 9}},
        {"007", 20, {7}},
    };
    for (const Case& c : cases) {
        const BlockList list = ReadBlockList(c.text, c.blocks);
        EXPECT_EQ(list.Problem, "") << c.text;
        if (c.expected.empty()) {
            ASSERT_EQ(list.Blocks.size(), 41u) << c.text;
            EXPECT_EQ(FileNumbers(list).front(), 100);
            EXPECT_EQ(FileNumbers(list).back(), 140);
        } else {
            EXPECT_EQ(FileNumbers(list), c.expected) << c.text;
        }
    }
}

TEST(ReadBlockList, RefusesWhatDoesNotReadQuotingThatPart) {
    const char* const notRead =
        " does not read as a block or a range of blocks, such as 7 or 100-140.";
    struct Case {
        const char* text;
        std::string problem;
    };
    const Case cases[] = {
        {"abc", std::string("\"abc\"") + notRead},
        {"3, 7x, 9", std::string("\"7x\"") + notRead},
        {"5-", std::string("\"5-\"") + notRead},
        {"-5", std::string("\"-5\"") + notRead},
        {"1-2-3", std::string("\"1-2-3\"") + notRead},
        {"1.5", std::string("\"1.5\"") + notRead},
        {"4;5", std::string("\"4;5\"") + notRead},
        {"300", "\"300\" is not a block of this file, 0 to 299."},
        {"1, 295 - 300", "\"295 - 300\" leaves the blocks of this file, 0 to 299."},
        {"99999999999", "\"99999999999\" is not a block of this file, 0 to 299."},
        {" , ", "\",\" names no block."},
    };
    for (const Case& c : cases) {
        const BlockList list = ReadBlockList(c.text, 300);
        EXPECT_EQ(list.Problem, c.problem) << c.text;
        EXPECT_TRUE(list.Blocks.empty()) << c.text;
    }
}

}  // namespace
}  // namespace lumark
