#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "RingDocument.h"
#include "TestFiles.h"
#include "ToolRun.h"
#include "VisibilityReader.h"
#include "VisibilityWriter.h"

namespace lumark {
namespace {

using test::RunToolWith;

// A file from elsewhere: LF line ends, a repeat, an entry beyond the count, no self entry.
const std::string Foreign =
    "Version: 1.2\nBlocks: 3\nBlock: 0\n1\n1\n7\n-1\nBlock: 1\n-1\n"
    "Block: 2\n2\n0\n-1\n";

class ConvertCommand : public ::testing::Test {
  protected:
    ConvertCommand() { test::WriteBytes(in_, Foreign); }

    // What the editor's Save writes after opening the file, in the given layout.
    static std::string Saved(const std::string& path, const std::string& layout) {
        VisibilityDocument doc;
        ReadVisibilityFile(doc, path);
        doc.VersionText = layout;
        return FormatVisibilityFile(doc);
    }

    test::TempDir dir_;
    const std::string in_ = dir_.File("in.txt");
    const std::string out_ = dir_.File("out.txt");
};

TEST_F(ConvertCommand, WritesWhatTheEditorsSaveWritesInEitherLayout) {
    const std::string newBytes = Saved(in_, "1.2");
    EXPECT_EQ(newBytes,
              test::CrLfLines({"Version: 1.2", "Blocks: 3", "Block: 0", "0", "1", "-1", "",
                               "Block: 1", "1", "-1", "", "Block: 2", "2", "0", "-1", ""}));
    EXPECT_EQ(RunToolWith({"convert", in_, out_}).code, 0);
    EXPECT_EQ(test::ReadBytes(out_), newBytes);

    EXPECT_EQ(RunToolWith({"convert", in_, out_, "--layout", "1.000000"}).code, 0);
    EXPECT_EQ(test::ReadBytes(out_), Saved(in_, "1.000000"));
    // And back: the old-layout file converts to the same new-layout bytes.
    EXPECT_EQ(RunToolWith({"convert", out_, out_, "--layout", "1.2"}).code, 0);
    EXPECT_EQ(test::ReadBytes(out_), newBytes);
}

TEST_F(ConvertCommand, OutMayBeInOrStandardOutput) {
    const std::string expected = Saved(in_, "1.000000");
    const test::ToolRun toStdout = RunToolWith({"convert", in_, "-", "--layout", "1.000000"});
    EXPECT_EQ(toStdout.code, 0);
    EXPECT_EQ(toStdout.out, expected);
    EXPECT_EQ(toStdout.err, "");

    const test::ToolRun inPlace = RunToolWith({"convert", in_, in_, "--layout", "1.000000"});
    EXPECT_EQ(inPlace.code, 0);
    EXPECT_EQ(inPlace.out + inPlace.err, "");
    EXPECT_EQ(test::ReadBytes(in_), expected);
    EXPECT_EQ(dir_.Entries(), std::vector<std::string>{"in.txt"});
}

// A file that does not read writes nothing, not even over itself; a file that cannot be
// written leaves nothing behind.
TEST_F(ConvertCommand, FailuresNameTheFileAndLeaveEveryFileAsItWas) {
    test::WriteBytes(out_, "keep me");
    const std::string broken = dir_.File("broken.txt");
    const std::string brokenBytes = "Version: 1.2\r\nBlocks: 2\r\nBlock: 0\r\n0\r\n-1\r\n";
    test::WriteBytes(broken, brokenBytes);
    const std::string ends =
        ": error: line 6: the file ends after 1 of 2 block sections; "
        "expected a \"Block:\" line\n";
    const std::string missingDir = dir_.File("no/such/dir.txt");
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{broken, out_}, broken + ends},
        {{broken, broken}, broken + ends},
        {{in_, missingDir}, missingDir + ": error: cannot write: No such file or directory\n"},
        {{in_, dir_.path()}, dir_.path() + ": error: cannot write: Is a directory\n"},
    };
    for (const auto& [files, message] : cases) {
        const test::ToolRun run = RunToolWith({"convert", files[0], files[1]});
        EXPECT_EQ(run.code, 1);
        EXPECT_EQ(run.err, message);
    }
    EXPECT_EQ(test::ReadBytes(out_), "keep me");
    EXPECT_EQ(test::ReadBytes(broken), brokenBytes);
    EXPECT_EQ(dir_.Entries().size(), 3u);
}

#ifndef _WIN32
// A pipe or device (say /dev/stdout) is written into, never replaced by a renamed file.
TEST_F(ConvertCommand, APipeIsWrittenIntoNotReplaced) {
    const std::string fifo = dir_.File("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Opened for reading first, so the tool's open for writing does not wait; the converted
    // file is far smaller than the pipe's buffer.
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    const test::ToolRun run = RunToolWith({"convert", in_, fifo});
    EXPECT_EQ(run.code, 0) << run.err;
    std::string received(4096, '\0');
    const ssize_t got = ::read(reader, received.data(), received.size());
    ::close(reader);
    received.resize(static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
    EXPECT_EQ(received, Saved(in_, "1.2"));
    struct stat info {};
    ASSERT_EQ(::lstat(fifo.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
}
#endif

TEST_F(ConvertCommand, AFailingStandardOutputIsAnError) {
    std::ostringstream out;
    out.setstate(std::ios::badbit);
    std::ostringstream err;
    EXPECT_EQ(tool::RunTool({"convert", in_, "-"}, out, err), 1);
    EXPECT_EQ(err.str(), "lumark-tool: cannot write to standard output\n");
}

}  // namespace
}  // namespace lumark
