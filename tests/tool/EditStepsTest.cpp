#include "EditSteps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "CommandTable.h"
#include "RingDocument.h"

namespace lumark::tool {
namespace {

using Given = std::vector<std::pair<std::string, std::string>>;

// The 0-based blocks that block `block` (0-based) sees, ascending.
std::vector<int> Sees(const VisibilityDocument& doc, int block) {
    std::vector<int> seen;
    for (int other = 0; other < doc.BlockCount; ++other) {
        if (doc.IsVisible(block + 1, other + 1)) {
            seen.push_back(other);
        }
    }
    return seen;
}

struct StepCase {
    const char* what;
    Given given;
    std::map<int, std::vector<int>> changed;  // the blocks whose view is no longer the ring's
    std::string problem = {};
};

// A ring of 10 in which each block sees itself and one neighbour on each side; every result
// worked out by hand from the window's rules.
TEST(EditSteps, RunInTheOrderGivenWithTheWindowsRules) {
    const std::vector<StepCase> cases = {
        {"increase on the selected blocks",
         {{"select", "2-3"}, {"increase", ""}},
         {{2, {0, 1, 2, 3, 4}}, {3, {1, 2, 3, 4, 5}}}},
        {"steps interleave with selections",
         {{"select", "1"}, {"increase", ""}, {"select", "8"}, {"decrease", ""}},
         {{1, {0, 1, 2, 3, 9}}, {8, {8}}}},
        {"a command before any selection does nothing", {{"increase", ""}, {"select", "1"}}, {}},
        {"a range across the seam",
         {{"select", "8-1"}, {"set-distance", "0"}},
         {{8, {8}}, {9, {9}}, {0, {0}}, {1, {1}}}},
        {"a list, none and all",
         {{"select", "3, 6"},
          {"select", "none"},
          {"decrease", ""},
          {"select", "all"},
          {"select", "4"},
          {"set-distance", "5"}},
         {{4, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}}}},
        {"set minimum never narrows; 2.5 rounds to 2",
         {{"select", "5"}, {"set-minimum", "2.5"}, {"set-minimum", "1"}},
         {{5, {3, 4, 5, 6, 7}}}},
        {"a click toggles whether C sees R", {{"toggle", "3:7"}}, {{3, {2, 3, 4, 7}}}},
        {"a click clears the selection",
         {{"select", "0-9"}, {"toggle", "3:7"}, {"increase", ""}},
         {{3, {2, 3, 4, 7}}}},
        // Set Minimum 3 adds 7, 8, 2 and 3; the edge at 1 clears 2 and stops at the limit, 3.
        {"an edge click",
         {{"select", "0"}, {"set-minimum", "3"}, {"edge", "0:1"}},
         {{0, {0, 1, 3, 7, 8, 9}}}},
        {"cross makes a click mutual",
         {{"toggle", "3:7"}, {"cross", ""}},
         {{3, {2, 3, 4, 7}}, {7, {3, 6, 7, 8}}}},
        {"remove one-way undoes a lone click", {{"toggle", "3:7"}, {"remove-one-way", ""}}, {}},
        {"a block beyond the file",
         {{"select", "10"}},
         {},
         "--select 10: \"10\" is not a block of this file, 0 to 9"},
        {"a minimum above the count",
         {{"select", "1"}, {"set-minimum", "11"}},
         {},
         "--set-minimum 11: the minimum is from 1 to 10 in this file"},
        {"a minimum of 0",
         {{"set-minimum", "0"}},
         {},
         "--set-minimum 0: the minimum is from 1 to 10 in this file"},
        {"a distance above half the ring",
         {{"set-distance", "6"}},
         {},
         "--set-distance 6: the distance is from 0 to 5 in this file"},
        {"a cell beyond the file",
         {{"toggle", "3:10"}},
         {},
         "--toggle 3:10: block 10 is not a block of this file, 0 to 9"},
        {"an edge beyond the file",
         {{"edge", "10:3"}},
         {},
         "--edge 10:3: block 10 is not a block of this file, 0 to 9"},
    };
    for (const StepCase& step : cases) {
        SCOPED_TRACE(step.what);
        VisibilityDocument doc = MakeRingDocument(10, 1, "1.2");
        EXPECT_EQ(RunEditSteps(doc, EditStepsFrom(step.given)), step.problem);
        if (!step.problem.empty()) {
            continue;
        }
        for (int block = 0; block < 10; ++block) {
            const auto changed = step.changed.find(block);
            const std::vector<int> ring = {(block + 9) % 10, block, (block + 1) % 10};
            std::vector<int> expected = changed != step.changed.end() ? changed->second : ring;
            std::sort(expected.begin(), expected.end());
            EXPECT_EQ(Sees(doc, block), expected) << "block " << block;
        }
    }
}

TEST(EditSteps, ValuesThatReadAsNoNumberOrCellAreUsageErrors) {
    const std::vector<std::pair<Given, std::string>> cases = {
        {{{"set-minimum", "x"}}, "--set-minimum takes a whole number, not \"x\""},
        {{{"set-distance", ""}}, "--set-distance takes a whole number, not \"\""},
        {{{"toggle", "3"}},
         "--toggle takes the column's block and the row's block, such as 3:7, not \"3\""},
        {{{"edge", "-1:2"}},
         "--edge takes the column's block and the row's block, such as 3:7, not \"-1:2\""},
        {{{"toggle", "3:x"}},
         "--toggle takes the column's block and the row's block, such as 3:7, not \"3:x\""},
    };
    for (const auto& [given, message] : cases) {
        try {
            EditStepsFrom(given);
            ADD_FAILURE() << message;
        } catch (const UsageError& error) {
            EXPECT_EQ(error.message, message);
        }
    }
    // Options that are no steps are left to the command.
    EXPECT_TRUE(EditStepsFrom({{"output", "x"}, {"dry-run", ""}}).empty());
}

}  // namespace
}  // namespace lumark::tool
