#include <gtest/gtest.h>

#include <set>

#include "EditHistory.h"
#include "GridChecks.h"
#include "ListViewFunktionen.h"
#include "MatrixEdits.h"
#include "MatrixGrid.h"
#include "ViewDistance.h"
#include "VisibilityDocument.h"

namespace lumark {
namespace {

// `blocks` blocks whose visibility lists are given (1-based indices), on a built grid.
struct Relation {
    VisibilityDocument doc;
    ListViewModel grid;

    Relation(std::int16_t blocks, const std::vector<std::set<int>>& seen) {
        doc.VersionText = "1.2";
        doc.BlockCount = blocks;
        for (std::size_t c = 0; c < seen.size(); ++c) {
            for (const int r : seen[c]) {
                doc.Matrix.Set(static_cast<int>(c) + 1, r, True16);
            }
        }
        FillMatrixGrid(doc, grid);
    }

    std::set<int> SeenBy(int c) const {
        std::set<int> seen;
        for (int r = 1; r <= doc.BlockCount; ++r) {
            if (doc.IsVisible(c, r)) {
                seen.insert(r);
            }
        }
        return seen;
    }
};

TEST(SetExactViewDistance, ListsExactlyTheBlocksWithinTheDistanceAlongTheRing) {
    struct Case {
        std::int16_t blocks, block, distance;
        std::set<int> before, after;
    };
    const Case cases[] = {
        // Across the seam: within 2 of block 1 of 7 are 6, 7, 2 and 3; far ones go.
        {7, 1, 2, {1, 2, 3, 4}, {6, 7, 1, 2, 3}},
        // The diagonal is set even when it was clear; nothing else stays at 0.
        {7, 4, 0, {1, 3, 5, 7}, {4}},
        {5, 3, 1, {1, 2, 5}, {2, 3, 4}},
        // Half of an even ring: the opposite block is within reach from both sides.
        {6, 2, 3, {}, {1, 2, 3, 4, 5, 6}},
        {6, 6, 2, {1, 2, 3, 4, 5, 6}, {4, 5, 6, 1, 2}},
    };
    for (const Case& c : cases) {
        std::vector<std::set<int>> seen(static_cast<std::size_t>(c.blocks), std::set<int>{1});
        seen[static_cast<std::size_t>(c.block - 1)] = c.before;
        Relation relation(c.blocks, seen);
        ViewDistance::SetExactViewDistance(relation.doc, relation.grid, c.block, c.distance);
        EXPECT_EQ(relation.SeenBy(c.block), c.after) << c.blocks << " blocks, block " << c.block;
        for (int other = 1; other <= c.blocks; ++other) {
            if (other != c.block) {
                EXPECT_EQ(relation.SeenBy(other), std::set<int>{1}) << "column " << other;
            }
        }
        ExpectGridInStep(relation.doc, relation.grid);
    }
}

TEST(SetExactViewDistance, OnlySelectedColumnsChange) {
    Relation relation(8, std::vector<std::set<int>>(8, std::set<int>{}));
    for (const int b : {2, 7}) {
        ListViewFunktionen::SetListViewForeColor(relation.grid, SelectedColour, b + 1, 0);
    }
    ViewDistance::SetExactSelected(relation.doc, relation.grid, 1);
    EXPECT_EQ(relation.SeenBy(2), (std::set<int>{1, 2, 3}));
    EXPECT_EQ(relation.SeenBy(7), (std::set<int>{6, 7, 8}));
    EXPECT_EQ(relation.SeenBy(1), std::set<int>{});
    EXPECT_EQ(relation.SeenBy(3), std::set<int>{});
}

TEST(ExactDistanceFromReply, TakesSetMinimumRepliesFromZeroToHalfTheRing) {
    EXPECT_EQ(ViewDistance::ExactDistanceFromReply(" 3 ", 7), 3);
    EXPECT_EQ(ViewDistance::ExactDistanceFromReply("0", 7), 0);
    EXPECT_EQ(ViewDistance::ExactDistanceFromReply("2.5", 7), 2);  // halves to the even neighbour
    EXPECT_EQ(ViewDistance::ExactDistanceFromReply("150", 300), 150);
    EXPECT_EQ(ViewDistance::ExactDistanceFromReply("151", 300), std::nullopt);
    for (const char* refused : {"4", "-1", "", "two", "3 blocks", "99999"}) {
        EXPECT_EQ(ViewDistance::ExactDistanceFromReply(refused, 7), std::nullopt) << refused;
    }
}

TEST(RemoveOneWayVisibility, PairsSeenOneWayBecomeSeenNeitherWay) {
    // 2 and 1 see each other; 1 sees 3 but not back; 4 sees 2 but not back; 3 does not see
    // itself. Afterwards only the mutual pair and the diagonal are left.
    Relation relation(4, {{1, 2, 3}, {1, 2}, {}, {2, 4}});
    relation.doc.UnsavedChanges = false;
    EXPECT_EQ(RemoveOneWayVisibility(relation.doc, relation.grid), 2);
    EXPECT_EQ(relation.SeenBy(1), (std::set<int>{1, 2}));
    EXPECT_EQ(relation.SeenBy(2), (std::set<int>{1, 2}));
    EXPECT_EQ(relation.SeenBy(3), std::set<int>{});
    EXPECT_EQ(relation.SeenBy(4), std::set<int>{4});
    ExpectGridInStep(relation.doc, relation.grid);
    EXPECT_FALSE(relation.doc.UnsavedChanges);  // the history's business

    const VisibilityMatrix mutual = relation.doc.Matrix;
    EXPECT_EQ(RemoveOneWayVisibility(relation.doc, relation.grid), 0);
    EXPECT_TRUE(relation.doc.Matrix == mutual);
}

TEST(EditHistory, AStepAwayFromTheSavedStateMarksTheDocumentUnsaved) {
    Relation relation(4, {{1, 3}, {}, {}, {}});
    EditHistory history(relation.doc, relation.grid);
    history.MarkSaved();
    relation.doc.UnsavedChanges = false;
    history.Record(QStringLiteral("Remove one-way"),
                   [&] { RemoveOneWayVisibility(relation.doc, relation.grid); });
    EXPECT_TRUE(relation.doc.UnsavedChanges);
    history.Undo();
    EXPECT_FALSE(relation.doc.UnsavedChanges);
    EXPECT_TRUE(relation.doc.IsVisible(1, 3));

    // An action that changed nothing is no step and leaves the flag alone.
    history.Record(QStringLiteral("nothing"), [] {});
    EXPECT_FALSE(relation.doc.UnsavedChanges);
}

}  // namespace
}  // namespace lumark
