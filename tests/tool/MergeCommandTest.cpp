#include <gtest/gtest.h>

#include <string>

#include "TestFiles.h"
#include "ToolRun.h"

namespace lumark {
namespace {

// Three blocks that see themselves and, for each "viewer seen" pair given, the block seen.
std::string ThreeBlocks(const std::string& pairs) {
    std::string text = "Version: 1.2\nBlocks: 3\n";
    for (const char block : {'0', '1', '2'}) {
        text += std::string("Block: ") + block + "\n" + block + "\n";
        for (std::size_t i = 0; i + 1 < pairs.size(); i += 3) {
            text += pairs[i] == block ? std::string(1, pairs[i + 1]) + "\n" : "";
        }
        text += "-1\n";
    }
    return text;
}

TEST(MergeCommand, WarnsOfNewOneWayPairsAndWritesNothingOnAConflict) {
    test::TempDir dir;
    const std::string base = dir.File("base.txt");
    const std::string ours = dir.File("ours.txt");
    const std::string theirs = dir.File("theirs.txt");
    // 0 sees 1 unseen; ours lets 1 see 0 back, theirs stops 0 seeing 1.
    test::WriteBytes(base, ThreeBlocks("01"));
    test::WriteBytes(ours, ThreeBlocks("01 10"));
    test::WriteBytes(theirs, ThreeBlocks(""));
    test::ToolRun run = test::RunToolWith({"merge", base, ours, theirs, "-o", "-"});
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.err,
              "merged: 1 entries from ours, 1 from theirs\n"
              "warning: 1 one-way pairs that neither side had\n"
              "warning: block 1 sees 0, not seen back\n");

    // Theirs removes block 2, whose view ours changed.
    test::WriteBytes(ours, ThreeBlocks("21"));
    test::WriteBytes(theirs, "Version: 1.2\nBlocks: 2\nBlock: 0\n0\n-1\nBlock: 1\n1\n-1\n");
    run = test::RunToolWith({"merge", base, ours, theirs});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.out + run.err, "CONFLICT: block 2: removed by theirs, changed by ours\n");
    EXPECT_EQ(test::ReadBytes(ours), ThreeBlocks("21"));
    EXPECT_EQ(dir.Entries().size(), 3u);  // no temporary file left
}

}  // namespace
}  // namespace lumark
