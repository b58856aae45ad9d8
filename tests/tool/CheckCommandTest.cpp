#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <string>
#include <vector>

#include "RingDocument.h"
#include "TestFiles.h"
#include "ToolRun.h"
#include "VisibilityWriter.h"

namespace lumark {
namespace {

using test::CrLfLines;
using test::RunToolWith;

class CheckCommand : public ::testing::Test {
  protected:
    std::string Write(const std::string& name, const std::string& bytes) {
        const std::string path = dir_.File(name);
        test::WriteBytes(path, bytes);
        return path;
    }

    test::TempDir dir_;
};

// Files in the writer's form are ok without warnings; one that does not read fails the run,
// and every file is still checked.
TEST_F(CheckCommand, EachFileIsCheckedAndOneUnreadableFailsTheRun) {
    const std::string bad =
        Write("bad.txt", CrLfLines({"Version: 1.2", "Blocks: 1", "Block: 0", "0", "300"}));
    const std::string newLayout =
        Write("new.txt", FormatVisibilityFile(MakeRingDocument(40, 5, "1.2")));
    const std::string missing = dir_.File("missing.txt");
    const std::string oldLayout =
        Write("old.txt", FormatVisibilityFile(MakeRingDocument(1, 0, "1.000000")));
    const test::ToolRun run = RunToolWith({"check", bad, newLayout, missing, oldLayout});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.out, newLayout + ": ok, layout 1.2, 40 blocks\n" + oldLayout +
                           ": ok, layout 1.000000, 1 blocks\n");
    EXPECT_EQ(run.err, bad + ": error: line 5: entry 300 is outside 0 to 299\n" + missing +
                           ": error: cannot open: No such file or directory\n");
    EXPECT_EQ(RunToolWith({"check", newLayout, oldLayout}).code, 0);
}

TEST_F(CheckCommand, WarnsAboutWhatASaveWouldChangeInFileOrder) {
    // Block 0 repeats 1 and lists 5 and 3 beyond the count (numbers run from 0 to count - 1);
    // block 1 does not list itself.
    const std::string path = Write(
        "odd.txt", CrLfLines({"Version: 1.2", "Blocks: 3", "Block: 0", "0", "1", "1", "5", "3",
                              "-1", "", "Block: 1", "2", "-1", "", "Block: 2", "2", "-1", ""}));
    const test::ToolRun run = RunToolWith({"check", path});
    EXPECT_EQ(run.code, 0);
    const std::string warning = path + ": warning: ";
    EXPECT_EQ(
        run.out,
        path + ": ok, layout 1.2, 3 blocks\n" + warning +
            "line 6: block 0 lists block 1 again; a save lists it once\n" + warning +
            "line 7: block 0 lists block 5, at or above the block count 3; a save drops "
            "it\n" +
            warning +
            "line 8: block 0 lists block 3, at or above the block count 3; a save drops "
            "it\n" +
            warning + "line 11: the section of block 1 does not list block 1; a save adds it\n" +
            warning + "not in the form a save writes: line 6 is \"1\", a save writes \"-1\"\n");
}

TEST_F(CheckCommand, OldLayoutWarningsAndTheirLimit) {
    // 30 repeats of block 1 in the one section of an old-layout file.
    std::vector<std::string> lines = {"1.000000", "1", "0", "0"};
    for (int i = 0; i < 30; ++i) {
        lines.push_back("0");
    }
    lines.resize(2 + 301, "-1");
    const std::string path = Write("repeats.txt", CrLfLines(lines));
    const test::ToolRun run = RunToolWith({"check", path});
    EXPECT_EQ(run.code, 0);
    EXPECT_NE(run.out.find(path + ": warning: line 5: block 0 lists block 0 again"),
              std::string::npos);
    EXPECT_NE(run.out.find(path + ": warning: 10 more like these\n"), std::string::npos);
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 1 + 20 + 1 + 1);
}

struct FormCase {
    std::string name;
    std::string bytes;
    std::string difference;  // empty: no warning
};

