#include "LineReader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LumarkError.h"
#include "TestFiles.h"

namespace lumark {
namespace {

std::vector<std::string> ReadAllLines(const std::string& path) {
    LineReader reader(path);
    std::vector<std::string> lines;
    std::string_view line;
    while (reader.Next(line)) {
        lines.emplace_back(line);
        EXPECT_EQ(reader.LineNumber(), static_cast<long>(lines.size()));
    }
    EXPECT_FALSE(reader.Next(line)) << "the end of the file stays the end";
    return lines;
}

struct LineCase {
    std::string bytes;
    std::vector<std::string> lines;
};

TEST(LineReader, SplitsAtCrLfLoneCrAndLoneLf) {
    const std::vector<LineCase> cases = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\n", {"a"}},
        {"a\r\nb", {"a", "b"}},
        {"a\r\n\r\n", {"a", ""}},
        {"\r\n", {""}},
        {"a\r", {"a"}},
        {"a\n", {"a"}},
        {"a\rb\nc\r\nd", {"a", "b", "c", "d"}},
        {"a\n\rb", {"a", "", "b"}},
        {"\r\r\n", {"", ""}},
        {"\n\n", {"", ""}},
        {" 1 \t\r\n-1", {" 1 \t", "-1"}},
    };
    test::TempDir dir;
    const std::string path = dir.File("lines.txt");
    for (const LineCase& c : cases) {
        test::WriteBytes(path, c.bytes);
        EXPECT_EQ(ReadAllLines(path), c.lines) << "bytes: " << c.bytes;
    }
}

// A CR LF split over two reads is one line end. The first read takes 128 KiB and a few bytes,
// so sweeping the CR across that point splits the pair once.
TEST(LineReader, CrLfAcrossChunkBoundaryIsOneLineEnd) {
    test::TempDir dir;
    const std::string path = dir.File("boundary.txt");
    for (std::size_t crAt = 131064; crAt < 131084; ++crAt) {
        std::string bytes;
        std::size_t fullLines = 0;
        while (bytes.size() + 2 < crAt) {
            bytes += "y\n";
            ++fullLines;
        }
        bytes.append(crAt - bytes.size(), 'z');
        bytes += "\r\nend";
        test::WriteBytes(path, bytes);
        const std::vector<std::string> lines = ReadAllLines(path);
        ASSERT_EQ(lines.size(), fullLines + 2) << "CR at byte " << crAt;
        EXPECT_EQ(lines.back(), "end");
    }
}

// Lines up to the held length come whole; a longer one comes as a short stand-in, and the
// lines after it are read as if it had been short.
TEST(LineReader, HandsOutLongLinesShortAndReadsOn) {
    test::TempDir dir;
    const std::string path = dir.File("long.txt");
    const std::string longest(LineReader::HeldLineLength, 'x');

    test::WriteBytes(path, "first\r\n" + longest + "\r\n" + longest);
    const std::vector<std::string> lines = ReadAllLines(path);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], longest);
    EXPECT_EQ(lines[2], longest);

    struct LongCase {
        std::string bytes;
        std::vector<std::string> after;  // the lines after the long second one
        const char* what;
    };
    const std::string over = longest + "x";
    const std::vector<LongCase> cases = {
        {"first\r\n" + over + "\r\nnext", {"next"}, "one byte over, with a line end"},
        {"first\r\n" + over, {}, "one byte over, at the end of the file"},
        {"first\r\n" + std::string(200 * 1024, 'x') + "\r\n\nnext", {"", "next"}, "200 KB"},
        {"first\r\n" + std::string(200 * 1024, 'x') + "\r", {}, "200 KB, a CR at the end"},
        {"first\n" + std::string(3 * 1024 * 1024, 'x') + "\rnext\r\n", {"next"}, "3 MB, a lone CR"},
    };
    for (const LongCase& c : cases) {
        SCOPED_TRACE(c.what);
        test::WriteBytes(path, c.bytes);
        const std::vector<std::string> read = ReadAllLines(path);
        ASSERT_EQ(read.size(), 2 + c.after.size());
        EXPECT_EQ(read[0], "first");
        EXPECT_LT(read[1].size(), 100u) << "the long line is not held";
        EXPECT_EQ(read[1].substr(0, 40), std::string(40, 'x'));
        EXPECT_EQ(std::vector<std::string>(read.begin() + 2, read.end()), c.after);
    }
}

// A CR LF after a line too long to hold is one line end, also when a read splits the pair.
// Reads take 128 KiB and a few bytes, so the sweeps put the CR at the end of the first and of
// the second read.
TEST(LineReader, CrLfAfterALongLineAcrossReads) {
    test::TempDir dir;
    const std::string path = dir.File("long-crlf.txt");
    for (const std::size_t around : {std::size_t{131074}, std::size_t{262148}}) {
        for (std::size_t crAt = around - 8; crAt < around + 8; ++crAt) {
            test::WriteBytes(path, std::string(crAt, '5') + "\r\nend");
            const std::vector<std::string> lines = ReadAllLines(path);
            ASSERT_EQ(lines.size(), 2u) << "CR at byte " << crAt;
            EXPECT_EQ(lines[1], "end");
        }
    }
}

TEST(LineReader, NamesTheFileThatCannotBeOpened) {
    test::TempDir dir;
    const std::string path = dir.File("missing.txt");
    try {
        LineReader reader(path);
        FAIL() << "no error";
    } catch (const LumarkError& e) {
        EXPECT_EQ(std::string(e.what()), "cannot open " + path + ": No such file or directory");
    }
}

TEST(LineReader, ReadingADirectoryFailsWithAnError) {
    test::TempDir dir;
    EXPECT_THROW(
        {
            LineReader reader(dir.path());
            std::string_view line;
            reader.Next(line);
        },
        LumarkError);
}

}  // namespace
}  // namespace lumark
