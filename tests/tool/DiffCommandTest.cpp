#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestFiles.h"
#include "ToolRun.h"

namespace lumark {
namespace {

using test::CrLfLines;
using test::RunToolWith;

// A new-layout file of the given sections, each the 0-based blocks it lists.
std::string NewLayout(const std::vector<std::vector<std::string>>& sections) {
    std::vector<std::string> lines = {"Version: 1.2", "Blocks: " + std::to_string(sections.size())};
    for (std::size_t block = 0; block < sections.size(); ++block) {
        lines.push_back("Block: " + std::to_string(block));
        lines.insert(lines.end(), sections[block].begin(), sections[block].end());
        lines.push_back("-1");
        lines.push_back("");
    }
    return CrLfLines(lines);
}

struct DiffCase {
    std::string name;
    std::string before;
    std::string after;
    std::string out;
};

TEST(DiffCommand, ListsEachChangedPairAfterCountAndLayout) {
    const std::string three = NewLayout({{"0", "1"}, {"1", "0"}, {"2"}});
    // The same relation as `three`, in the old layout: the count, then 301 lines a block, its
    // number and its entries padded with -1.
    std::vector<std::string> old = {"1.000000", "3", "0", "0", "1"};
    old.resize(2 + 301, "-1");
    old.insert(old.end(), {"1", "1", "0"});
    old.resize(2 + 2 * 301, "-1");
    old.insert(old.end(), {"2", "2"});
    old.resize(2 + 3 * 301, "-1");
    const std::vector<DiffCase> cases = {
        {"same bytes", three, three, ""},
        {"same relation, other line ends and order",
         "Version: 1.2\nBlocks: 3\nBlock: 0\n1\n0\n-1\nBlock: 1\n0\n1\n-1\nBlock: 2\n2\n-1\n",
         three, ""},
        {"pairs", three, NewLayout({{"0", "2"}, {"1", "0", "2"}, {"2", "0"}}),
         "block 0 no longer sees 1\n"
         "block 0 now sees 2\n"
         "block 1 now sees 2\n"
         "block 2 now sees 0\n"},
        {"layout only", three, CrLfLines(old), "layout: 1.2 -> 1.000000\n"},
        // Block 3 exists only after: what it sees, and who sees it, is no pair of both files.
        {"more blocks", three, NewLayout({{"0", "1", "3"}, {"1"}, {"2", "3"}, {"3", "0"}}),
         "blocks: 3 -> 4\n"
         "block 1 no longer sees 0\n"},
        {"fewer blocks and layout", CrLfLines(old), NewLayout({{"0"}, {"1", "0"}}),
         "blocks: 3 -> 2\n"
         "layout: 1.000000 -> 1.2\n"
         "block 0 no longer sees 1\n"},
    };
    test::TempDir dir;
    const std::string before = dir.File("before.txt");
    const std::string after = dir.File("after.txt");
    for (const DiffCase& diff : cases) {
        SCOPED_TRACE(diff.name);
        test::WriteBytes(before, diff.before);
        test::WriteBytes(after, diff.after);
        const test::ToolRun run = RunToolWith({"diff", before, after});
        EXPECT_EQ(run.out, diff.out);
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(run.code, diff.out.empty() ? 0 : 1);
    }
}

TEST(DiffCommand, AnUnreadableFileIsNamedAndExitsWithTwo) {
    test::TempDir dir;
    const std::string good = dir.File("good.txt");
    test::WriteBytes(good, NewLayout({{"0"}}));
    const std::string missing = dir.File("missing.txt");
    const std::string broken = dir.File("broken.txt");
    test::WriteBytes(broken, CrLfLines({"Version: 1.2", "Blocks: 1", "Block: 0", "0", "300"}));

    const test::ToolRun one = RunToolWith({"diff", good, missing});
    EXPECT_EQ(one.code, 2);
    EXPECT_EQ(one.out, "");
    EXPECT_EQ(one.err, missing + ": error: cannot open: No such file or directory\n");

    const test::ToolRun both = RunToolWith({"diff", broken, missing});
    EXPECT_EQ(both.code, 2);
    EXPECT_EQ(both.err, broken + ": error: line 5: entry 300 is outside 0 to 299\n" + missing +
                            ": error: cannot open: No such file or directory\n");
}

// A ring of `blocks` in which each block sees itself and its neighbours, as file sections.
std::vector<std::vector<std::string>> NeighbourRing(int blocks) {
    std::vector<std::vector<std::string>> sections;
    for (int b = 0; b < blocks; ++b) {
        sections.push_back({std::to_string(b), std::to_string((b + 1) % blocks),
                            std::to_string((b + blocks - 1) % blocks)});
    }
    return sections;
}

TEST(DiffCommand, ByBlockGivesEachChangedBlockInRangesAndATotal) {
    std::vector<std::vector<std::string>> changed = NeighbourRing(10);
    changed[0] = {"0", "1", "2", "3"};                // gains 2-3, loses 9
    changed[5] = {"5", "6"};                          // loses 4
    changed[7].insert(changed[7].end(), {"9", "0"});  // gains across the seam
    const std::vector<DiffCase> cases = {
        {"blocks", NewLayout(NeighbourRing(10)), NewLayout(changed),
         "block 0: now sees 2-3; no longer sees 9\n"
         "block 5: no longer sees 4\n"
         "block 7: now sees 9-0\n"
         "3 blocks changed, 4 added, 2 removed\n"},
        // 0 and 2 are the ends of the common blocks, but no neighbours in the ring of 4.
        {"count", NewLayout({{"0"}, {"1"}, {"2"}, {"3"}}),
         NewLayout({{"0"}, {"1", "0", "2"}, {"2"}}),
         "blocks: 4 -> 3\n"
         "block 1: now sees 0, 2\n"
         "1 blocks changed, 2 added, 0 removed\n"},
        {"count only", NewLayout(NeighbourRing(4)),
         NewLayout({{"0", "1"}, {"1", "0", "2"}, {"2", "1"}}),
         "blocks: 4 -> 3\n"
         "0 blocks changed, 0 added, 0 removed\n"},
        {"same", NewLayout(changed), NewLayout(changed), "0 blocks changed, 0 added, 0 removed\n"},
    };
    test::TempDir dir;
    const std::string before = dir.File("before.txt");
    const std::string after = dir.File("after.txt");
    for (const DiffCase& diff : cases) {
        SCOPED_TRACE(diff.name);
        test::WriteBytes(before, diff.before);
        test::WriteBytes(after, diff.after);
        const test::ToolRun run = RunToolWith({"diff", "--by-block", before, after});
        EXPECT_EQ(run.out, diff.out);
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(run.code, diff.name == "same" ? 0 : 1);
    }
}

}  // namespace
}  // namespace lumark
