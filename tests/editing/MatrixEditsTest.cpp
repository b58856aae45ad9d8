#include <gtest/gtest.h>

#include <ostream>
#include <random>
#include <set>

#include "GridChecks.h"
#include "ListViewFunktionen.h"
#include "LumarkError.h"
#include "MatrixEdits.h"
#include "MatrixGrid.h"
#include "MatrixGridModel.h"
#include "VisibilityDocument.h"

using namespace lumark;

namespace {

struct Edited {
    VisibilityDocument doc;
    BlockSelection selection;
    MatrixGridModel grid{doc, selection};

    explicit Edited(std::int16_t blocks) {
        doc.VersionText = "1.2";
        doc.BlockCount = blocks;
        FillMatrixGrid(grid);
    }

    void SetColumn(std::int16_t c, std::int16_t value) {
        for (int r = 1; r <= doc.BlockCount; ++r) {
            doc.SetElement(c, r, value);
        }
        FillMatrixGrid(grid);
    }

    void ExpectGridInStep() const { lumark::ExpectGridInStep(doc, grid); }
};

std::set<int> Range(int from, int to) {
    std::set<int> blocks;
    for (int b = from; b <= to; ++b) {
        blocks.insert(b);
    }
    return blocks;
}

std::set<int> operator+(std::set<int> a, const std::set<int>& b) {
    a.insert(b.begin(), b.end());
    return a;
}

}  // namespace

TEST(ToggleVisibilityCell, TogglingTwiceRestoresElementAndText) {
    Edited e(10);
    std::int16_t c = 3;
    std::int16_t r = 5;
    ToggleVisibilityCell(e.doc, c, r);
    EXPECT_TRUE(e.doc.IsVisible(3, 5));
    EXPECT_FALSE(e.doc.IsVisible(5, 3));
    EXPECT_EQ(e.grid.SubItemText(5, 3), QStringLiteral("4"));
    ToggleVisibilityCell(e.doc, c, r);
    EXPECT_EQ(e.doc.Matrix.Get(3, 5), False16);
    EXPECT_EQ(e.grid.SubItemText(5, 3), QStringLiteral("  ---"));

    std::int16_t b = 7;  // the diagonal keeps its parentheses either way
    for (std::int16_t expected : {True16, False16}) {
        ToggleVisibilityCell(e.doc, b, b);
        EXPECT_EQ(e.doc.Matrix.Get(7, 7), expected);
        EXPECT_EQ(e.grid.SubItemText(7, 7), QStringLiteral("(6)"));
    }
}

TEST(ToggleVisibilityCell, IndicesAreCheckedNotWrappedButTheCellIs) {
    Edited e(10);
    std::int16_t zero = 0;
    std::int16_t four = 4;
    ToggleVisibilityCell(e.doc, four, zero);  // an element without a cell
    EXPECT_EQ(e.doc.Matrix.Get(4, 0), True16);
    e.ExpectGridInStep();

    std::int16_t past = 11;  // one past the last block: the element flips, the cell of block 1
    ToggleVisibilityCell(e.doc, four, past);
    EXPECT_EQ(e.doc.Matrix.Get(4, 11), True16);
    EXPECT_EQ(past, 1);

    std::int16_t beyond = 301;
    EXPECT_THROW(ToggleVisibilityCell(e.doc, four, beyond), LumarkError);
}

