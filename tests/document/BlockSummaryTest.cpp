#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BlockSummary.h"
#include "LumarkError.h"
#include "RingDocument.h"

namespace lumark {
namespace {

// sees[n] lists the 0-based numbers block n sees.
VisibilityDocument Relation(const std::vector<std::vector<int>>& sees) {
    VisibilityDocument doc;
    doc.BlockCount = static_cast<std::int16_t>(sees.size());
    for (std::size_t n = 0; n < sees.size(); ++n) {
        for (const int seen : sees[n]) {
            doc.MarkVisible(static_cast<int>(n) + 1, seen);
        }
    }
    return doc;
}

TEST(BlockSummary, HandWorkedRelations) {
    // Block 0 sees every even block to 12 unseen; 15 and 17 see it unseen.
    std::vector<std::vector<int>> evens(20);
    evens[0] = {0, 2, 4, 6, 8, 10, 12};
    evens[15] = {0};
    evens[17] = {0};
    // Block 3 sees two runs with a hole, and nobody sees it back.
    std::vector<std::vector<int>> holes(10);
    holes[3] = {1, 2, 3, 6, 7};
    // Block 2 is seen from 5 to 9 unseen, in ranges cut after 5 numbers.
    std::vector<std::vector<int>> seenFrom(20);
    for (const int n : {5, 6, 7, 9, 11, 12, 14}) {
        seenFrom[static_cast<std::size_t>(n)] = {2};
    }
    const struct {
        VisibilityDocument doc;
        int block;
        const char* text;
    } cases[] = {
        {MakeRingDocument(300, 20, "1.2"), 251,
         "block 250: sees 230-270 (41), seen by 230-270 (41), 0 one-way"},
        {MakeRingDocument(300, 8, "1.2"), 298,
         "block 297: sees 289-5 (17), seen by 289-5 (17), 0 one-way"},
        {MakeRingDocument(10, 1, "1.2"), 1, "block 0: sees 9-1 (3), seen by 9-1 (3), 0 one-way"},
        {Relation(holes), 4, "block 3: sees 1-3, 6-7 (5), seen by 3 (1), 4 one-way out (1-2, 6-7)"},
        {Relation(holes), 2, "block 1: sees none (0), seen by 3 (1), 1 one-way in (3)"},
        {Relation(evens), 1,
         "block 0: sees 0, 2, 4, 6, 8, 10, 12 (7), seen by 0, 15, 17 (3), "
         "6 one-way out (2, 4, 6, 8, 10 and 1 more), 2 one-way in (15, 17)"},
        {Relation(seenFrom), 3,
         "block 2: sees none (0), seen by 5-7, 9, 11-12, 14 (7), "
         "7 one-way in (5-7, 9, 11-12 and 1 more)"},
        {Relation(holes), 5, "block 4: sees none (0), seen by none (0), 0 one-way"},
        {MakeRingDocument(4, 2, "1.2"), 3, "block 2: sees 0-3 (4), seen by 0-3 (4), 0 one-way"},
        {MakeRingDocument(1, 0, "1.2"), 1, "block 0: sees 0 (1), seen by 0 (1), 0 one-way"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BlockSummary(c.doc, c.block), c.text);
    }
}

TEST(BlockSummary, RefusesABlockOutsideTheRing) {
    const VisibilityDocument doc = MakeRingDocument(10, 1, "1.2");
    EXPECT_THROW(BlockSummary(doc, 0), LumarkError);
    EXPECT_THROW(BlockSummary(doc, 11), LumarkError);
    EXPECT_THROW(FiguresOf(VisibilityDocument{}, 1), LumarkError);
}

TEST(FiguresOf, RunsAroundTheBlockAndHoles) {
    std::vector<std::vector<int>> oddOnes(10);
    oddOnes[3] = {1, 2, 3, 6, 7};              // a hole ahead
    oddOnes[5] = {4, 6};                       // both neighbours, not itself
    oddOnes[0] = {1, 2, 3, 4, 5, 6, 7, 8, 9};  // everything but itself
    oddOnes[8] = {8, 9, 0, 1, 7};              // a run across the seam
    const struct {
        VisibilityDocument doc;
        int block;
        BlockFigures figures;
    } cases[] = {
        {MakeRingDocument(10, 2, "1.2"), 1, {5, 5, 2, 2, 0, 0, false}},
        {Relation(oddOnes), 4, {5, 2, 2, 0, 4, 1, true}},
        {Relation(oddOnes), 6, {2, 1, 1, 1, 2, 1, false}},
        {Relation(oddOnes), 1, {9, 1, 9, 9, 8, 0, false}},
        {Relation(oddOnes), 9, {5, 2, 1, 3, 3, 0, false}},
        {Relation(oddOnes), 3, {0, 2, 0, 0, 0, 2, false}},
    };
    for (const auto& c : cases) {
        const BlockFigures f = FiguresOf(c.doc, c.block);
        const BlockFigures& e = c.figures;
        EXPECT_EQ(f.Sees, e.Sees) << c.block;
        EXPECT_EQ(f.SeenBy, e.SeenBy) << c.block;
        EXPECT_EQ(f.Back, e.Back) << c.block;
        EXPECT_EQ(f.Ahead, e.Ahead) << c.block;
        EXPECT_EQ(f.OneWayOut, e.OneWayOut) << c.block;
        EXPECT_EQ(f.OneWayIn, e.OneWayIn) << c.block;
        EXPECT_EQ(f.Holes, e.Holes) << c.block;
    }
}

}  // namespace
}  // namespace lumark
