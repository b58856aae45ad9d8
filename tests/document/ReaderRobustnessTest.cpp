// No file, however broken, may crash the reader, make it hang or grow without bound, or leave
// a half-read document behind. Every random choice here comes from a fixed seed, so a failure
// is reproduced by running the test again.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "LineReader.h"
#include "LumarkError.h"
#include "RingDocument.h"
#include "TestFiles.h"
#include "VisibilityReader.h"
#include "VisibilityWriter.h"

namespace lumark {
namespace {

using Random = std::mt19937;

std::size_t Below(Random& random, std::size_t bound) {
    return bound == 0 ? 0 : static_cast<std::size_t>(random() % bound);
}

// A document with `blocks` blocks whose cells are set with the given chance; every block
// sees itself, as after reading any file the writer made.
VisibilityDocument RandomDocument(Random& random, int blocks, double density,
                                  const std::string& version) {
    std::bernoulli_distribution sees(density);
    VisibilityDocument doc;
    doc.VersionText = version;
    doc.BlockCount = static_cast<std::int16_t>(blocks);
    for (int viewer = 1; viewer <= blocks; ++viewer) {
        for (int seen = 1; seen <= blocks; ++seen) {
            if (seen == viewer || sees(random)) {
                doc.SetElement(viewer, seen, True16);
            }
        }
    }
    return doc;
}

// The document a failed read must leave alone: it holds rows.
const VisibilityDocument& Prefilled() {
    static const VisibilityDocument prefilled = [] {
        VisibilityDocument doc = MakeRingDocument(5, 2, "1.000000");
        doc.SetElement(0, 0, True16);
        doc.SetElement(7, 9, True16);
        return doc;
    }();
    return prefilled;
}

// Valid files of both layouts to start mutating from: the writer's own form, and looser
// forms the reader also accepts.
std::vector<std::string> MutationBases() {
    Random random(7);
    std::string loose = FormatVisibilityFile(RandomDocument(random, 9, 0.3, "1.2"));
    // LF line ends, text between sections and blanks around numbers.
    std::string lf;
    for (const char c : loose) {
        if (c != '\r') {
            lf += c;
        }
    }
    std::string gaps;
    for (const std::string& line :
         test::SplitCrLf(FormatVisibilityFile(RandomDocument(random, 6, 0.5, "1.2")))) {
        gaps += line.empty() ? "anything at all\r" : " " + line + "\t\r\n";
    }
    return {
        FormatVisibilityFile(MakeRingDocument(40, 5, "1.2")),
        FormatVisibilityFile(RandomDocument(random, 12, 0.4, "1.2")),
        lf,
        gaps,
        FormatVisibilityFile(MakeRingDocument(4, 1, "1.000000")),
        FormatVisibilityFile(RandomDocument(random, 3, 0.6, "1.000000")),
    };
}

// The lines of `bytes`, each with whatever ends it.
std::vector<std::string> Lines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        end = end == std::string::npos ? bytes.size() : end + 1;
        lines.push_back(bytes.substr(start, end - start));
        start = end;
    }
    return lines;
}

std::string Join(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines) {
        bytes += line;
    }
    return bytes;
}

// Lines that sit at the edges of what the reader converts.
const std::vector<std::string> HostileLines = {"2147483647",
                                               "2147483648",
                                               "-2147483648",
                                               "-2147483649",
                                               "32767",
                                               "32768",
                                               "-32768",
                                               "-32769",
                                               "99999999999999999999999999999999",
                                               "300",
                                               "299",
                                               "-2",
                                               "+5",
                                               "- 1",
                                               "--1",
                                               "+-1",
                                               "1 2",
                                               "0x10",
                                               "1e3",
                                               " 7 ",
                                               "\t3\t",
                                               "",
                                               "   ",
                                               "-",
                                               "+",
                                               "Block:",
                                               "Block: 99999",
                                               "Block: -1",
                                               "Blocks: 300",
                                               "Blocks: 301",
                                               "Blocks: 40000",
                                               "Version: 1.2",
                                               "1.000000",
                                               std::string("4\0", 2),
                                               std::string("\0", 1)};

const std::vector<std::string> LineEnds = {"\n", "\r", "\n\r", "\r\r\n", "", "\r\n"};

