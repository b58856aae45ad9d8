#include <QCoreApplication>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include "ListViewFunktionen.h"
#include "LumarkError.h"

using namespace lumark;

namespace {

constexpr std::uint32_t Red = SelectedColour;
constexpr std::uint32_t Default = SystemWindowTextColour;

// A list of the grid's shape for `blocks` blocks: `blocks` rows and a label column plus one
// column per block.
void Build(ListViewModel& grid, std::int16_t blocks) {
    grid.BeginRebuild();
    grid.ClearListItems();
    grid.ClearColumnHeaders();
    grid.AddColumnHeader(QString(), QString(), 0);
    for (int b = 1; b <= blocks; ++b) {
        grid.AddColumnHeader(QStringLiteral("B%1").arg(b), QString::number(b - 1), 550);
    }
    for (int b = 1; b <= blocks; ++b) {
        grid.AddListItem(b, QStringLiteral("Z%1").arg(b), QString::number(b - 1));
    }
    grid.EndRebuild();
}

// Colour of every cell, row by row; column 0 is the item's own text.
std::vector<std::vector<std::uint32_t>> Colours(const ListViewModel& grid) {
    std::vector<std::vector<std::uint32_t>> rows;
    for (int r = 1; r <= grid.ListItemCount(); ++r) {
        std::vector<std::uint32_t> row{grid.ItemForeColour(r)};
        for (int k = 1; k < grid.ColumnHeaderCount(); ++k) {
            row.push_back(grid.SubItemForeColour(r, k));
        }
        rows.push_back(row);
    }
    return rows;
}

int RefreshesAfterEventLoopTurn(ListViewModel& grid, const std::function<void()>& action) {
    QCoreApplication::processEvents();
    QSignalSpy refreshes(&grid, &ListViewModel::RefreshRequested);
    action();
    QCoreApplication::processEvents();
    return static_cast<int>(refreshes.count());
}

}  // namespace

TEST(SetListViewForeColor, ColumnAndRowChooseTheCells) {
    const std::uint32_t R = Red;
    const std::uint32_t D = Default;
    struct Case {
        std::int32_t column;
        std::int32_t row;
        std::vector<std::vector<std::uint32_t>> expected;  // 3 rows: item text, sub-items 1..3
    };
    const Case cases[] = {
        {0, 2, {{D, D, D, D}, {R, R, R, R}, {D, D, D, D}}},   // a whole row
        {0, 0, {{R, R, R, R}, {R, R, R, R}, {R, R, R, R}}},   // everything
        {1, 0, {{R, D, D, D}, {R, D, D, D}, {R, D, D, D}}},   // the hidden label column
        {1, 3, {{D, D, D, D}, {D, D, D, D}, {R, D, D, D}}},   // one item text
        {3, -4, {{D, D, R, D}, {D, D, R, D}, {D, D, R, D}}},  // block column 2
        {4, 1, {{D, D, D, R}, {D, D, D, D}, {D, D, D, D}}},   // one cell
        {2, 5, {{D, D, D, D}, {D, D, D, D}, {D, D, D, D}}},   // a row past the last
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "column " << c.column << ", row " << c.row);
        ListViewModel grid;
        Build(grid, 3);
        EXPECT_EQ(
            RefreshesAfterEventLoopTurn(
                grid, [&] { ListViewFunktionen::SetListViewForeColor(grid, R, c.column, c.row); }),
            1);
        EXPECT_EQ(Colours(grid), c.expected);
    }
}

TEST(SetListViewForeColor, MissingSubItemIsAnErrorThatSkipsTheRefresh) {
    ListViewModel grid;
    Build(grid, 3);
    const int refreshes = RefreshesAfterEventLoopTurn(grid, [&] {
        EXPECT_THROW(ListViewFunktionen::SetListViewForeColor(grid, Red, 5, 0), LumarkError);
    });
    EXPECT_EQ(refreshes, 0);
    EXPECT_THROW(ListViewFunktionen::SetListViewForeColor(grid, Red, -1, 0), LumarkError);
    for (const auto& row : Colours(grid)) {
        for (std::uint32_t colour : row) {
            EXPECT_EQ(colour, Default);
        }
    }
}

TEST(SetListViewForeColor, ManyCallsInOneTurnRefreshOnce) {
    ListViewModel grid;
    Build(grid, 300);
    const int refreshes = RefreshesAfterEventLoopTurn(grid, [&] {
        for (int b = 1; b <= 300; ++b) {
            ListViewFunktionen::SetListViewForeColor(grid, Red, b + 1, 0);
        }
    });
    EXPECT_EQ(refreshes, 1);
    EXPECT_EQ(grid.SubItemForeColour(300, 300), Red);
    EXPECT_EQ(grid.SubItemForeColour(1, 300), Red);
}
