#include <gtest/gtest.h>

#include <string>

#include "RingDocument.h"
#include "TestFiles.h"
#include "ToolRun.h"
#include "VisibilityWriter.h"

namespace lumark {
namespace {

using test::RunToolWith;

TEST(ShowCommand, TheSameRelationGivesTheSameTextWhateverTheBytes) {
    test::TempDir dir;
    // Entries out of order, lone LF line ends, no blank lines; block 4's run crosses the seam.
    const std::string messy = dir.File("messy.txt");
    test::WriteBytes(messy,
                     "Version: 1.2\nBlocks: 5\nBlock: 0\n2\n0\n-1\nBlock: 1\n1\n-1\n"
                     "Block: 2\n2\n-1\nBlock: 3\n4\n3\n2\n-1\nBlock: 4\n4\n0\n3\n-1\n");
    const std::string saved = dir.File("saved.txt");
    const std::string old = dir.File("old.txt");
    ASSERT_EQ(RunToolWith({"convert", messy, saved}).code, 0);
    ASSERT_EQ(RunToolWith({"convert", messy, old, "--layout", "1.000000"}).code, 0);
    const std::string blocks =
        "block 0: 0, 2\nblock 1: 1\nblock 2: 2\nblock 3: 2-4\nblock 4: 3-0\n";
    EXPECT_EQ(RunToolWith({"show", messy}).out, "layout 1.2, 5 blocks\n" + blocks);
    EXPECT_EQ(RunToolWith({"show", saved}).out, "layout 1.2, 5 blocks\n" + blocks);
    EXPECT_EQ(RunToolWith({"show", old}).out, "layout 1.000000, 5 blocks\n" + blocks);

    const test::ToolRun missing = RunToolWith({"show", dir.File("missing.txt")});
    EXPECT_EQ(missing.code, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_NE(missing.err.find("missing.txt: error: cannot open"), std::string::npos);
}

// A ring of 10 in which each block sees its neighbours, and blocks 0 to 6 also see the block
// three ahead, unseen.
VisibilityDocument RingWithLinksAhead() {
    VisibilityDocument doc = MakeRingDocument(10, 1, "1.2");
    for (int block = 1; block <= 7; ++block) {
        doc.SetElement(block, block + 3, True16);
    }
    return doc;
}

TEST(MergeCommand, WritesOursOrOutOnlyWhenCleanAndSaysWhatItTook) {
    test::TempDir dir;
    const std::string base = dir.File("base.txt");
    const std::string ours = dir.File("ours.txt");
    const std::string theirs = dir.File("theirs.txt");
    const std::string out = dir.File("out.txt");
    const auto write = [](const std::string& path, const VisibilityDocument& doc) {
        test::WriteBytes(path, FormatVisibilityFile(doc));
    };

    // Ours widens every view, theirs takes the old layout: both in the result, in OURS.
    write(base, MakeRingDocument(10, 1, "1.2"));
    write(ours, MakeRingDocument(10, 2, "1.2"));
    write(theirs, MakeRingDocument(10, 1, "1.000000"));
    test::ToolRun run = RunToolWith({"merge", base, ours, theirs});
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.out,
              "merged: layout 1.000000 from theirs\nmerged: 20 entries from ours, 0 from theirs\n");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(test::ReadBytes(ours), FormatVisibilityFile(MakeRingDocument(10, 2, "1.000000")));

    // Ours makes 3 see 0 back, and so on, theirs drops 0 seeing 3: each side's pairs were
    // mutual, the merge's are one-way the other way round. To standard output, the report
    // goes beside the errors.
    write(base, RingWithLinksAhead());
    VisibilityDocument seenBack = RingWithLinksAhead();
    VisibilityDocument dropped = MakeRingDocument(10, 1, "1.2");
    for (int block = 1; block <= 7; ++block) {
        seenBack.SetElement(block + 3, block, True16);
    }
    write(ours, seenBack);
    write(theirs, dropped);
    run = RunToolWith({"merge", base, ours, theirs, "-o", "-"});
    EXPECT_EQ(run.code, 0);
    for (int block = 1; block <= 7; ++block) {
        dropped.SetElement(block + 3, block, True16);
    }
    EXPECT_EQ(run.out, FormatVisibilityFile(dropped));
    EXPECT_EQ(run.err,
              "merged: 7 entries from ours, 7 from theirs\n"
              "warning: 7 one-way pairs that neither side had\n"
              "warning: block 3 sees 0, not seen back\n"
              "warning: block 4 sees 1, not seen back\n"
              "warning: block 5 sees 2, not seen back\n"
              "warning: block 6 sees 3, not seen back\n"
              "warning: block 7 sees 4, not seen back\n"
              "warning: 2 more like these\n");

    // A conflict, and a file that does not read, write nothing.
    write(ours, MakeRingDocument(9, 1, "1.2"));
    write(theirs, MakeRingDocument(8, 1, "1.2"));
    const std::string oursBefore = test::ReadBytes(ours);
    run = RunToolWith({"merge", base, ours, theirs, "--output", out});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "CONFLICT: block count: base 10, ours 9, theirs 8\n");
    test::WriteBytes(base, "Version: 1.2\n");
    run = RunToolWith({"merge", base, ours, ours});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err.rfind(base + ": error: ", 0), 0u) << run.err;
    EXPECT_EQ(test::ReadBytes(ours), oursBefore);
    EXPECT_EQ(dir.Entries().size(), 3u);  // no out.txt, no temporary file left
}

}  // namespace
}  // namespace lumark
