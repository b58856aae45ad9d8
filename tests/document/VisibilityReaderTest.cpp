#include "VisibilityReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "LumarkError.h"
#include "RingDocument.h"
#include "TestFiles.h"
#include "VisibilityWriter.h"

namespace lumark {
namespace {

std::string Repeat(const std::string& line, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) {
        text += line;
    }
    return text;
}

// Block 0 sees 0 and 1, block 1 sees itself, block 2 sees 2, 0 and 1.
const std::string NewThree =
    "Version: 1.2\r\nBlocks: 3\r\n"
    "Block: 0\r\n0\r\n1\r\n-1\r\n\r\n"
    "Block: 1\r\n1\r\n-1\r\n\r\n"
    "Block: 2\r\n2\r\n0\r\n1\r\n-1\r\n\r\n";
const std::string OldThree = "1.000000\r\n3\r\n" + std::string("0\r\n0\r\n1\r\n") +
                             Repeat("-1\r\n", 298) + "1\r\n1\r\n" + Repeat("-1\r\n", 299) +
                             "2\r\n2\r\n0\r\n1\r\n" + Repeat("-1\r\n", 297);

void ExpectThreeBlockRelation(const VisibilityDocument& doc) {
    const std::vector<std::vector<int>> seen = {{1, 2}, {2}, {1, 2, 3}};
    for (int viewer = 1; viewer <= 3; ++viewer) {
        for (int column = 1; column <= 300; ++column) {
            const auto& row = seen[static_cast<std::size_t>(viewer - 1)];
            const bool expected = std::find(row.begin(), row.end(), column) != row.end();
            EXPECT_EQ(doc.IsVisible(viewer, column), expected)
                << "cell (" << viewer << ", " << column << ")";
        }
    }
}

class ReadVisibility : public ::testing::Test {
  protected:
    ReadVisibility() {
        // A document that already holds something, so that kept and replaced rows differ.
        doc_ = MakeRingDocument(5, 2, "1.000000");
    }

    void Read(const std::string& bytes) {
        test::WriteBytes(path_, bytes);
        ReadVisibilityFile(doc_, path_);
    }