TEST(SetVisibilityEdge, SetsThePathAndClearsUpToTheLimit) {
    struct Case {
        std::int16_t n, c, r;
        std::set<int> set;      // made visible
        std::set<int> cleared;  // made invisible
        const char* what;
    };
    const Case cases[] = {
        {30, 10, 14, Range(11, 14), Range(15, 19), "ahead"},
        {30, 10, 7, Range(7, 9), Range(1, 6), "behind; the limit 30 is kept"},
        {30, 3, 1, {1, 2}, Range(24, 30), "behind, clearing across the seam"},
        {30, 28, 2, Range(29, 30) + Range(1, 2), Range(3, 7), "ahead, the path across the seam"},
        {30, 10, 10, {}, Range(11, 19), "on the diagonal: counts as ahead"},
        {31, 20, 12, Range(12, 19), {10, 11}, "behind: the limit is 11 blocks away"},
        {31, 20, 10, Range(10, 19), {}, "behind, next to the limit"},
        {31, 20, 21, {21}, Range(22, 29), "ahead: the limit is 10 blocks away"},
        {31, 20, 29, Range(21, 29), {}, "ahead, next to the limit"},
        {30, 10, 20, Range(11, 20), {}, "on the limit: nothing cleared"},
        {30, 10, 25, Range(11, 25), {}, "beyond the limit, a tie: nothing cleared"},
        {31, 20, 5, Range(5, 19), {}, "beyond the limit behind: nothing cleared"},
        {2, 1, 1, {}, {}, "two blocks, on the diagonal"},
        {1, 1, 1, {}, {}, "one block"},
    };
    for (const Case& k : cases) {
        for (std::int16_t start : {False16, True16}) {
            SCOPED_TRACE(testing::Message() << k.what << ": n " << k.n << ", c " << k.c << ", r "
                                            << k.r << ", column starting " << start);
            Edited e(k.n);
            if (k.r != k.c) {
                e.doc.SetElement(k.r, k.c, True16);  // the mirror must stay as it is
            }
            e.SetColumn(k.c, start);
            ListViewFunktionen::SetListViewForeColor(e.selection, SelectedColour, k.c + 1);
            std::int16_t c = k.c;
            std::int16_t r = k.r;
            SetVisibilityEdge(e.doc, c, r);
            EXPECT_EQ(c, k.c);
            EXPECT_EQ(r, k.r);
            for (int x = 1; x <= k.n; ++x) {
                const std::int16_t expected = k.set.count(x)       ? True16
                                              : k.cleared.count(x) ? False16
                                                                   : start;
                EXPECT_EQ(e.doc.Matrix.Get(k.c, x), expected)
                    << "element (" << k.c << ", " << x << ")";
            }
            if (k.r != k.c) {
                EXPECT_EQ(e.doc.Matrix.Get(k.r, k.c), True16);
            }
            e.ExpectGridInStep();
            EXPECT_TRUE(SelectedBlock(e.selection, k.c));  // colours untouched
            EXPECT_EQ(e.grid.SubItemForeColour(k.r, k.c), SelectedColour);
        }
    }
}

TEST(SetVisibilityEdge, IndexOutsideTheRingIsAnError) {
    Edited e(10);
    for (auto [column, row] : {std::pair{0, 3}, {3, 0}, {11, 3}, {3, 11}}) {
        std::int16_t c = static_cast<std::int16_t>(column);
        std::int16_t r = static_cast<std::int16_t>(row);
        EXPECT_THROW(SetVisibilityEdge(e.doc, c, r), LumarkError) << column << ", " << row;
    }
}

TEST(MakeVisibilityMutual, MirrorsALoneElementOnce) {
    Edited e(6);
    e.doc.SetElement(2, 5, True16);
    ListViewFunktionen::SetListViewForeColor(e.selection, SelectedColour, 5 + 1);
    EXPECT_EQ(MakeVisibilityMutual(e.doc), 1);
    EXPECT_EQ(e.doc.Matrix.Get(5, 2), True16);
    EXPECT_EQ(e.grid.SubItemText(2, 5), QStringLiteral("1"));  // row 2, the column headed 4
    EXPECT_TRUE(SelectedBlock(e.selection, 5));
    EXPECT_EQ(MakeVisibilityMutual(e.doc), 0);
}

TEST(MakeVisibilityMutual, NothingToMirrorChangesNothing) {
    Edited e(5);
    e.doc.SetElement(1, 4, True16);
    e.doc.SetElement(4, 1, True16);
    e.doc.SetElement(3, 3, True16);
    const VisibilityMatrix before = e.doc.Matrix;
    EXPECT_EQ(MakeVisibilityMutual(e.doc), 0);
    EXPECT_TRUE(e.doc.Matrix == before);
    Edited empty(0);
    EXPECT_EQ(MakeVisibilityMutual(empty.doc), 0);
}

TEST(MakeVisibilityMutual, JoinsTheMatrixWithItsMirror) {
    Edited e(40);
    std::mt19937 random(7);
    for (int c = 1; c <= 40; ++c) {
        for (int r = 1; r <= 40; ++r) {
            e.doc.SetElement(c, r, random() % 5 == 0 ? True16 : False16);
        }
    }
    e.doc.SetElement(41, 2, True16);  // outside the document: neither read nor mirrored
    FillMatrixGrid(e.grid);
    const VisibilityMatrix before = e.doc.Matrix;
    int expectedChanges = 0;
    for (int c = 1; c <= 40; ++c) {
        for (int r = 1; r <= 40; ++r) {
            expectedChanges += before.Get(r, c) == True16 && before.Get(c, r) != True16;
        }
    }
    EXPECT_EQ(MakeVisibilityMutual(e.doc), expectedChanges);
    for (int c = 1; c <= 40; ++c) {
        for (int r = 1; r <= 40; ++r) {
            const bool either = before.Get(c, r) == True16 || before.Get(r, c) == True16;
            ASSERT_EQ(e.doc.Matrix.Get(c, r), either ? True16 : False16) << c << ", " << r;
        }
    }
    EXPECT_EQ(e.doc.Matrix.Get(2, 41), False16);
    e.ExpectGridInStep();
}

