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

TEST(LineReader, KeepsLinesUpToTheLimitAndStopsBeyondIt) {
    test::TempDir dir;
    const std::string path = dir.File("long.txt");
    const std::string longest(LineReader::MaxLineLength, 'x');

    test::WriteBytes(path, "first\r\n" + longest + "\r\n" + longest);
    const std::vector<std::string> lines = ReadAllLines(path);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], longest);
    EXPECT_EQ(lines[2], longest);

    struct TooLong {
        std::string bytes;
        const char* what;
    };
    const std::vector<TooLong> cases = {
        {"first\r\n" + longest + "x\r\nnext", "one byte over, with a line end"},
        {"first\r\n" + longest + "x", "one byte over, at the end of the file"},
        {"first\r\n" + std::string(200 * 1024, 'x') + "\r\n", "200 KB"},
        {"first\n" + std::string(3 * 1024 * 1024, '7'), "3 MB without any line end"},
    };
    for (const TooLong& c : cases) {
        test::WriteBytes(path, c.bytes);
        LineReader reader(path);
        std::string_view line;
        ASSERT_TRUE(reader.Next(line));
        try {
            reader.Next(line);
            ADD_FAILURE() << c.what << ": no error";
        } catch (const LumarkError& e) {
            EXPECT_EQ(std::string(e.what()), path + ", line 2: line is longer than 65536 bytes")
                << c.what;
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