    test::TempDir dir_;
    const std::string path_ = dir_.File("visibility.txt");
    VisibilityDocument doc_;
};

TEST_F(ReadVisibility, BothLayoutsGiveTheSameDocument) {
    for (const std::string* bytes : {&NewThree, &OldThree}) {
        Read(*bytes);
        EXPECT_EQ(doc_.VersionText, bytes == &NewThree ? "1.2" : "1.000000");
        EXPECT_EQ(doc_.BlockCount, 3);
        ExpectThreeBlockRelation(doc_);
    }
}

// Each line end on its own is the line reader's business; here they are mixed in one file.
TEST_F(ReadVisibility, AcceptsMixedLineEnds) {
    Read(
        "Version: 1.2\nBlocks: 3\r"
        "Block: 0\r\n0\n1\r-1\r\n\n"
        "Block: 1\r1\n-1\r\r\n"
        "Block: 2\n2\r\n0\r1\n-1");
    ExpectThreeBlockRelation(doc_);
}

TEST_F(ReadVisibility, RecognisesTheVersionAnywhereInTheFirstLine) {
    struct Case {
        std::string firstLine;
        std::string version;
    };
    const std::vector<Case> cases = {
        {"Version: 1.25", "1.2"},
        {"1.2", "1.2"},
        {"x1.2x", "1.2"},
        {"Version: 1.2 or 1.000000", "1.000000"},
    };
    for (const Case& c : cases) {
        // A bare count and an empty block serve both layouts.
        const bool old = c.version == "1.000000";
        Read(c.firstLine + "\r\n1\r\n" + (old ? "0\r\n" : "Block: 0\r\n") + "-1\r\n" +
             (old ? Repeat("-1\r\n", 299) : ""));
        EXPECT_EQ(doc_.VersionText, c.version) << c.firstLine;
        EXPECT_EQ(doc_.BlockCount, 1);
        EXPECT_FALSE(doc_.IsVisible(1, 1));
    }
}

TEST_F(ReadVisibility, SectionsFillBlocksInOrderWhateverTheirHeaderSays) {
    Read("Version: 1.2\r\nBlocks: 2\r\nBlock: 7\r\n4\r\n-1\r\nBlock: 7\r\n0\r\n-1\r\n");
    EXPECT_TRUE(doc_.IsVisible(1, 5));
    EXPECT_FALSE(doc_.IsVisible(1, 1));
    EXPECT_TRUE(doc_.IsVisible(2, 1));
    EXPECT_FALSE(doc_.IsVisible(2, 2));
}

TEST_F(ReadVisibility, FullSectionNeedsNoTerminatorAndSkipsWhatFollows) {
    std::string bytes = "Version: 1.2\r\nBlocks: 2\r\nBlock: 0\r\n";
    for (int entry = 299; entry >= 0; --entry) {
        bytes += std::to_string(entry) + "\r\n";
    }
    bytes += "-1\r\n\r\nsome note\r\nBlock: 1\r\n5\r\n-1\r\n\r\n";
    Read(bytes);
    for (int column = 1; column <= 300; ++column) {
        EXPECT_TRUE(doc_.IsVisible(1, column)) << column;
        EXPECT_EQ(doc_.IsVisible(2, column), column == 6) << column;
    }
}

TEST_F(ReadVisibility, OldLayoutSkipsFillersWhereverTheyStand) {
    // The "0" after the 300th entry line lies beyond the section and is not read.
    Read("1.000000\r\n1\r\n0\r\n-1\r\n2\r\n-1\r\n-1\r\n4\r\n" + Repeat("-1\r\n", 295) + "0\r\n");
    for (int column = 1; column <= 300; ++column) {
        EXPECT_EQ(doc_.IsVisible(1, column), column == 3 || column == 5) << column;
    }
}

TEST_F(ReadVisibility, ReplacesOnlyTheRowsOfTheBlocksRead) {
    doc_.SetElement(1, 0, True16);
    doc_.SetElement(0, 2, True16);
    const VisibilityDocument before = doc_;
    // Entry 5 lies outside a 3-block document but inside the matrix.
    Read(
        "Version: 1.2\r\nBlocks: 3\r\nBlock: 0\r\n5\r\n-1\r\nBlock: 1\r\n-1\r\nBlock: "
        "2\r\n2\r\n-1\r\n");
    for (int column = 1; column <= 300; ++column) {
        EXPECT_EQ(doc_.IsVisible(1, column), column == 6) << column;
        EXPECT_FALSE(doc_.IsVisible(2, column))
            << "an omitted self entry leaves the diagonal false";
        EXPECT_EQ(doc_.IsVisible(3, column), column == 3) << column;
    }
    EXPECT_TRUE(doc_.IsVisible(1, 0)) << "column 0 is no block";
    for (int column = 0; column <= 300; ++column) {
        EXPECT_EQ(doc_.Matrix.Get(0, column), before.Matrix.Get(0, column));
        for (int viewer = 4; viewer <= 300; ++viewer) {
            ASSERT_EQ(doc_.Matrix.Get(viewer, column), before.Matrix.Get(viewer, column));
        }
    }
}

TEST_F(ReadVisibility, CountOfZeroOrBelowReadsNoSections) {
    const std::vector<std::string> files = {
        "Version: 1.2\r\nBlocks: 0\r\nnot read\r\n",
        "Version: 1.2\r\nBlocks: -3\r\n",
        "1.000000\r\n0\r\nnot read",
        "1.000000\r\n-5\r\n",
    };
    const VisibilityMatrix before = doc_.Matrix;
    for (const std::string& bytes : files) {
        Read(bytes);
        EXPECT_LE(doc_.BlockCount, 0) << bytes;
        EXPECT_TRUE(doc_.Matrix == before) << bytes;
    }
}

TEST_F(ReadVisibility, AcceptsBlanksAndSignsAroundNumbers) {
    Read("1.000000\r\n \t1\t \r\n +0 \r\n\t+2\r\n -1 \r\n" + Repeat("\t-1\r\n", 298) +
         "junk after");
    EXPECT_EQ(doc_.BlockCount, 1);
    EXPECT_TRUE(doc_.IsVisible(1, 3));
    EXPECT_FALSE(doc_.IsVisible(1, 1));
}

struct ErrorCase {
    const char* name;
    std::string bytes;
    std::string message;  // after "<path>, "
};

std::vector<ErrorCase> ErrorCases() {
    const std::string v12 = "Version: 1.2\r\n";
    const std::string old = "1.000000\r\n";
    std::string tooManyNew = v12 + "Blocks: 301\r\n";
    for (int block = 0; block < 301; ++block) {
        tooManyNew += "Block: " + std::to_string(block) + "\r\n-1\r\n";
    }
    const std::string tooManyOld = old + "301\r\n" + Repeat("0\r\n" + Repeat("-1\r\n", 300), 301);
    std::vector<ErrorCase> cases = {
        {"empty file", "", "line 1: the file is empty; expected the version line"},
        {"unknown version", "2.0\r\nBlocks: 3\r\n",
         "line 1: \"2.0\" is neither version 1.000000 nor 1.2"},
        {"long unknown version", std::string(100, 'v') + "\r\n",
         "line 1: \"" + std::string(40, 'v') + "...\" is neither version 1.000000 nor 1.2"},
        {"no count line", v12, "line 2: the file ends before the block count line"},
        {"labelled count in old layout", old + "Blocks: 3\r\n",
         "line 2: \"Blocks: 3\" is not a whole number"},
        {"old count beyond 16 bits", old + "70000\r\n",
         "line 2: block count 70000 does not fit in 16 bits"},
        {"new count beyond 16 bits", v12 + "Blocks: 99999\r\n",
         "line 2: trailing number 99999 does not fit in 16 bits"},
        {"header beyond 16 bits", v12 + "Blocks: 1\r\nBlock: -40000\r\n-1\r\n",
         "line 3: trailing number 40000 does not fit in 16 bits"},
        {"entry 300", v12 + "Blocks: 1\r\nBlock: 0\r\n300\r\n",
         "line 4: entry 300 is outside 0 to 299"},
        {"entry -2", v12 + "Blocks: 1\r\nBlock: 0\r\n0\r\n-2\r\n",
         "line 5: entry -2 is outside 0 to 299"},
        {"entry at the 32-bit limit", v12 + "Blocks: 1\r\nBlock: 0\r\n2147483647\r\n",
         "line 4: entry 2147483647 is outside 0 to 299"},
        {"entry beyond 32 bits", v12 + "Blocks: 1\r\nBlock: 0\r\n2147483648\r\n",
         "line 4: entry 2147483648 does not fit in 32 bits"},
        {"old block number", old + "1\r\nzero\r\n", "line 3: \"zero\" is not a whole number"},
        {"old block number beyond 32 bits", old + "1\r\n-2147483649\r\n",
         "line 3: block number -2147483649 does not fit in 32 bits"},
        {"new file ends between sections", v12 + "Blocks: 2\r\nBlock: 0\r\n0\r\n-1\r\n\r\n",
         "line 7: the file ends after 1 of 2 block sections; expected a \"Block:\" line"},
        {"new file ends in a section", v12 + "Blocks: 1\r\nBlock: 0\r\n0\r\n",
         "line 5: the file ends in block section 1, where an entry or \"-1\" was expected"},
        {"old file ends between sections", old + "2\r\n0\r\n" + Repeat("-1\r\n", 300),
         "line 304: the file ends after 1 of 2 block sections; expected a block number line"},
        {"old short section", old + "1\r\n0\r\n" + Repeat("-1\r\n", 299),
         "line 303: the file ends in block section 1 after 299 of its 300 entry lines"},
        {"301 new sections", tooManyNew, "line 603: more than 300 blocks (the count is 301)"},
        {"301 old sections", tooManyOld, "line 90303: more than 300 blocks (the count is 301)"},
        {"over-long entry line",
         v12 + "Blocks: 1\r\nBlock: 0\r\n" + std::string(200 * 1024, '1') + "\r\n",
         "line 4: entry " + std::string(40, '1') + "... does not fit in 32 bits"},
    };
    // Inside a section every line must be a whole number.
    for (const std::string bad : {"abc", "1.5", "0x1F", "1e3", "1 2", "+", "- 1", "", "Block: 1"}) {
        cases.push_back({"not a whole number",
                         v12 + "Blocks: 1\r\nBlock: 0\r\n" + bad + "\r\n-1\r\n",
                         "line 4: \"" + bad + "\" is not a whole number"});
    }
    return cases;
}

TEST_F(ReadVisibility, EachErrorNamesFileAndLineAndChangesNothing) {
    for (const ErrorCase& c : ErrorCases()) {
        const VisibilityDocument before = doc_;
        test::WriteBytes(path_, c.bytes);
        try {
            ReadVisibilityFile(doc_, path_);
            ADD_FAILURE() << c.name << ": no error";
        } catch (const LumarkError& e) {
            EXPECT_EQ(std::string(e.what()), path_ + ", " + c.message) << c.name;
        }
        EXPECT_TRUE(test::SameDocument(doc_, before)) << c.name;
    }
}

TEST_F(ReadVisibility, MissingFileChangesNothing) {
    const VisibilityDocument before = doc_;
    const std::string missing = dir_.File("nowhere/visibility.txt");
    try {
        ReadVisibilityFile(doc_, missing);
        FAIL() << "no error";
    } catch (const LumarkError& e) {
        EXPECT_EQ(std::string(e.what()), "cannot open " + missing + ": No such file or directory");
    }
    EXPECT_TRUE(test::SameDocument(doc_, before));
}

// A file exactly as a save writes it is read by a shorter road; the document must be the same
// as the full reading gives, and a file that departs from that form anywhere must still be read
// in full.
TEST(ReadVisibilityWriterForm, EveryFormReadsToTheSameDocument) {
    // Rings whose sections end early, with a tie at the opposite block (6 blocks, distance 3),
    // full sections without an end (300 blocks seeing all), a one-way pair and no block.
    VisibilityDocument oneWay = MakeRingDocument(7, 1, "1.2");
    oneWay.SetElement(2, 6, True16);
    oneWay.SetElement(7, 4, True16);
    const std::vector<VisibilityDocument> docs = {
        MakeRingDocument(1, 0, "1.2"),
        MakeRingDocument(2, 1, "1.000000"),
        MakeRingDocument(6, 3, "1.2"),
        MakeRingDocument(6, 3, "1.000000"),
        MakeRingDocument(300, 150, "1.2"),
        MakeRingDocument(300, 150, "1.000000"),
        MakeRingDocument(300, 149, "1.2"),
        MakeRingDocument(0, 0, "1.2"),
        oneWay,
    };
    // Each change keeps the relation but leaves the writer's form.
    const auto replaced = [](std::string from, std::string to) {
        return [from, to](std::string bytes) {
            const std::size_t at = bytes.find(from);
            return at == std::string::npos ? std::string() : bytes.replace(at, from.size(), to);
        };
    };
    const std::vector<std::pair<const char*, std::function<std::string(std::string)>>> forms = {
        {"as written", [](std::string bytes) { return bytes; }},
        {"entries swapped",
         [](const std::string& bytes) {
             std::vector<std::string> lines = test::SplitCrLf(bytes);
             const auto number = [](const std::string& line) {
                 return !line.empty() && line.find_first_not_of("0123456789") == std::string::npos;
             };
             for (std::size_t i = 2; i + 1 < lines.size(); ++i) {
                 if (number(lines[i]) && number(lines[i + 1]) && lines[i] != lines[i + 1]) {
                     std::swap(lines[i], lines[i + 1]);
                     return test::CrLfLines(lines);
                 }
             }
             return std::string();
         }},
        {"a leading zero", replaced("\r\n1\r\n", "\r\n01\r\n")},
        {"an entry twice", replaced("\r\n1\r\n", "\r\n1\r\n1\r\n")},
        {"a blank after a number", replaced("\r\n1\r\n", "\r\n1 \r\n")},
        {"no blank line after -1", replaced("-1\r\n\r\n", "-1\r\n")},
        {"LF line ends",
         [](std::string bytes) {
             bytes.erase(std::remove(bytes.begin(), bytes.end(), '\r'), bytes.end());
             return bytes;
         }},
        {"a line after the end", [](std::string bytes) { return bytes + "extra\r\n"; }},
        {"no line end at the end",
         [](std::string bytes) { return bytes.substr(0, bytes.size() - 2); }},
    };
    test::TempDir dir;
    const std::string path = dir.File("visibility.txt");
    for (const VisibilityDocument& doc : docs) {
        for (const auto& [name, change] : forms) {
            const std::string bytes = change(FormatVisibilityFile(doc));
            // A change that finds nothing to change, or an entry more in a full section.
            if (bytes.empty() || (std::string(name) == "an entry twice" &&
                                  FormatVisibilityFile(doc).find("-1") == std::string::npos)) {
                continue;
            }
            SCOPED_TRACE(std::string(name) + ", " + std::to_string(doc.BlockCount) + " blocks, " +
                         doc.VersionText);
            test::WriteBytes(path, bytes);
            // What the rows beyond the count and column 0 held stays.
            VisibilityDocument read = MakeRingDocument(3, 1, "1.000000");
            read.SetElement(300, 7, True16);
            read.SetElement(1, 0, True16);
            VisibilityDocument expected = doc;
            expected.SetElement(1, 0, True16);
            if (doc.BlockCount < 300) {
                expected.SetElement(300, 7, True16);
            }
            for (int row = doc.BlockCount + 1; row <= 3; ++row) {
                for (int column = 1; column <= 3; ++column) {
                    expected.SetElement(row, column, read.Matrix.Get(row, column));
                }
            }
            ReadReport report;
            ReadVisibilityFile(read, path, report);
            EXPECT_TRUE(test::SameDocument(read, expected));
            EXPECT_EQ(report.InWriterForm, std::string(name) == "as written");
        }
    }
}

TEST(GetTrailingNumber, TakesTheLongestNumericTail) {
    struct Case {
        std::string text;
        std::int16_t value;
    };
    const std::vector<Case> cases = {
        {"Blocks: 12", 12},
        {"Blocks: 12 ", 12},
        {"Blocks:\t12\t ", 12},
        {"Block: 0", 0},
        {"Blocks: -3", -3},
        {"Blocks: +3", 3},
        {"Blocks:", 0},
        {"", 0},
        {"   ", 0},
        {"-", 0},
        {"abc", 0},
        {"12-3", -3},
        {"--3", -3},
        {"5 12", 12},
        {"Blocks: 0012", 12},
        {"1.2", 2},
        {"32767", 32767},
        {"-32767", -32767},
        {std::string(65535, '0') + "7", 7},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GetTrailingNumber(c.text), c.value) << '"' << c.text << '"';
    }
}

TEST(GetTrailingNumber, OverflowsWhenAnyTailExceeds16Bits) {
    // Tails are taken shortest first, so "-32768" fails on its tail "32768".
    const std::vector<std::string> texts = {"32768", "-32768", "Blocks: 99999",
                                            "1" + std::string(30, '0'),
                                            "7" + std::string(65535, '9')};
    for (const std::string& text : texts) {
        EXPECT_THROW(GetTrailingNumber(text), LumarkError) << text.substr(0, 20);
    }
    try {
        GetTrailingNumber("Blocks: 99999");
    } catch (const LumarkError& e) {
        EXPECT_EQ(std::string(e.what()), "trailing number 99999 does not fit in 16 bits");
    }
}

}  // namespace
}  // namespace lumark
