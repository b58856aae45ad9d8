#include <gtest/gtest.h>

#include <QRect>
#include <utility>

#include "OverviewPicture.h"
#include "WindowPlacement.h"

using namespace lumark;

namespace {

// Ten blocks, each seeing itself; block 2 (index 3) sees block 7 (index 8), and block 1
// (index 2) sees its neighbour 2 (index 3), both one way only.
VisibilityDocument OneWayPairs() {
    VisibilityDocument doc;
    doc.VersionText = "1.2";
    doc.BlockCount = 10;
    for (int b = 1; b <= 10; ++b) {
        doc.SetElement(b, b, True16);
    }
    doc.SetElement(3, 8, True16);
    doc.SetElement(2, 3, True16);
    return doc;
}

Rgb PixelAt(const RelationPicture& picture, int x, int y) {
    const std::uint8_t* p =
        picture.Pixels.data() + (static_cast<std::size_t>(y) * picture.Width + x) * 3;
    return {p[0], p[1], p[2]};
}

}  // namespace

TEST(OverviewPicture, OneWaySpotsAreThreePixelsAtLeastAndKeepTheirNeighboursSquares) {
    const VisibilityDocument doc = OneWayPairs();
    const Rgb sees = ColourOf(RelationKind::SeesOnly);
    const Rgb seen = ColourOf(RelationKind::SeenOnly);
    const Rgb neither = ColourOf(RelationKind::Neither);
    const Rgb itself = ColourOf(RelationKind::Diagonal);
    struct Case {
        int cell;
        int x0, y0, x1, y1;  // the one-way spot of element (3, 8), pixels inclusive
    };
    // Element (3, 8) starts at pixel ((3 - 1) * cell, (8 - 1) * cell).
    const Case cases[] = {
        {1, 1, 6, 3, 8},    // its one pixel, one more on each side
        {2, 3, 13, 5, 15},  // its four pixels and one more before each
    };
    for (const Case& c : cases) {
        const RelationPicture picture = OverviewPicture(doc, c.cell);
        ASSERT_EQ(picture.Width, 10 * c.cell);
        for (int y = c.y0 - 1; y <= c.y1 + 1; ++y) {
            for (int x = c.x0 - 1; x <= c.x1 + 1; ++x) {
                const bool inside = x >= c.x0 && x <= c.x1 && y >= c.y0 && y <= c.y1;
                EXPECT_EQ(PixelAt(picture, x, y), inside ? sees : neither)
                    << "cell " << c.cell << " at " << x << ", " << y;
            }
        }
        // Its mirror (8, 3) the other way; one-way neighbours beside the diagonal keep their
        // own squares, and the diagonal stays whole.
        EXPECT_EQ(PixelAt(picture, 7 * c.cell, 2 * c.cell), seen) << c.cell;
        EXPECT_EQ(PixelAt(picture, 1 * c.cell, 2 * c.cell), sees) << c.cell;
        EXPECT_EQ(PixelAt(picture, 2 * c.cell, 1 * c.cell), seen) << c.cell;
        EXPECT_EQ(PixelAt(picture, 1 * c.cell, 1 * c.cell), itself) << c.cell;
        EXPECT_EQ(PixelAt(picture, 2 * c.cell, 2 * c.cell), itself) << c.cell;
    }
}

TEST(OverviewPicture, NumbersEveryTenBlocksWhenTheyFitElseEveryFifty) {
    // (square side, number width) -> step; a number needs its width and 4 pixels of gap.
    const std::pair<std::pair<int, int>, int> cases[] = {
        {{1, 18}, 50}, {{2, 16}, 10}, {{2, 17}, 50}, {{3, 26}, 10}, {{15, 18}, 10},
    };
    for (const auto& [in, step] : cases) {
        EXPECT_EQ(NumberStep(in.first, in.second), step) << in.first << ", " << in.second;
    }
}

TEST(WindowPlacement, BesideTheMainWindowWhereASideHasRoomElseBelowItsControls) {
    // A window that wants 862 x 671 and can live with 350 x 700 over the main window.
    const QRect screen(0, 0, 1600, 1000);
    const QSize wanted(862, 671);
    const QSize least(350, 700);
    struct Case {
        const char* what;
        QRect main;
        int controlsBottom;
        QSize wanted;
        QRect placed;
    };
    // clang-format off
    const Case cases[] = {
        {"whole on the right", {100, 100, 500, 600}, 160, wanted, {600, 100, 862, 671}},
        {"whole on the left", {1000, 100, 500, 600}, 160, wanted, {138, 100, 862, 671}},
        {"600 free on the right: all of it", {300, 150, 700, 700}, 210, wanted,
             {1000, 150, 600, 671}},
        {"exactly 400 on the left", {400, 100, 1150, 700}, 160, wanted, {0, 100, 400, 671}},
        {"399 each side: below the controls", {399, 0, 802, 900}, 60, wanted,
             {738, 61, 862, 671}},
        {"taller than the room below: over the controls no more than it must", {0, 0, 1600, 980},
             500, {600, 900}, {1000, 300, 600, 700}},
        {"beside, moved up into the screen", {100, 500, 500, 400}, 560, wanted,
             {600, 329, 862, 671}},
    };
    // clang-format on
    for (const Case& c : cases) {
        EXPECT_EQ(PlaceBeside(c.main, c.controlsBottom, c.wanted, least, screen), c.placed)
            << c.what;
    }
}
