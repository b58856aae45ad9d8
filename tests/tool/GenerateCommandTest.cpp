#include <gtest/gtest.h>

#include <string>

#include "RingDocument.h"
#include "TestFiles.h"
#include "ToolRun.h"
#include "VisibilityReader.h"

namespace lumark {
namespace {

using test::RunToolWith;

// The bundled samples are made with the tool and must stay what it writes.
TEST(GenerateCommand, WritesTheBundledSamplesByteForByte) {
    test::TempDir dir;
    const std::string samples = std::string(LUMARK_SOURCE_DIR) + "/samples/";
    const std::string newPath = dir.File("new.txt");
    const std::string oldPath = dir.File("old.txt");
    ASSERT_EQ(RunToolWith({"generate", "--blocks", "40", "--distance", "5", newPath}).code, 0);
    ASSERT_EQ(RunToolWith({"generate", "--blocks", "40", "--distance", "5", "--layout", "1.000000",
                           oldPath})
                  .code,
              0);
    EXPECT_EQ(test::ReadBytes(newPath), test::ReadBytes(samples + "visibility.txt"));
    EXPECT_EQ(test::ReadBytes(oldPath), test::ReadBytes(samples + "old-layout/visibility.txt"));
}

struct RingCase {
    int blocks;
    int distance;
    std::string firstSection;  // block 0's entries, in the writer's ring order
};

TEST(GenerateCommand, RingsOfEverySizeReadBackAsTheRing) {
    const std::vector<RingCase> cases = {
        {1, 0, "0"},     {1, 7, "0"},         {2, 1, "0 1"},
        {5, 1, "0 1 4"}, {5, 9, "0 1 4 2 3"}, {300, 2, "0 1 299 2 298"},
        {300, 0, "0"},   {300, 150, ""},
    };
    test::TempDir dir;
    const std::string path = dir.File("ring.txt");
    for (const RingCase& ring : cases) {
        SCOPED_TRACE(std::to_string(ring.blocks) + " blocks, distance " +
                     std::to_string(ring.distance));
        const test::ToolRun run = RunToolWith({"generate", "--blocks", std::to_string(ring.blocks),
                                               "--distance", std::to_string(ring.distance), "-"});
        ASSERT_EQ(run.code, 0) << run.err;
        test::WriteBytes(path, run.out);
        VisibilityDocument doc;
        ReadVisibilityFile(doc, path);
        EXPECT_EQ(doc.VersionText, "1.2");
        EXPECT_TRUE(test::SameDocument(doc, MakeRingDocument(ring.blocks, ring.distance, "1.2")));
        if (!ring.firstSection.empty()) {
            std::string entries;
            const std::vector<std::string> lines = test::SplitCrLf(run.out);
            for (std::size_t i = 3; i < lines.size() && lines[i] != "-1"; ++i) {
                entries += (entries.empty() ? "" : " ") + lines[i];
            }
            EXPECT_EQ(entries, ring.firstSection);
        }
        EXPECT_EQ(RunToolWith({"check", path}).out,
                  path + ": ok, layout 1.2, " + std::to_string(ring.blocks) +
                      (ring.blocks == 1 ? " block\n" : " blocks\n"));
    }
}

}  // namespace
}  // namespace lumark
