#include <gtest/gtest.h>

#include <set>

#include "GridChecks.h"
#include "ListViewFunktionen.h"
#include "LumarkError.h"
#include "MatrixGrid.h"
#include "MatrixGridModel.h"
#include "ViewDistance.h"
#include "VisibilityDocument.h"

using namespace lumark;

namespace {

// A document of `blocks` blocks in which each block sees only itself, on a built grid.
struct Ring {
    VisibilityDocument doc;
    BlockSelection selection;
    MatrixGridModel grid{doc, selection};

    explicit Ring(std::int16_t blocks) {
        doc.BlockCount = blocks;
        for (int b = 1; b <= blocks; ++b) {
            doc.SetElement(b, b, True16);
        }
        FillMatrixGrid(grid);
    }

    // Block b sees exactly `seen` (and itself when listed).
    void Sees(std::int16_t b, const std::set<int>& seen) {
        for (int j = 1; j <= doc.BlockCount; ++j) {
            doc.SetElement(b, j, seen.count(j) ? True16 : False16);
        }
        FillMatrixGrid(grid);
    }

    void SeesAll(std::int16_t b) {
        for (int j = 1; j <= doc.BlockCount; ++j) {
            doc.SetElement(b, j, True16);
        }
        FillMatrixGrid(grid);
    }

    void Select(std::int16_t b) {
        ListViewFunktionen::SetListViewForeColor(selection, SelectedColour, b + 1);
    }

    std::set<int> SeenBy(std::int16_t b) const {
        std::set<int> seen;
        for (int j = 1; j <= doc.BlockCount; ++j) {
            if (doc.IsVisible(b, j)) {
                seen.insert(j);
            }
        }
        return seen;
    }

    // What block b sees besides itself.
    std::set<int> OthersSeenBy(std::int16_t b) const {
        std::set<int> seen = SeenBy(b);
        seen.erase(b);
        return seen;
    }

    void ExpectGridInStep() const { lumark::ExpectGridInStep(doc, grid); }
};

std::set<int> AllBut(int blocks, const std::set<int>& missing) {
    std::set<int> all;
    for (int b = 1; b <= blocks; ++b) {
        if (!missing.count(b)) {
            all.insert(b);
        }
    }
    return all;
}

}  // namespace

TEST(ViewDistance, IncreaseAddsTheNearestUnseenBlockOnEachSide) {
    Ring ring(6);
    ring.Sees(1, AllBut(6, {4}));  // one unseen block: the walk behind finds it
    ViewDistance::IncreaseViewDistance(ring.doc, 1);
    EXPECT_EQ(ring.SeenBy(1), AllBut(6, {}));
    ring.Sees(3, {3, 4});  // the first step behind block 1 lands on block N
    ViewDistance::IncreaseViewDistance(ring.doc, 3);
    EXPECT_EQ(ring.SeenBy(3), (std::set<int>{2, 3, 4, 5}));
    ring.ExpectGridInStep();
}

// Both additions end in the same set whichever comes first, but an error part-way keeps what
// was done before it, and so shows the order.
TEST(ViewDistance, IncreaseAddsBehindFirst) {
    Ring ring(6);
    ring.Sees(3, AllBut(6, {2, 5}));
    // A watcher that fails at the second change.
    struct FailingSecond : ElementWatcher {
        int changes = 0;
        void ElementChanged(const ElementChange&) override {
            if (++changes == 2) {
                throw LumarkError("second change");
            }
        }
    } failing;
    ring.doc.Watch(&failing);
    EXPECT_THROW(ViewDistance::IncreaseViewDistance(ring.doc, 3), LumarkError);
    EXPECT_TRUE(ring.doc.IsVisible(3, 2)) << "the block behind was added before the one ahead";
}

// A block that sees every block loses exactly the blocks where Decrease's scans start.
TEST(ViewDistance, DecreaseScansStartAboutHalfARingAway) {
    struct Case {
        std::int16_t n, b;
        std::set<int> removed;
    };
    const Case cases[] = {
        {5, 1, {3, 4}},  {5, 2, {5, 4}}, {5, 3, {5, 1}}, {5, 4, {2, 1}},
        {5, 5, {2, 3}},  {7, 1, {5, 4}}, {7, 2, {5, 6}}, {6, 1, {4, 3}},
        {10, 3, {8, 7}}, {2, 1, {2}},    {3, 2, {1, 3}}, {1, 1, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "N " << c.n << ", block " << c.b);
        Ring ring(c.n);
        ring.SeesAll(c.b);
        ViewDistance::DecreaseViewDistance(ring.doc, c.b);
        EXPECT_EQ(ring.SeenBy(c.b), AllBut(c.n, c.removed));
        ring.ExpectGridInStep();
    }
}

// The count is what marks the file changed, so a block with nothing to change still counts.
TEST(ViewDistance, NothingToChangeStillCountsTheBlock) {
    Ring ring(8);
    ring.SeesAll(2);
    ring.Select(2);
    EXPECT_EQ(ViewDistance::IncreaseSelected(ring.doc, ring.selection), 1);
    EXPECT_EQ(ring.SeenBy(2), AllBut(8, {}));

    Ring other(8);
    other.Sees(4, {});
    other.Select(4);
    EXPECT_EQ(ViewDistance::DecreaseSelected(other.doc, other.selection), 1);
    EXPECT_EQ(other.SeenBy(4), std::set<int>{});

    Ring one(1);
    for (auto command : {ViewDistance::IncreaseViewDistance, ViewDistance::DecreaseViewDistance}) {
        command(one.doc, 1);
        EXPECT_EQ(one.SeenBy(1), std::set<int>{1});
    }
}