// One random edit of a file.
void Mutate(std::string& bytes, Random& random) {
    std::vector<std::string> lines = Lines(bytes);
    const std::size_t at = Below(random, lines.size());
    switch (random() % 10) {
        case 0:  // delete a line
            if (!lines.empty()) {
                lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(at));
            }
            break;
        case 1:  // duplicate a line
            if (!lines.empty()) {
                lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), lines[at]);
            }
            break;
        case 2:  // swap two lines
            if (!lines.empty()) {
                std::swap(lines[at], lines[Below(random, lines.size())]);
            }
            break;
        case 3:  // replace a line with a hostile one
            if (!lines.empty()) {
                lines[at] = HostileLines[Below(random, HostileLines.size())] + "\r\n";
            }
            break;
        case 4:  // insert a hostile line
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at),
                         HostileLines[Below(random, HostileLines.size())] + "\r\n");
            break;
        case 5:  // change how one line ends
            if (!lines.empty()) {
                std::string& line = lines[at];
                while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
                    line.pop_back();
                }
                line += LineEnds[Below(random, LineEnds.size())];
            }
            break;
        case 6:  // flip one bit
            if (!bytes.empty()) {
                bytes[Below(random, bytes.size())] ^= static_cast<char>(1 << (random() % 8));
            }
            return;
        case 7:  // a NUL somewhere
            bytes.insert(Below(random, bytes.size() + 1), 1, '\0');
            return;
        case 8:  // truncate anywhere
            bytes.resize(Below(random, bytes.size() + 1));
            return;
        default:  // every CR LF becomes LF or CR
        {
            const char end = random() % 2 == 0 ? '\n' : '\r';
            std::string changed;
            for (std::size_t i = 0; i < bytes.size(); ++i) {
                if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
                    changed += end;
                    ++i;
                } else {
                    changed += bytes[i];
                }
            }
            bytes = changed;
            return;
        }
    }
    bytes = Join(lines);
}

bool SameRows(const VisibilityMatrix& a, const VisibilityMatrix& b, int first, int last) {
    for (int viewer = first; viewer <= last; ++viewer) {
        for (int seen = 0; seen < VisibilityMatrix::Size; ++seen) {
            if (a.Get(viewer, seen) != b.Get(viewer, seen)) {
                return false;
            }
        }
    }
    return true;
}

// Reads `path` into a prefilled document and checks that the read either succeeded with a
// sound document or failed with the reader's own error, naming the file, and changed
// nothing. The reporting read must agree with the plain one. True when the read succeeded.
bool ReadsSoundly(const std::string& path, const std::string& trace) {
    SCOPED_TRACE(trace);
    const VisibilityDocument& before = Prefilled();
    VisibilityDocument plain = before;
    VisibilityDocument reported = before;
    std::string plainError;
    std::string reportedError;
    try {
        ReadVisibilityFile(plain, path);
    } catch (const LumarkError& e) {
        plainError = e.what();
    } catch (const std::exception& e) {
        ADD_FAILURE() << "not the reader's error: " << e.what();
        return false;
    }
    try {
        ReadReport report;
        ReadVisibilityFile(reported, path, report);
    } catch (const LumarkError& e) {
        reportedError = e.what();
    }
    EXPECT_EQ(plainError, reportedError);
    EXPECT_TRUE(test::SameDocument(plain, reported));
    if (!plainError.empty()) {
        EXPECT_EQ(plainError.rfind(path + ", line ", 0), 0u) << plainError;
        EXPECT_TRUE(test::SameDocument(plain, before));
        return false;
    }
    EXPECT_TRUE(plain.VersionText == "1.2" || plain.VersionText == "1.000000");
    EXPECT_LE(plain.BlockCount, VisibilityMatrix::MaxBlocks);
    const int count = std::max<int>(plain.BlockCount, 0);
    EXPECT_TRUE(SameRows(plain.Matrix, before.Matrix, 0, 0));
    EXPECT_TRUE(SameRows(plain.Matrix, before.Matrix, count + 1, VisibilityMatrix::MaxBlocks));
    for (int viewer = 1; viewer <= count; ++viewer) {
        EXPECT_EQ(plain.Matrix.Get(viewer, 0), before.Matrix.Get(viewer, 0));
    }
    // Whatever was read, saving and opening it again is stable from then on.
    const std::string saved = FormatVisibilityFile(plain);
    test::WriteBytes(path, saved);
    VisibilityDocument reread;
    ReadVisibilityFile(reread, path);
    EXPECT_EQ(FormatVisibilityFile(reread), saved);
    return true;
}

TEST(ReaderRobustness, SeededMutationsEitherReadOrFailCleanly) {
    constexpr int Mutations = 3000;
    test::TempDir dir;
    const std::string path = dir.File("mutated.txt");
    const std::vector<std::string> bases = MutationBases();
    Random random(20240611);
    int succeeded = 0;
    for (int i = 0; i < Mutations; ++i) {
        const std::size_t base = static_cast<std::size_t>(i) % bases.size();
        std::string bytes = bases[base];
        const int edits = 1 + static_cast<int>(random() % 3);
        for (int edit = 0; edit < edits; ++edit) {
            Mutate(bytes, random);
        }
        test::WriteBytes(path, bytes);
        if (ReadsSoundly(path,
                         "mutation " + std::to_string(i) + " of base " + std::to_string(base))) {
            ++succeeded;
        }
        if (HasFailure()) {
            test::WriteBytes(dir.File("failed.txt"), bytes);
            FAIL() << "stopped at mutation " << i;
        }
    }
    // Both outcomes must be common, or the edits explore too little.
    EXPECT_GT(succeeded, Mutations / 10);
    EXPECT_LT(succeeded, Mutations * 9 / 10);
}

