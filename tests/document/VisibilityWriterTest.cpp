#include "VisibilityWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "RingDocument.h"
#include "TestFiles.h"
#include "VisibilityReader.h"

namespace lumark {
namespace {

// Block 0 sees 0, 1, 3; block 1 sees 1, 0, 2; block 2 sees 2, 3; block 3 sees only 1.
VisibilityDocument WorkedExample(const std::string& version) {
    VisibilityDocument doc;
    doc.VersionText = version;
    doc.BlockCount = 4;
    const std::vector<std::vector<int>> seen = {{0, 1, 3}, {1, 0, 2}, {2, 3}, {1}};
    for (int block = 0; block < 4; ++block) {
        for (const int other : seen[static_cast<std::size_t>(block)]) {
            doc.MarkVisible(block + 1, other);
        }
    }
    return doc;
}

std::vector<std::string> OldSection(const std::vector<std::string>& lines) {
    std::vector<std::string> section = lines;
    section.resize(301, "-1");
    return section;
}

TEST(FormatVisibilityFile, WorkedExampleInTheNewLayout) {
    const std::string text = FormatVisibilityFile(WorkedExample("1.2"));
    EXPECT_EQ(text, test::CrLfLines({"Version: 1.2",
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
                                     "-1",
                                     "",
                                     "Block: 2",
                                     "2",
                                     "3",
                                     "-1",
                                     "",
                                     "Block: 3",
                                     "3",
                                     "1",
                                     "-1",
                                     ""}));
    EXPECT_EQ(text.size(), 119u);
    EXPECT_EQ(test::SplitCrLf(text).size(), 24u);
    const unsigned char first[] = {0x56, 0x65, 0x72, 0x73, 0x69, 0x6F, 0x6E, 0x3A, 0x20,
                                   0x31, 0x2E, 0x32, 0x0D, 0x0A, 0x42, 0x6C, 0x6F, 0x63,
                                   0x6B, 0x73, 0x3A, 0x20, 0x34, 0x0D, 0x0A};
    EXPECT_EQ(text.substr(0, sizeof first), std::string(first, first + sizeof first));
}

TEST(FormatVisibilityFile, WorkedExampleInTheOldLayout) {
    std::vector<std::string> lines = {"1.000000", "4"};
    for (const auto& section : std::vector<std::vector<std::string>>{
             {"0", "0", "1", "3"}, {"1", "1", "2", "0"}, {"2", "2", "3"}, {"3", "3", "1"}}) {
        const std::vector<std::string> full = OldSection(section);
        lines.insert(lines.end(), full.begin(), full.end());
    }
    ASSERT_EQ(lines.size(), 1206u);
    EXPECT_EQ(FormatVisibilityFile(WorkedExample("1.000000")), test::CrLfLines(lines));
}

TEST(FormatVisibilityFile, SmallDocuments) {
    struct Case {
        int blocks;
        std::string version;
        std::vector<std::string> lines;
    };
    std::vector<std::string> oldOne = {"1.000000", "1"};
    const std::vector<std::string> oldSection = OldSection({"0", "0"});
    oldOne.insert(oldOne.end(), oldSection.begin(), oldSection.end());
    const std::vector<Case> cases = {
        {0, "1.2", {"Version: 1.2", "Blocks: 0"}},
        {0, "1.000000", {"1.000000", "0"}},
        {1, "1.2", {"Version: 1.2", "Blocks: 1", "Block: 0", "0", "-1", ""}},
        {1, "1.000000", oldOne},
        // Anything but exactly "1.000000" is written in the new layout, unchanged.
        {0, "2.0", {"Version: 2.0", "Blocks: 0"}},
        {0, "1.000000 ", {"Version: 1.000000 ", "Blocks: 0"}},
        {0, "", {"Version: ", "Blocks: 0"}},
    };
    for (const Case& c : cases) {
        VisibilityDocument doc;
        doc.VersionText = c.version;
        doc.BlockCount = static_cast<std::int16_t>(c.blocks);
        EXPECT_EQ(FormatVisibilityFile(doc), test::CrLfLines(c.lines))
            << c.blocks << " blocks, version \"" << c.version << '"';
    }
}

// The entries after the self entry of one block, in the order written.
std::vector<int> WrittenOrder(int blocks, int block) {
    const std::vector<std::string> lines =
        test::SplitCrLf(FormatVisibilityFile(MakeRingDocument(blocks, blocks, "1.2")));
    std::vector<int> order;
    std::size_t at = 0;
    while (lines.at(at) != "Block: " + std::to_string(block)) {
        ++at;
    }
    EXPECT_EQ(lines.at(at + 1), std::to_string(block));
    for (at += 2; at < lines.size() && lines[at] != "-1" && lines[at].rfind("Block:", 0) != 0;
         ++at) {
        order.push_back(std::stoi(lines[at]));
    }
    return order;
}

TEST(FormatVisibilityFile, ListsNeighboursForwardFirstAlongTheRing) {
    struct Case {
        int blocks;
        int block;
        std::vector<int> order;
    };
    const std::vector<Case> cases = {
        {6, 2, {3, 1, 4, 0, 5}},
        {4, 3, {0, 2, 1}},
        {5, 4, {0, 3, 1, 2}},
        {5, 0, {1, 4, 2, 3}},
        {1, 0, {}},
        {2, 1, {0}},
        {2, 0, {1}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WrittenOrder(c.blocks, c.block), c.order)
            << "block " << c.block << " of " << c.blocks;
    }
}

TEST(FormatVisibilityFile, FullSectionsHaveNoTerminator) {
    VisibilityDocument doc = MakeRingDocument(300, 1, "1.2");
    for (int seen = 1; seen <= 300; ++seen) {
        doc.SetElement(1, seen, True16);
    }
    const std::vector<std::string> lines = test::SplitCrLf(FormatVisibilityFile(doc));
    EXPECT_EQ(lines.at(2), "Block: 0");
    EXPECT_EQ(lines.at(3), "0");
    EXPECT_EQ(lines.at(302), "150") << "the opposite block comes last, as a forward step";
    EXPECT_EQ(lines.at(303), "Block: 1");

    const std::vector<std::string> all =
        test::SplitCrLf(FormatVisibilityFile(MakeRingDocument(300, 150, "1.2")));
    EXPECT_EQ(all.size(), 2u + 300u * 301u);
    EXPECT_EQ(std::count(all.begin(), all.end(), "-1"), 0);
    EXPECT_EQ(std::count(all.begin(), all.end(), ""), 0);
    EXPECT_EQ(all.back(), "149");
}

TEST(FormatVisibilityFile, NeverWritesCellsOutsideTheDocument) {
    VisibilityDocument doc = MakeRingDocument(3, 0, "1.2");
    doc.SetElement(1, 6, True16);   // a block beyond the count
    doc.SetElement(5, 1, True16);   // a row beyond the count
    doc.SetElement(1, 0, True16);   // column 0
    doc.SetElement(2, 2, False16);  // its own block is listed all the same
    EXPECT_EQ(FormatVisibilityFile(doc),
              test::CrLfLines({"Version: 1.2", "Blocks: 3", "Block: 0", "0", "-1", "", "Block: 1",
                               "1", "-1", "", "Block: 2", "2", "-1", ""}));
}

// Writing what was read gives the same bytes, in both layouts and at both ends of the size
// range, and reading restores the relation.
TEST(RoundTrip, WriterFilesReadBackByteForByte) {
    test::TempDir dir;
    const std::string path = dir.File("visibility.txt");
    struct Ring {
        int blocks;
        int distance;
    };
    for (const std::string version : {"1.2", "1.000000"}) {
        for (const Ring ring : {Ring{300, 150}, Ring{300, 3}, Ring{299, 149}, Ring{1, 0},
                                Ring{2, 1}, Ring{7, 2}, Ring{0, 0}}) {
            const VisibilityDocument original =
                MakeRingDocument(ring.blocks, ring.distance, version);
            WriteVisibilityFile(original, path);
            const std::string bytes = test::ReadBytes(path);
            ASSERT_EQ(bytes, FormatVisibilityFile(original));

            VisibilityDocument read = MakeRingDocument(300, 5, "other");
            ReadVisibilityFile(read, path);
            EXPECT_EQ(read.VersionText, version);
            EXPECT_EQ(read.BlockCount, ring.blocks);
            for (int viewer = 1; viewer <= ring.blocks; ++viewer) {
                for (int seen = 1; seen <= 300; ++seen) {
                    ASSERT_EQ(read.IsVisible(viewer, seen), original.IsVisible(viewer, seen))
                        << version << ", " << ring.blocks << " blocks, cell (" << viewer << ", "
                        << seen << ")";
                }
            }
            WriteVisibilityFile(read, path);
            EXPECT_EQ(test::ReadBytes(path), bytes)
                << version << ", " << ring.blocks << " blocks at distance " << ring.distance;
        }
    }
}

TEST(RoundTrip, IrregularRelationSurvivesReadAndWrite) {
    test::TempDir dir;
    const std::string path = dir.File("visibility.txt");
    std::mt19937 random(20240611);
    std::bernoulli_distribution coin(0.3);
    for (const std::string version : {"1.2", "1.000000"}) {
        VisibilityDocument doc;
        doc.VersionText = version;
        doc.BlockCount = 37;
        for (int viewer = 1; viewer <= 37; ++viewer) {
            for (int seen = 1; seen <= 37; ++seen) {
                doc.SetElement(viewer, seen, coin(random) ? True16 : False16);
            }
        }
        WriteVisibilityFile(doc, path);
        const std::string bytes = test::ReadBytes(path);
        VisibilityDocument read;
        ReadVisibilityFile(read, path);
        for (int viewer = 1; viewer <= 37; ++viewer) {
            for (int seen = 1; seen <= 37; ++seen) {
                // The self entry makes every block see itself.
                EXPECT_EQ(read.IsVisible(viewer, seen),
                          viewer == seen || doc.IsVisible(viewer, seen));
            }
        }
        EXPECT_EQ(FormatVisibilityFile(read), bytes) << version;
    }
}

}  // namespace
}  // namespace lumark