TEST(ViewDistance, SetMinimumOnlyAdds) {
    Ring ring(10);
    ring.Sees(1, {1, 2, 3, 4, 5});
    ViewDistance::SetMinimumViewDistance(ring.doc, 1, 2);
    EXPECT_EQ(ring.SeenBy(1), (std::set<int>{1, 2, 3, 4, 5, 9, 10}));
    ring.ExpectGridInStep();

    ring.Sees(6, {});  // m = N: every block, itself included
    ViewDistance::SetMinimumViewDistance(ring.doc, 6, 10);
    EXPECT_EQ(ring.SeenBy(6), AllBut(10, {}));
}

TEST(ViewDistance, OnlyTheSelectedBlocksOwnColumnChanges) {
    Ring ring(9);
    ring.Select(2);
    const VisibilityMatrix before = ring.doc.Matrix;
    ViewDistance::IncreaseSelected(ring.doc, ring.selection);
    ViewDistance::SetMinimumSelected(ring.doc, ring.selection, 3);
    for (int c = 1; c <= 9; ++c) {
        if (c == 2) {
            continue;
        }
        for (int r = 1; r <= 9; ++r) {
            EXPECT_EQ(ring.doc.Matrix.Get(c, r), before.Get(c, r)) << c << ", " << r;
        }
    }
    EXPECT_EQ(ring.OthersSeenBy(2), (std::set<int>{8, 9, 1, 3, 4, 5}));
}

TEST(ViewDistance, EverySelectedBlockAndOnlyThoseAndTheSelectionStays) {
    Ring ring(12);
    for (std::int16_t b : {9, 3, 5}) {
        ring.Select(b);
    }
    ListViewFunktionen::SetListViewForeColor(ring.selection, 254,
                                             8);  // not quite red: not selected
    ViewDistance::IncreaseSelected(ring.doc, ring.selection);
    for (int b = 1; b <= 12; ++b) {
        const bool selected = b == 3 || b == 5 || b == 9;
        const std::set<int> expected = selected ? std::set<int>{b - 1, b + 1} : std::set<int>{};
        EXPECT_EQ(ring.OthersSeenBy(static_cast<std::int16_t>(b)), expected) << b;
        EXPECT_EQ(SelectedBlock(ring.selection, static_cast<std::int16_t>(b)), selected) << b;
    }
}

TEST(ViewDistance, NoSelectedBlockCountsNone) {
    Ring ring(5);
    const VisibilityMatrix before = ring.doc.Matrix;
    EXPECT_EQ(ViewDistance::IncreaseSelected(ring.doc, ring.selection), 0);
    EXPECT_EQ(ViewDistance::DecreaseSelected(ring.doc, ring.selection), 0);
    EXPECT_EQ(ViewDistance::SetMinimumSelected(ring.doc, ring.selection, 2), 0);
    EXPECT_TRUE(ring.doc.Matrix == before);
}

TEST(MinimumFromReply, DecimalNumbersRoundHalfToEven) {
    const std::pair<const char*, int> accepted[] = {
        {"5", 5},    {"2.5", 2},    {"3.5", 4},       {"  7  ", 7},       {"\t3\t", 3},
        {"+4", 4},   {"-2", -2},    {"-0.5", 0},      {"4.", 4},          {".6", 1},
        {"1e1", 10}, {"2.4999", 2}, {"32767", 32767}, {"-32768", -32768}, {"32767.4", 32767},
    };
    for (const auto& [reply, m] : accepted) {
        EXPECT_EQ(ViewDistance::MinimumFromReply(reply), std::optional<std::int16_t>(m))
            << '"' << reply << '"';
    }
    const char* const refused[] = {"",    "   ", "abc",     "5a",      "0x10",  "inf",
                                   "nan", "1,5", "32767.5", "-32769",  "1e400", "--1",
                                   ".",   "e5",  "5 5",     "99999999"};
    for (const char* reply : refused) {
        EXPECT_EQ(ViewDistance::MinimumFromReply(reply), std::nullopt) << '"' << reply << '"';
    }
}

TEST(ViewDistance, SetExactLeavesExactlyTheBlocksWithinTheDistanceAlongTheRing) {
    struct Case {
        std::int16_t blocks, block, distance;
        std::set<int> before, after;
    };
    const Case cases[] = {
        // Across the seam: within 2 of block 1 of 7 are 6, 7, 2 and 3; far ones go.
        {7, 1, 2, {1, 2, 3, 4}, {6, 7, 1, 2, 3}},
        // The diagonal is set even when it was clear.
        {7, 4, 0, {1, 3, 5, 7}, {4}},
        // Half of an even ring: the opposite block is within reach from both sides.
        {6, 2, 3, {}, {1, 2, 3, 4, 5, 6}},
        {6, 6, 2, {1, 2, 3, 4, 5, 6}, {4, 5, 6, 1, 2}},
    };
    for (const Case& c : cases) {
        Ring ring(c.blocks);
        ring.Sees(c.block, c.before);
        ViewDistance::SetExactViewDistance(ring.doc, c.block, c.distance);
        EXPECT_EQ(ring.SeenBy(c.block), c.after) << c.blocks << " blocks, block " << c.block;
        for (std::int16_t other = 1; other <= c.blocks; ++other) {
            EXPECT_TRUE(other == c.block || ring.OthersSeenBy(other).empty()) << other;
        }
    }
}