TEST(ReaderRobustness, RandomDocumentsRoundTripInBothLayouts) {
    test::TempDir dir;
    const std::string path = dir.File("round.txt");
    Random random(4711);
    const std::vector<int> edgeCounts = {0, 1, 2, 299, 300};
    const std::vector<double> densities = {0.0, 0.02, 0.3, 0.9, 1.0};
    for (int i = 0; i < 40; ++i) {
        const int blocks = i < static_cast<int>(edgeCounts.size())
                               ? edgeCounts[static_cast<std::size_t>(i)]
                               : static_cast<int>(Below(random, 301));
        const double density = densities[Below(random, densities.size())];
        const VisibilityDocument original = RandomDocument(random, blocks, density, "1.2");
        std::string previousMatrixBytes;
        for (const std::string version : {"1.2", "1.000000"}) {
            SCOPED_TRACE(std::to_string(blocks) + " blocks, density " + std::to_string(density) +
                         ", layout " + version);
            VisibilityDocument doc = original;
            doc.VersionText = version;
            const std::string bytes = FormatVisibilityFile(doc);
            test::WriteBytes(path, bytes);
            VisibilityDocument read;
            ReadVisibilityFile(read, path);
            EXPECT_TRUE(test::SameDocument(read, doc));
            EXPECT_EQ(FormatVisibilityFile(read), bytes);
        }
        if (HasFailure()) {
            break;
        }
    }
}

// Lines far longer than the reader holds, in every place of a file.
std::string Huge(char c) {
    return std::string(2 << 20, c);
}

struct HugeCase {
    std::string name;
    std::string bytes;
    std::string error;  // what follows "PATH, "; empty when the read succeeds
    int count = 0;      // on success: BlockCount
    int viewer = 0;     // and one cell that must be set
    int seen = 0;
};

std::string OldSection(int entry) {
    std::string section = "0\r\n" + std::to_string(entry) + "\r\n";
    for (int i = 1; i < 300; ++i) {
        section += "-1\r\n";
    }
    return section;
}

