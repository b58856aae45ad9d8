#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "PixelFont.h"
#include "RelationPicture.h"

namespace lumark {
namespace {

// Four blocks, 0-based: 0 sees 1 and 2, 1 sees 0, 2 sees 3, 3 sees only itself.
VisibilityDocument FourBlocks() {
    VisibilityDocument doc;
    doc.BlockCount = 4;
    doc.VersionText = "1.2";
    const std::vector<std::vector<int>> sees = {{0, 1, 2}, {1, 0}, {2, 3}, {3}};
    for (int block = 0; block < 4; ++block) {
        for (const int seen : sees[static_cast<std::size_t>(block)]) {
            doc.MarkVisible(block + 1, seen);
        }
    }
    return doc;
}

// The kinds of FourBlocks() worked out by hand, one string per row (the block seen), one
// letter per column (the viewing block): D itself, M both ways, N neither way, S sees but is
// not seen back, Y does not see but is seen.
const std::vector<std::string> FourBlockKinds = {
    "DMYN",
    "MDNN",
    "SNDY",
    "NNSD",
};

Rgb ColourOfLetter(char letter) {
    static const std::map<char, RelationKind> kinds = {
        {'D', RelationKind::Diagonal}, {'M', RelationKind::Mutual},   {'N', RelationKind::Neither},
        {'S', RelationKind::SeesOnly}, {'Y', RelationKind::SeenOnly},
    };
    return ColourOf(kinds.at(letter));
}

Rgb PixelAt(const RelationPicture& picture, int x, int y) {
    const std::size_t at = (static_cast<std::size_t>(y) * picture.Width + x) * 3;
    return {picture.Pixels[at], picture.Pixels[at + 1], picture.Pixels[at + 2]};
}

TEST(RelationPicture, FiveColoursDistinctFromEachOtherAndFromThePaper) {
    std::set<std::tuple<int, int, int>> colours = {{255, 255, 255}};
    for (const char letter : std::string("DMNSY")) {
        const Rgb colour = ColourOfLetter(letter);
        EXPECT_TRUE(colours.insert({colour.R, colour.G, colour.B}).second) << letter;
    }
}

TEST(RelationPicture, EveryPixelOfTheMatrixHasTheColourOfItsPair) {
    const VisibilityDocument doc = FourBlocks();
    for (const int cell : {1, 3}) {
        SCOPED_TRACE("cell " + std::to_string(cell));
        const RelationPicture picture = RenderRelationPicture(doc, cell, false);
        ASSERT_EQ(picture.Width, 4 * cell);
        ASSERT_EQ(picture.Height, 4 * cell);
        ASSERT_EQ(picture.Pixels.size(), static_cast<std::size_t>(16 * cell * cell * 3));
        for (int y = 0; y < picture.Height; ++y) {
            for (int x = 0; x < picture.Width; ++x) {
                const char letter = FourBlockKinds[static_cast<std::size_t>(y / cell)]
                                                  [static_cast<std::size_t>(x / cell)];
                EXPECT_EQ(PixelAt(picture, x, y), ColourOfLetter(letter))
                    << "x " << x << ", y " << y;
            }
        }
    }
}

TEST(RelationPicture, TheLegendStandsRightOfTheMatrixWithEveryColourAndText) {
    const VisibilityDocument doc = FourBlocks();
    const int cell = 2;
    const RelationPicture bare = RenderRelationPicture(doc, cell, false);
    const RelationPicture picture = RenderRelationPicture(doc, cell, true);
    ASSERT_GT(picture.Width, bare.Width);
    // The legend's five rows are taller than this small matrix; the paper shows below it.
    ASSERT_GT(picture.Height, bare.Height);
    std::map<std::tuple<int, int, int>, int> legend;
    for (int y = 0; y < picture.Height; ++y) {
        for (int x = 0; x < picture.Width; ++x) {
            const Rgb pixel = PixelAt(picture, x, y);
            if (x < bare.Width && y < bare.Height) {
                EXPECT_EQ(pixel, PixelAt(bare, x, y));
            } else if (x < bare.Width) {
                // Paper, or the ink of the block numbers under the matrix.
                EXPECT_TRUE(pixel == (Rgb{255, 255, 255}) || pixel == (Rgb{0, 0, 0}));
            } else {
                ++legend[{pixel.R, pixel.G, pixel.B}];
            }
        }
    }
    for (const char letter : std::string("DMNSY")) {
        const Rgb colour = ColourOfLetter(letter);
        EXPECT_GT((legend[{colour.R, colour.G, colour.B}]), 0) << letter;
    }
}

// Every name in the legend is drawn whole: no letter of it lacks a glyph.
TEST(RelationPicture, TheFontHasEveryLetterOfTheLegend) {
    for (const RelationKind kind :
         {RelationKind::Diagonal, RelationKind::Mutual, RelationKind::Neither,
          RelationKind::SeesOnly, RelationKind::SeenOnly}) {
        for (const char letter : std::string(NameOf(kind))) {
            if (letter != ' ') {
                EXPECT_NE(GlyphOf(letter), GlyphRows{}) << NameOf(kind) << ": " << letter;
            }
        }
    }
}

// A ring of 300 in which each block sees only itself: nothing but the diagonal.
VisibilityDocument Diagonal300() {
    VisibilityDocument doc;
    doc.BlockCount = 300;
    for (int block = 1; block <= 300; ++block) {
        doc.MarkVisible(block, block - 1);
    }
    return doc;
}

// Ticks under the columns and right of the rows every 50 blocks at 1 pixel a cell, every 10
// at 4 pixels: three digits 2 pixels a dot need 38 pixels side by side.
TEST(RelationPicture, BlockNumbersStandUnderAndBesideTheMatrixEveryTenOrFifty) {
    const VisibilityDocument doc = Diagonal300();
    for (const auto& [cell, step] : {std::pair{1, 50}, std::pair{4, 10}}) {
        SCOPED_TRACE("cell " + std::to_string(cell));
        const RelationPicture picture = RenderRelationPicture(doc, cell, true);
        const int matrix = 300 * cell;
        for (int number = 0; number < 300; ++number) {
            const bool ticked = number % step == 0;
            const int at = number * cell;
            EXPECT_EQ(PixelAt(picture, at, matrix) == (Rgb{0, 0, 0}), ticked) << number;
            EXPECT_EQ(PixelAt(picture, matrix, at) == (Rgb{0, 0, 0}), ticked) << number;
        }
    }
}

// The ink of `picture` inside a box: its leftmost, rightmost, top and bottom pixel.
std::tuple<int, int, int, int> InkBounds(const RelationPicture& picture, int x0, int y0, int x1,
                                         int y1) {
    int left = x1, right = -1, top = y1, bottom = -1;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            if (PixelAt(picture, x, y) == Rgb{0, 0, 0}) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    return {left, right, top, bottom};
}

// At 1 pixel a cell the number 50 is 22 x 14 pixels (2 digits, 2 pixels a dot), after a tick
// of 4 and a gap of 2: under the matrix centred on column 50, right of it centred on row 50.
TEST(RelationPicture, ANumberIsCentredOnItsBlock) {
    const RelationPicture picture = RenderRelationPicture(Diagonal300(), 1, true);
    EXPECT_EQ(InkBounds(picture, 25, 304, 75, picture.Height), std::tuple(39, 60, 306, 319));
    EXPECT_EQ(InkBounds(picture, 304, 30, 340, 70), std::tuple(306, 327, 43, 56));
}

// Beside cells of 1 pixel the key is drawn 2 pixels a dot: a swatch's colour is 7 dots wide.
TEST(RelationPicture, TheLegendReadsBesideCellsOfOnePixel) {
    const RelationPicture picture = RenderRelationPicture(FourBlocks(), 1, true);
    const Rgb mutual = ColourOf(RelationKind::Mutual);
    int widest = 0;
    for (int y = 0; y < picture.Height; ++y) {
        int run = 0;
        for (int x = 4; x < picture.Width; ++x) {  // right of the matrix
            run = PixelAt(picture, x, y) == mutual ? run + 1 : 0;
            widest = std::max(widest, run);
        }
    }
    EXPECT_EQ(widest, 14);
}

TEST(PixelFont, EveryDigitHasAGlyphOfItsOwn) {
    std::set<GlyphRows> glyphs;
    for (char digit = '0'; digit <= '9'; ++digit) {
        EXPECT_NE(GlyphOf(digit), GlyphRows{}) << digit;
        EXPECT_TRUE(glyphs.insert(GlyphOf(digit)).second) << digit;
    }
}

}  // namespace
}  // namespace lumark
