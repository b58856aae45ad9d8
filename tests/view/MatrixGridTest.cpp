#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "ListViewFunktionen.h"
#include "ListViewModel.h"
#include "LumarkError.h"
#include "LumarkModule.h"
#include "MatrixGrid.h"
#include "MatrixGridModel.h"
#include "VisibilityDocument.h"

using namespace lumark;

namespace {

VisibilityDocument Document(std::int16_t blocks) {
    VisibilityDocument doc;
    doc.VersionText = "1.2";
    doc.BlockCount = blocks;
    return doc;
}

// A grid showing its own document.
struct Shown {
    VisibilityDocument doc;
    BlockSelection selection;
    MatrixGridModel grid{doc, selection};

    void Fill(const VisibilityDocument& shown, GridPlace place = GridPlace::Start) {
        doc = shown;
        FillMatrixGrid(grid, place);
    }
};

}  // namespace

TEST(WrapBlockIndex, TakesOneStepAcrossTheSeam) {
    const std::pair<std::int16_t, std::int16_t> cases[] = {{0, 10}, {-7, 10}, {-50, 10}, {11, 1},
                                                           {25, 1}, {4, 4},   {1, 1},    {10, 10}};
    for (const auto& [index, wrapped] : cases) {
        EXPECT_EQ(LumarkModule::WrapBlockIndex(index, 10), wrapped) << index;
    }
}

TEST(FillMatrixGrid, EmptyDocumentHasOnlyTheHiddenLabelColumn) {
    Shown shown;
    MatrixGridModel& grid = shown.grid;
    shown.Fill(Document(0));
    EXPECT_EQ(grid.ColumnHeaderCount(), 1);
    EXPECT_EQ(grid.ColumnHeaderWidth(1), 0);
    EXPECT_EQ(grid.ColumnHeaderText(1), QString());
    EXPECT_EQ(grid.ListItemCount(), 0);
}

TEST(FillMatrixGrid, KeysHeadersAndItemTexts) {
    Shown shown;
    MatrixGridModel& grid = shown.grid;
    shown.Fill(Document(12));
    ASSERT_EQ(grid.ColumnHeaderCount(), 13);
    ASSERT_EQ(grid.ListItemCount(), 12);
    EXPECT_EQ(grid.ColumnHeaderKey(2), QStringLiteral("B1"));
    EXPECT_EQ(grid.ColumnHeaderText(2), QStringLiteral("0"));
    EXPECT_EQ(grid.ColumnHeaderKey(13), QStringLiteral("B12"));
    EXPECT_EQ(grid.ColumnHeaderText(13), QStringLiteral("11"));
    EXPECT_EQ(grid.ColumnHeaderWidth(13), 550);
    EXPECT_EQ(grid.ListItemKey(1), QStringLiteral("Z1"));
    EXPECT_EQ(grid.ItemText(12), QStringLiteral("11"));
}

TEST(FillMatrixGrid, OneBlockShowsItsDiagonalWhateverTheElementHolds) {
    for (std::int16_t value : {True16, False16}) {
        VisibilityDocument doc = Document(1);
        doc.SetElement(1, 1, value);
        Shown shown;
        MatrixGridModel& grid = shown.grid;
        shown.Fill(doc);
        ASSERT_EQ(grid.ColumnHeaderCount(), 2);
        EXPECT_EQ(grid.SubItemText(1, 1), QStringLiteral("(0)"));
    }
}

TEST(FillMatrixGrid, TrueElementShowsItsRowNumberInItsColumn) {
    VisibilityDocument doc = Document(10);
    doc.SetElement(3, 8, True16);
    Shown shown;
    MatrixGridModel& grid = shown.grid;
    shown.Fill(doc);
    EXPECT_EQ(grid.SubItemText(8, 3), QStringLiteral("7"));      // row 8, column headed 2
    EXPECT_EQ(grid.SubItemText(3, 8), QStringLiteral("  ---"));  // the mirror is not set
    EXPECT_EQ(grid.SubItemText(8, 8), QStringLiteral("(7)"));
}

TEST(FillMatrixGrid, LoadingFewerBlocksLeavesNothingOfTheLargerGrid) {
    Shown shown;
    MatrixGridModel& grid = shown.grid;
    shown.Fill(Document(8));
    ListViewFunktionen::SetListViewForeColor(shown.selection, 255, 3);
    shown.Fill(Document(3));
    EXPECT_EQ(grid.ColumnHeaderCount(), 4);
    EXPECT_EQ(grid.ListItemCount(), 3);
    for (int r = 1; r <= 3; ++r) {
        for (int c = 1; c <= 3; ++c) {
            EXPECT_EQ(grid.SubItemForeColour(r, c), SystemWindowTextColour);
        }
    }
}

// Fault caught: a reload of the same file dropped the user's selection.
TEST(FillMatrixGrid, KeptPlaceKeepsTheSelectedBlocksTheDocumentStillHas) {
    // The place, the blocks read again, the selection afterwards of blocks 2, 5 and 6 of 6.
    const std::tuple<GridPlace, std::int16_t, std::set<int>> cases[] = {
        {GridPlace::Kept, 8, {2, 5, 6}}, {GridPlace::Kept, 5, {2, 5}}, {GridPlace::Start, 6, {}}};
    for (const auto& [place, blocks, kept] : cases) {
        Shown shown;
        MatrixGridModel& grid = shown.grid;
        shown.Fill(Document(6));
        for (const int b : {2, 5, 6}) {
            ListViewFunktionen::SetListViewForeColor(shown.selection, SelectedColour, b + 1);
        }
        bool told = false;  // views hear whether to keep their place while the reset is announced
        QObject::connect(&grid, &QAbstractItemModel::modelReset,
                         [&] { told = grid.RebuildKeepsPlace(); });
        shown.Fill(Document(blocks), place);
        std::set<int> selected;
        for (std::int16_t b = 1; b <= blocks; ++b) {
            if (SelectedBlock(shown.selection, b) &&
                grid.SubItemForeColour(1, b) == SelectedColour) {
                selected.insert(b);  // the whole column, not only its diagonal cell
            }
        }
        EXPECT_EQ(selected, kept) << blocks;
        EXPECT_EQ(told, place == GridPlace::Kept) << blocks;
    }
}