TEST(ReaderRobustness, HugeLinesReadForWhatTheyHold) {
    const std::string head = "Version: 1.2\r\nBlocks: 2\r\n";
    // Block 0 sees block 1, block 1 itself.
    const std::string second = "Block: 1\r\n1\r\n-1\r\n";
    const std::string sections = "Block: 0\r\n1\r\n-1\r\n" + second;
    const std::string held(LineReader::HeldLineLength, 'x');
    const std::vector<HugeCase> cases = {
        {"version line padded with blanks",
         "Version: 1.2" + Huge(' ') + "\r\nBlocks: 2\r\n" + sections, "", 2, 1, 2},
        {"new version amid text", Huge('x') + "1.2" + Huge('y') + "\r\n2\r\n" + sections, "", 2, 1,
         2},
        {"old version amid text", Huge('x') + "1.000000" + Huge('y') + "\r\n1\r\n" + OldSection(0),
         "", 1, 1, 1},
        {"count padded with zeros", "Version: 1.2\r\nBlocks: " + Huge('0') + "2\r\n" + sections, "",
         2, 2, 2},
        {"count padded with blanks after it",
         "Version: 1.2\r\nBlocks: 2" + Huge(' ') + "\r\n" + sections, "", 2, 2, 2},
        {"old count padded",
         "1.000000\r\n" + Huge(' ') + Huge('0') + "1" + Huge('\t') + "\r\n" + OldSection(0), "", 1,
         1, 1},
        {"old entry padded",
         "1.000000\r\n1\r\n" + OldSection(-1).replace(3, 2, "+" + Huge('0') + "0" + Huge(' ')), "",
         1, 1, 1},
        {"entry padded",
         head + "Block: 0\r\n" + Huge(' ') + Huge('0') + "1" + Huge(' ') + "\r\n-1\r\n" + second,
         "", 2, 1, 2},
        {"end of section padded", head + "Block: 0\r\n1\r\n-" + Huge('0') + "1\r\n" + second, "", 2,
         1, 2},
        {"longest held line in a gap", head + held + "\r\n" + sections, "", 2, 2, 2},
        {"one byte longer in a gap", head + held + "x\n" + sections, "", 2, 2, 2},
        {"blanks without a CR in a gap", head + Huge(' ') + "\n" + sections, "", 2, 2, 2},
        {"section marker amid text",
         head + Huge('x') + "Block:" + Huge('y') + "\r\n1\r\n-1\r\n" + second, "", 2, 1, 2},
        {"section header padded with zeros",
         head + "Block: " + Huge('0') + "7\r\n1\r\n-1\r\n" + second, "", 2, 1, 2},
        // Nothing after the last section is read.
        {"after the last section", head + sections + Huge('7'), "", 2, 2, 2},

        {"first line of digits", Huge('7'),
         "line 1: \"" + std::string(40, '7') + "...\" is neither version 1.000000 nor 1.2"},
        {"entry of digits", head + "Block: 0\r\n" + Huge('7') + "\r\n",
         "line 4: entry " + std::string(40, '7') + "... does not fit in 32 bits"},
        {"old count of digits", "1.000000\r\n" + Huge('7'),
         "line 2: block count " + std::string(40, '7') + "... does not fit in 16 bits"},
        {"new count of digits", "Version: 1.2\r\nBlocks: " + Huge('9'),
         "line 2: trailing number " + std::string(40, '9') + "... does not fit in 16 bits"},
        {"count too large behind zeros", "Version: 1.2\r\nBlocks: " + Huge('0') + "40000",
         "line 2: trailing number " + std::string(40, '0') + "... does not fit in 16 bits"},
        {"entry out of range behind zeros", head + "Block: 0\r\n" + Huge('0') + "300\r\n",
         "line 4: entry 300 is outside 0 to 299"},
        {"blanks for an entry", head + "Block: 0\r\n" + Huge(' ') + "\r\n",
         "line 4: \"" + std::string(40, ' ') + "...\" is not a whole number"},
        {"sign far from its digits", head + "Block: 0\r\n-" + Huge(' ') + "1\r\n",
         "line 4: \"-" + std::string(39, ' ') + "...\" is not a whole number"},
        {"gap without an end", head + Huge(' '),
         "line 4: the file ends after 0 of 2 block sections; expected a \"Block:\" line"},
    };
    test::TempDir dir;
    const std::string path = dir.File("huge.txt");
    for (const HugeCase& c : cases) {
        SCOPED_TRACE(c.name);
        test::WriteBytes(path, c.bytes);
        if (c.error.empty()) {
            VisibilityDocument doc;
            ASSERT_NO_THROW(ReadVisibilityFile(doc, path));
            EXPECT_EQ(doc.BlockCount, c.count);
            EXPECT_TRUE(doc.IsVisible(c.viewer, c.seen));
            continue;
        }
        VisibilityDocument doc = Prefilled();
        try {
            ReadVisibilityFile(doc, path);
            ADD_FAILURE() << "read without error";
        } catch (const LumarkError& e) {
            EXPECT_EQ(std::string(e.what()), path + ", " + c.error);
        }
        EXPECT_TRUE(test::SameDocument(doc, Prefilled()));
    }
}

TEST(ReaderRobustness, MillionsOfLinesInAGapAreSkippedAndCounted) {
    constexpr long GapLines = 3'000'000;
    std::string gap;
    gap.reserve(GapLines * 2);
    for (long i = 0; i < GapLines; ++i) {
        gap += i % 3 == 0 ? "\r\n" : i % 3 == 1 ? "x\n" : "\r";
    }
    test::TempDir dir;
    const std::string path = dir.File("long.txt");
    const std::string head = "Version: 1.2\r\nBlocks: 2\r\nBlock: 0\r\n0\r\n1\r\n-1\r\n";

    test::WriteBytes(path, head + gap + "Block: 1\r\n1\r\n-1\r\n");
    VisibilityDocument doc;
    ReadVisibilityFile(doc, path);
    EXPECT_EQ(doc.BlockCount, 2);
    EXPECT_TRUE(doc.IsVisible(1, 2));
    EXPECT_TRUE(doc.IsVisible(2, 2));

    // Without the second section the read fails at the end, on the right line.
    test::WriteBytes(path, head + gap);
    const VisibilityDocument& before = Prefilled();
    doc = before;
    try {
        ReadVisibilityFile(doc, path);
        ADD_FAILURE() << "read without error";
    } catch (const LumarkError& e) {
        EXPECT_EQ(std::string(e.what()),
                  path + ", line " + std::to_string(6 + GapLines + 1) +
                      ": the file ends after 1 of 2 block sections; expected a \"Block:\" line");
    }
    EXPECT_TRUE(test::SameDocument(doc, before));
}

}  // namespace
}  // namespace lumark