TEST(RemoveOneWayVisibility, PairsSeenOneWayBecomeSeenNeitherWay) {
    // 1 and 2 see each other; 1 sees 3 but not back; 4 sees 2 but not back; 3 does not see
    // itself. Afterwards only the mutual pair and the diagonal are left.
    Edited e(4);
    for (const auto& [c, r] : {std::pair{1, 1}, {1, 2}, {1, 3}, {2, 1}, {2, 2}, {4, 2}, {4, 4}}) {
        e.doc.SetElement(c, r, True16);
    }
    FillMatrixGrid(e.grid);
    EXPECT_EQ(RemoveOneWayVisibility(e.doc), 2);
    VisibilityDocument expected;
    for (const auto& [c, r] : {std::pair{1, 1}, {1, 2}, {2, 1}, {2, 2}, {4, 4}}) {
        expected.SetElement(c, r, True16);
    }
    EXPECT_TRUE(e.doc.Matrix == expected.Matrix);
    e.ExpectGridInStep();
    EXPECT_EQ(RemoveOneWayVisibility(e.doc), 0);
}

namespace lumark {

bool operator==(const ElementChange& a, const ElementChange& b) {
    return a.Column == b.Column && a.Row == b.Row && a.Before == b.Before && a.After == b.After;
}

std::ostream& operator<<(std::ostream& out, const ElementChange& change) {
    return out << "(" << change.Column << ", " << change.Row << ": " << change.Before << " -> "
               << change.After << ")";
}

}  // namespace lumark

namespace {

using Changes = std::vector<ElementChange>;

}  // namespace

TEST(MatrixChangeRecorder, RecordsOnlyTheElementsThatChangedInTheirOrder) {
    Edited e(30);
    e.doc.SetElement(10, 12, True16);  // already on the edge's path
    e.doc.SetElement(10, 16, True16);  // to be cleared
    e.doc.SetElement(10, 18, True16);
    MatrixChangeRecorder recorder(e.doc);
    std::int16_t c = 10;
    std::int16_t r = 14;
    SetVisibilityEdge(e.doc, c, r);
    // The path walks from the clicked block towards the column's, the clearing away from it.
    EXPECT_EQ(
        recorder.Changes(),
        (Changes{
            {10, 14, 0, -1}, {10, 13, 0, -1}, {10, 11, 0, -1}, {10, 16, -1, 0}, {10, 18, -1, 0}}));
    ASSERT_TRUE(recorder.FirstCellEdit());
    EXPECT_EQ(recorder.FirstCellEdit()->Operation, CellEdit::Kind::Edge);
    EXPECT_EQ(recorder.FirstCellEdit()->Row, 14);

    std::int16_t again = 14;
    SetVisibilityEdge(e.doc, c, again);  // the same edge again changes nothing
    EXPECT_EQ(recorder.Changes().size(), 5u);
}

TEST(MatrixChangeRecorder, ToggleAndCrossReportWhatTheyChanged) {
    Edited e(6);
    e.doc.SetElement(2, 5, True16);
    e.doc.SetElement(3, 4, True16);
    e.doc.SetElement(4, 3, True16);  // already mutual
    MatrixChangeRecorder recorder(e.doc);
    EXPECT_EQ(MakeVisibilityMutual(e.doc), 1);
    std::int16_t zero = 0;  // an element without a cell is still an element
    std::int16_t one = 1;
    ToggleVisibilityCell(e.doc, one, zero);
    EXPECT_EQ(recorder.Changes(), (Changes{{5, 2, 0, -1}, {1, 0, 0, -1}}));
    EXPECT_EQ(recorder.FirstCellEdit()->Operation, CellEdit::Kind::Toggle);
}

TEST(MatrixChangeRecorder, HearsOnlyItsOwnDocument) {
    Edited e(5);
    Edited other(5);
    MatrixChangeRecorder recorder(e.doc);
    std::int16_t c = 2;
    std::int16_t r = 3;
    ToggleVisibilityCell(other.doc, c, r);
    EXPECT_TRUE(recorder.Changes().empty());
    ToggleVisibilityCell(e.doc, c, r);
    EXPECT_EQ(recorder.Changes(), (Changes{{2, 3, 0, -1}}));
}
