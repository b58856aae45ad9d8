#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RingDocument.h"
#include "TestFiles.h"
#include "ToolRun.h"
#include "VisibilityWriter.h"

namespace lumark {
namespace {

using test::RunToolWith;

// Ring files of 10 blocks seeing one neighbour on each side. After "--select 2 --increase"
// block 2 sees 0 to 4: two entries more.
class EditCommand : public ::testing::Test {
  protected:
    EditCommand() {
        test::WriteBytes(newRing_, FormatVisibilityFile(ring_));
        VisibilityDocument old = ring_;
        old.VersionText = "1.000000";
        test::WriteBytes(oldRing_, FormatVisibilityFile(old));
        edited_ = ring_;
        edited_.SetElement(3, 1, True16);
        edited_.SetElement(3, 5, True16);
    }

    test::TempDir dir_;
    const std::string newRing_ = dir_.File("new.txt");
    const std::string oldRing_ = dir_.File("old.txt");
    const VisibilityDocument ring_ = MakeRingDocument(10, 1, "1.2");
    VisibilityDocument edited_;
};

TEST_F(EditCommand, EachFileIsSavedInItsLayoutAndOneThatFailsIsLeftAsItWas) {
    const std::string small = dir_.File("small.txt");
    const std::string smallBytes = FormatVisibilityFile(MakeRingDocument(2, 1, "1.2"));
    test::WriteBytes(small, smallBytes);
    const std::string missing = dir_.File("missing.txt");
    const test::ToolRun run =
        RunToolWith({"edit", newRing_, small, missing, oldRing_, "--select", "2", "--increase"});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.out, newRing_ + ": 2 entries changed in 1 block\n" + oldRing_ +
                           ": 2 entries changed in 1 block\n");
    EXPECT_EQ(run.err, small + ": error: --select 2: \"2\" is not a block of this file, 0 to 1; " +
                           "the file is left as it was\n" + missing +
                           ": error: cannot open: No such file or directory\n");
    EXPECT_EQ(test::ReadBytes(small), smallBytes);
    EXPECT_EQ(test::ReadBytes(newRing_), FormatVisibilityFile(edited_));
    VisibilityDocument old = edited_;
    old.VersionText = "1.000000";
    EXPECT_EQ(test::ReadBytes(oldRing_), FormatVisibilityFile(old));
}

// A file that changes in nothing is not written, even where a save would write other bytes.
TEST_F(EditCommand, AnUnchangedFileKeepsItsBytes) {
    const std::string lf = "Version: 1.2\nBlocks: 1\nBlock: 0\n0\n-1\n";
    test::WriteBytes(newRing_, lf);
    const test::ToolRun run = RunToolWith({"edit", newRing_, "--select", "0", "--increase"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, newRing_ + ": unchanged\n");
    EXPECT_EQ(test::ReadBytes(newRing_), lf);
}

TEST_F(EditCommand, OutputAndDryRunLeaveTheFileAlone) {
    const std::string before = test::ReadBytes(newRing_);
    test::ToolRun run = RunToolWith({"edit", newRing_, "-o", "-", "--select", "2", "--increase"});
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.out, FormatVisibilityFile(edited_));
    EXPECT_EQ(run.err, newRing_ + ": 2 entries changed in 1 block\n");

    const std::string copy = dir_.File("copy.txt");
    run = RunToolWith(
        {"edit", newRing_, "--output", copy, "--select", "4", "--select", "none", "--increase"});
    EXPECT_EQ(run.out, newRing_ + ": unchanged\n");
    EXPECT_EQ(test::ReadBytes(copy), before) << "an output is written, changed or not";

    run = RunToolWith(
        {"edit", newRing_, "--dry-run", "--select", "2", "--increase", "--toggle", "5:5"});
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.out, newRing_ + ": block 2: now sees 0, 4\n" + newRing_ +
                           ": block 5: no longer sees 5\n" + newRing_ +
                           ": 3 entries would change in 2 blocks\n");
    EXPECT_EQ(test::ReadBytes(newRing_), before);
}

}  // namespace
}  // namespace lumark
