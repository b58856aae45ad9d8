#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

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

// The smallest and largest rings, and distances past half the ring, check clean.
TEST(GenerateCommand, EdgeRingsAreTheRingInTheWritersForm) {
    test::TempDir dir;
    const std::string path = dir.File("ring.txt");
    for (const auto& [blocks, distance] : std::vector<std::pair<int, int>>{
             {1, 0}, {1, 7}, {2, 1}, {300, 0}, {300, 150}, {300, 1000}}) {
        SCOPED_TRACE(std::to_string(blocks) + " blocks, distance " + std::to_string(distance));
        ASSERT_EQ(RunToolWith({"generate", "--blocks", std::to_string(blocks), "--distance",
                               std::to_string(distance), "--layout", "1.000000", path})
                      .code,
                  0);
        VisibilityDocument doc;
        ReadVisibilityFile(doc, path);
        EXPECT_TRUE(test::SameDocument(doc, MakeRingDocument(blocks, distance, "1.000000")));
        EXPECT_EQ(RunToolWith({"check", path}).out,
                  path + ": ok, layout 1.000000, " + std::to_string(blocks) + " blocks\n");
    }
}

}  // namespace
}  // namespace lumark