TEST_F(CheckCommand, NamesTheFirstLineThatDiffersFromTheWritersForm) {
    const std::string one = CrLfLines({"Version: 1.2", "Blocks: 1", "Block: 0", "0", "-1", ""});
    std::string bigOld = FormatVisibilityFile(MakeRingDocument(300, 150, "1.000000"));
    // Past the first read chunk: the last line, the entry 149 of block 299, gains a blank.
    bigOld.insert(bigOld.size() - 5, " ");
    const std::vector<FormCase> cases = {
        {"same", one, ""},
        {"lf", "Version: 1.2\nBlocks: 1\nBlock: 0\n0\n-1\n\n",
         "line 1 ends in LF, a save ends every line in CR LF"},
        {"lone cr", one.substr(0, one.size() - 1),
         "line 6 ends in CR, a save ends every line in CR LF"},
        {"no end", one.substr(0, one.size() - 4),
         "line 5 has no line end, a save ends every line in CR LF"},
        {"short", one.substr(0, one.size() - 2),
         "the file ends before line 6, where a save writes an empty line"},
        {"longer", one + "trailing",
         "the file goes on at line 7, after the last line a save writes"},
        {"blank", "Version: 1.2\r\nBlocks: 1\r\n\r\nBlock: 0\r\n0\r\n-1\r\n\r\n",
         "line 3 is an empty line, a save writes \"Block: 0\""},
        {"version", "Version: 1.25\r\n" + one.substr(14),
         "line 1 is \"Version: 1.25\", a save writes \"Version: 1.2\""},
        {"big old", bigOld, "line 90302 is \" 149\", a save writes \"149\""},
    };
    for (const FormCase& form : cases) {
        SCOPED_TRACE(form.name);
        const std::string path = Write("form.txt", form.bytes);
        const test::ToolRun run = RunToolWith({"check", path});
        ASSERT_EQ(run.code, 0) << run.err;
        const std::string warning =
            form.difference.empty()
                ? ""
                : path + ": warning: not in the form a save writes: " + form.difference + "\n";
        EXPECT_EQ(run.out.substr(run.out.find('\n') + 1), warning);
    }
}

TEST_F(CheckCommand, MutualNamesThePairsSeenOneWayOnly) {
    // 0 sees 1 and 2 unseen; 2 sees 1 unseen; 1 and 3 see each other.
    const std::string path =
        Write("oneway.txt",
              CrLfLines({"Version: 1.2", "Blocks: 4", "Block: 0", "0",  "1", "2",        "-1", "",
                         "Block: 1",     "1",         "3",        "-1", "",  "Block: 2", "2",  "1",
                         "-1",           "",          "Block: 3", "3",  "1", "-1",       ""}));
    EXPECT_EQ(RunToolWith({"check", path}).out, path + ": ok, layout 1.2, 4 blocks\n");
    const test::ToolRun run = RunToolWith({"check", "--mutual", path});
    EXPECT_EQ(run.code, 0);
    const std::string warning = path + ": warning: ";
    EXPECT_EQ(run.out, path + ": ok, layout 1.2, 4 blocks\n" + warning + "3 one-way pairs\n" +
                           warning + "block 0 sees 1, not seen back\n" + warning +
                           "block 0 sees 2, not seen back\n" + warning +
                           "block 2 sees 1, not seen back\n");
}

// Folder modes and symbolic links as POSIX systems have them.
#ifndef _WIN32
TEST_F(CheckCommand, AFolderStandsForTheFilesNamedVisibilityBelowIt) {
    const std::string ring = FormatVisibilityFile(MakeRingDocument(3, 1, "1.2"));
    const std::string root = dir_.File("maps");
    for (const std::string folder : {"maps", "maps/a", "maps/a-b", "maps/b", "maps/b/c"}) {
        ASSERT_EQ(::mkdir(dir_.File(folder).c_str(), 0755), 0);
    }
    Write("maps/a/visibility.txt", ring);
    Write("maps/a-b/visibility.txt",
          CrLfLines({"Version: 1.2", "Blocks: 1", "Block: 0", "0", "300"}));
    Write("maps/b/c/visibility.txt", ring);
    Write("maps/other.txt", ring);
    // A link back up is not followed: no file is checked twice, and the walk ends.
    ASSERT_EQ(::symlink(root.c_str(), dir_.File("maps/b/up").c_str()), 0);

    const test::ToolRun run = RunToolWith({"check", root + "/"});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.out, root + "/a/visibility.txt: ok, layout 1.2, 3 blocks\n" + root +
                           "/b/c/visibility.txt: ok, layout 1.2, 3 blocks\n");
    EXPECT_EQ(run.err,
              root + "/a-b/visibility.txt: error: line 5: entry 300 is outside 0 to 299\n");

    const test::ToolRun named = RunToolWith({"check", "--name", "o*.txt", root});
    EXPECT_EQ(named.code, 0) << named.err;
    EXPECT_EQ(named.out, root + "/other.txt: ok, layout 1.2, 3 blocks\n");

    const test::ToolRun none = RunToolWith({"check", dir_.File("maps/b/c"), "--name", "*.dat"});
    EXPECT_EQ(none.code, 1);
    EXPECT_EQ(none.err, dir_.File("maps/b/c") + ": error: no file named *.dat below it\n");
}

#endif

}  // namespace
}  // namespace lumark
