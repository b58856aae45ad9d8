#include <gtest/gtest.h>
#include <png.h>

#include <cstring>
#include <string>
#include <vector>

#include "PngFile.h"
#include "RelationPicture.h"
#include "TestFiles.h"
#include "ToolRun.h"
#include "VisibilityReader.h"

namespace lumark {
namespace {

using test::RunToolWith;

// Three blocks: 0 sees 1 one way, 1 and 2 see each other.
const std::string ThreeBlocks =
    test::CrLfLines({"Version: 1.2", "Blocks: 3", "Block: 0", "0", "1", "-1", "", "Block: 1", "1",
                     "2", "-1", "", "Block: 2", "2", "1", "-1", ""});

// PNG bytes decoded by libpng into RGB rows; an empty picture when they do not decode.
RelationPicture DecodePng(const std::string& bytes) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    RelationPicture picture;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) {
        return picture;
    }
    image.format = PNG_FORMAT_RGB;
    picture.Pixels.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, picture.Pixels.data(), 0, nullptr)) {
        return {};
    }
    picture.Width = static_cast<int>(image.width);
    picture.Height = static_cast<int>(image.height);
    return picture;
}

void ExpectSamePicture(const RelationPicture& decoded, const RelationPicture& expected) {
    EXPECT_EQ(decoded.Width, expected.Width);
    EXPECT_EQ(decoded.Height, expected.Height);
    EXPECT_TRUE(decoded.Pixels == expected.Pixels);
}

class RenderCommand : public ::testing::Test {
  protected:
    RenderCommand() {
        test::WriteBytes(in_, ThreeBlocks);
        ReadVisibilityFile(doc_, in_);
    }

    test::TempDir dir_;
    const std::string in_ = dir_.File("in.txt");
    const std::string png_ = dir_.File("out.png");
    VisibilityDocument doc_;
};

TEST_F(RenderCommand, WritesThePictureAsPngInTheGivenCellSize) {
    for (const auto& [arguments, cell] : std::vector<std::pair<std::vector<std::string>, int>>{
             {{"render", in_, png_}, 2},
             {{"render", "--cell", "1", in_, png_}, 1},
             {{"render", in_, png_, "--cell=16"}, 16}}) {
        SCOPED_TRACE(cell);
        const test::ToolRun run = RunToolWith(arguments);
        ASSERT_EQ(run.code, 0) << run.err;
        EXPECT_EQ(run.out + run.err, "");
        const RelationPicture decoded = DecodePng(test::ReadBytes(png_));
        ExpectSamePicture(decoded, RenderRelationPicture(doc_, cell, true));
        // Block 1 (the second column) does not see block 0 (the first row) but is seen by it.
        const std::size_t at = static_cast<std::size_t>(cell) * 3;
        EXPECT_EQ((Rgb{decoded.Pixels[at], decoded.Pixels[at + 1], decoded.Pixels[at + 2]}),
                  ColourOf(RelationKind::SeenOnly));
    }
}

TEST_F(RenderCommand, DashWritesThePngToStandardOutput) {
    const test::ToolRun run = RunToolWith({"render", in_, "-"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out.substr(0, 8), "\x89PNG\r\n\x1a\n");
    ExpectSamePicture(DecodePng(run.out), RenderRelationPicture(doc_, 2, true));
    EXPECT_EQ(dir_.Entries(), std::vector<std::string>{"in.txt"});
}

TEST_F(RenderCommand, FailuresNameTheFileAndWriteNothing) {
    const std::string missing = dir_.File("missing.txt");
    const test::ToolRun unreadable = RunToolWith({"render", missing, png_});
    EXPECT_EQ(unreadable.code, 1);
    EXPECT_EQ(unreadable.err, missing + ": error: cannot open: No such file or directory\n");

    const std::string nowhere = dir_.File("no/such/dir.png");
    const test::ToolRun unwritable = RunToolWith({"render", in_, nowhere});
    EXPECT_EQ(unwritable.code, 1);
    EXPECT_EQ(unwritable.err, nowhere + ": error: cannot write: No such file or directory\n");
    EXPECT_EQ(dir_.Entries(), std::vector<std::string>{"in.txt"});
}

// PNG bytes under another name are refused unless forced; the case of ".png" does not matter.
TEST_F(RenderCommand, AnOutputNotEndingInPngTakesForce) {
    const std::string jpg = dir_.File("out.jpg");
    const test::ToolRun refused = RunToolWith({"render", in_, jpg});
    EXPECT_EQ(refused.code, 2);
    EXPECT_EQ(refused.err, "lumark-tool: \"" + jpg +
                               "\" does not end in .png, and render writes PNG; --force writes it "
                               "all the same\nTry \"lumark-tool --help\".\n");
    EXPECT_EQ(dir_.Entries(), std::vector<std::string>{"in.txt"});

    ASSERT_EQ(RunToolWith({"render", "--force", in_, jpg}).code, 0);
    ExpectSamePicture(DecodePng(test::ReadBytes(jpg)), RenderRelationPicture(doc_, 2, true));
    const std::string upper = dir_.File("OUT.PNG");
    EXPECT_EQ(RunToolWith({"render", in_, upper}).code, 0);
    EXPECT_EQ(test::ReadBytes(upper), test::ReadBytes(jpg));
}

// More colours than a palette holds: the rows are stored as they are.
TEST(PngFile, APictureOfManyColoursDecodesToItself) {
    RelationPicture picture;
    picture.Width = 300;
    picture.Height = 2;
    for (int y = 0; y < picture.Height; ++y) {
        for (int x = 0; x < picture.Width; ++x) {
            picture.Pixels.insert(picture.Pixels.end(),
                                  {static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(x / 256),
                                   static_cast<std::uint8_t>(y)});
        }
    }
    ExpectSamePicture(DecodePng(tool::EncodePng(picture)), picture);
}

}  // namespace
}  // namespace lumark
