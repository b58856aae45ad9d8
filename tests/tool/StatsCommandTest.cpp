#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "TestFiles.h"
#include "ToolRun.h"

namespace lumark {
namespace {

using test::CrLfLines;
using test::RunToolWith;

// Four blocks, 0-based: 0 sees 0, 1, 3; 1 sees all four; 2 sees itself; 3 sees 3 and 1.
// Worked by hand: 0 -> 3 and 1 -> 2 are seen one way only; block 3 sees 1 across a hole;
// sees 3, 4, 1, 2 and seen by 2, 3, 2, 3, both with the median 2.5.
const std::string FourBlocks = CrLfLines({"Version: 1.2",
                                          "Blocks: 4",
                                          "Block: 0",
                                          "0",
                                          "1",
                                          "3",
                                          "-1",
                                          "",
                                          "Block: 1",
                                          "1",
                                          "2",
                                          "0",
                                          "3",
                                          "-1",
                                          "",
                                          "Block: 2",
                                          "2",
                                          "-1",
                                          "",
                                          "Block: 3",
                                          "3",
                                          "1",
                                          "-1",
                                          ""});

class StatsCommand : public ::testing::Test {
  protected:
    StatsCommand() { test::WriteBytes(four_, FourBlocks); }

    test::TempDir dir_;
    const std::string four_ = dir_.File("four.txt");
};

TEST_F(StatsCommand, TextGivesTheFiguresAndEachBlocksSummary) {
    const test::ToolRun run = RunToolWith({"stats", "--blocks", four_});
    EXPECT_EQ(run.code, 0) << run.err;
    const std::string f = four_ + ": ";
    EXPECT_EQ(
        run.out,
        f + "layout 1.2, 4 blocks, 10 entries, 2 one-way pairs, 1 blocks with holes\n" + f +
            "sees min 1, median 2.5, max 4; seen by min 2, median 2.5, max 3\n" + f +
            "block 0: sees 3-1 (3), seen by 0-1 (2), 1 one-way out (3); back 1, ahead 1\n" + f +
            "block 1: sees 0-3 (4), seen by 3-1 (3), 1 one-way out (2); back 3, ahead 3\n" + f +
            "block 2: sees 2 (1), seen by 1-2 (2), 1 one-way in (1); back 0, ahead 0\n" + f +
            "block 3: sees 1, 3 (2), seen by 3-1 (3), 1 one-way in (0); back 0, ahead 0\n");
}

TEST_F(StatsCommand, CsvHasAHeaderRowAndOneRowPerFileOrBlock) {
#ifdef _WIN32
    // Windows names cannot hold '"': the comma alone asks for quotes there.
    const std::string name = "a,b.txt";
    const std::string quotedName = name;
#else
    const std::string name = "a,\"b\".txt";  // a name a spreadsheet must see quoted
    const std::string quotedName = "a,\"\"b\"\".txt";
#endif
    const std::string old = dir_.File(name);
    std::vector<std::string> lines = {"1.000000", "1", "0", "0"};
    lines.resize(2 + 301, "-1");
    test::WriteBytes(old, CrLfLines(lines));

    const test::ToolRun files = RunToolWith({"stats", "--format", "csv", four_, old});
    EXPECT_EQ(files.code, 0) << files.err;
    EXPECT_EQ(files.out,
              "file,layout,blocks,entries,one_way_pairs,blocks_with_holes,sees_min,sees_median,"
              "sees_max,seen_by_min,seen_by_median,seen_by_max\n" +
                  four_ + ",1.2,4,10,2,1,1,2.5,4,2,2.5,3\n" + "\"" + dir_.File(quotedName) +
                  "\",1.000000,1,1,0,0,1,1,1,1,1,1\n");

    const test::ToolRun blocks = RunToolWith({"stats", "--format=csv", four_, "--blocks"});
    EXPECT_EQ(blocks.out, "file,block,sees,seen_by,back,ahead,one_way_out,one_way_in\n" + four_ +
                              ",0,3,2,1,1,1,0\n" + four_ + ",1,4,3,3,3,1,0\n" + four_ +
                              ",2,1,2,0,0,0,1\n" + four_ + ",3,2,3,0,0,0,1\n");
}

TEST_F(StatsCommand, JsonIsOneObjectPerFileThatJsonToolReads) {
    const test::ToolRun run = RunToolWith({"stats", "--format", "json", four_});
    EXPECT_EQ(run.code, 0) << run.err;
    std::string fileText;  // as JSON writes it: a backslash doubled
    for (const char c : four_) {
        fileText += c == '\\' ? std::string("\\\\") : std::string(1, c);
    }
    EXPECT_EQ(run.out, "[\n  {\n    \"file\": \"" + fileText +
                           "\",\n"
                           "    \"layout\": \"1.2\",\n"
                           "    \"blocks\": 4,\n"
                           "    \"entries\": 10,\n"
                           "    \"one_way_pairs\": 2,\n"
                           "    \"blocks_with_holes\": 1,\n"
                           "    \"sees\": {\"min\": 1, \"median\": 2.5, \"max\": 4},\n"
                           "    \"seen_by\": {\"min\": 2, \"median\": 2.5, \"max\": 3}\n"
                           "  }\n"
                           "]\n");

#ifndef _WIN32
    // A name of any bytes, a file of no blocks and an unreadable file beside it: still JSON.
    const std::string odd = dir_.File("q\"\\\x01\xff.txt");
    test::WriteBytes(odd, CrLfLines({"Version: 1.2", "Blocks: 0"}));
    const std::string missing = dir_.File("missing.txt");
    const std::string json = dir_.File("out.json");
    const std::string command = std::string(LUMARK_TOOL_PATH) + " stats --format json --blocks '" +
                                four_ + "' '" + odd + "' '" + missing + "' 2>/dev/null >" + json;
    EXPECT_NE(std::system(command.c_str()), 0);
    const std::string script = dir_.File("read.py");
    test::WriteBytes(script,
                     "import json, sys\n"
                     "files = json.load(open(sys.argv[1], encoding='utf-8'))\n"
                     "assert len(files) == 2\n"
                     "assert files[0]['per_block'][3] == {'block': 3, 'sees': 2, 'seen_by': 3, "
                     "'back': 0, 'ahead': 0, 'one_way_out': 0, 'one_way_in': 1, 'summary': "
                     "'block 3: sees 1, 3 (2), seen by 3-1 (3), 1 one-way in (0)'}\n"
                     "assert files[1]['file'].endswith('/q\"\\\\\\x01\\ufffd.txt')\n"
                     "assert files[1]['sees'] is None and files[1]['per_block'] == []\n");
    EXPECT_EQ(std::system(("python3 " + script + " " + json).c_str()), 0) << test::ReadBytes(json);
#endif
}

TEST_F(StatsCommand, AnUnreadableFileIsNamedAndTheOthersStillCount) {
    const std::string missing = dir_.File("missing.txt");
    const test::ToolRun run = RunToolWith({"stats", missing, four_});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err, missing + ": error: cannot open: No such file or directory\n");
    EXPECT_EQ(run.out.substr(0, four_.size() + 22), four_ + ": layout 1.2, 4 blocks");
}

}  // namespace
}  // namespace lumark
