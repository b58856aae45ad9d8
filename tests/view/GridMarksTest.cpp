#include <gtest/gtest.h>

#include <QBrush>
#include <QCoreApplication>
#include <QFont>
#include <QSignalSpy>
#include <set>
#include <utility>

#include "GridStatusText.h"
#include "ListViewFunktionen.h"
#include "MatrixEdits.h"
#include "MatrixGrid.h"
#include "MatrixGridModel.h"
#include "RelationPicture.h"

using namespace lumark;

namespace {

using Cell = std::pair<int, int>;  // (row, block column), both 1-based

// Four blocks, each seeing itself. 1 and 2 see each other, so do 3 and 4; 1 sees 3 and 4
// sees 2 without being seen back.
VisibilityDocument SmallDocument() {
    VisibilityDocument doc;
    doc.VersionText = "1.2";
    doc.BlockCount = 4;
    const Cell seen[] = {{1, 1}, {2, 2}, {3, 3}, {4, 4}, {1, 2},
                         {2, 1}, {3, 4}, {4, 3}, {1, 3}, {4, 2}};
    for (const auto& [viewer, block] : seen) {
        doc.Matrix.Set(viewer, block, True16);
    }
    return doc;
}

struct Grid {
    VisibilityDocument doc = SmallDocument();
    MatrixGridModel model{doc};

    Grid() { FillMatrixGrid(doc, model); }

    QVariant Background(int row, int column) const {
        return model.data(model.index(row - 1, column), Qt::BackgroundRole);
    }

    std::set<Cell> Tinted() const {
        std::set<Cell> tinted;
        for (int row = 1; row <= model.rowCount(); ++row) {
            for (int column = 0; column < model.columnCount(); ++column) {
                if (Background(row, column).isValid()) {
                    tinted.insert({row, column});
                }
            }
        }
        return tinted;
    }

    QColor Tint(int row, int column) const {
        return Background(row, column).value<QBrush>().color();
    }
};

int Distance(const QColor& a, Rgb b) {
    return std::abs(a.red() - b.R) + std::abs(a.green() - b.G) + std::abs(a.blue() - b.B);
}

}  // namespace

TEST(GridTint, MarksExactlyTheOneWayCellsWithOneTintEachWay) {
    Grid grid;
    // Row 3 under column 1: block 1 sees 3, 3 does not see 1; row 2 under column 4 likewise.
    const std::set<Cell> seesOnly = {{3, 1}, {2, 4}};
    const std::set<Cell> seenOnly = {{1, 3}, {4, 2}};
    std::set<Cell> expected = seesOnly;
    expected.insert(seenOnly.begin(), seenOnly.end());
    EXPECT_EQ(grid.Tinted(), expected);

    EXPECT_EQ(grid.Tint(3, 1), grid.Tint(2, 4));
    EXPECT_EQ(grid.Tint(1, 3), grid.Tint(4, 2));
    EXPECT_NE(grid.Tint(3, 1), grid.Tint(1, 3));
    // Each direction leans to the Overview's colour of its kind, and stays light.
    const Rgb sees = ColourOf(RelationKind::SeesOnly);
    const Rgb seen = ColourOf(RelationKind::SeenOnly);
    EXPECT_LT(Distance(grid.Tint(3, 1), sees), Distance(grid.Tint(3, 1), seen));
    EXPECT_LT(Distance(grid.Tint(1, 3), seen), Distance(grid.Tint(1, 3), sees));
    for (const Cell& cell : expected) {
        EXPECT_GT(grid.Tint(cell.first, cell.second).lightness(), 170);
    }
}

TEST(GridTint, NeverChangesTextOrTextColour) {
    Grid grid;
    ListViewFunktionen::SetListViewForeColor(grid.model, SelectedColour, 2, 0);  // block 1
    for (int row = 1; row <= 4; ++row) {
        for (int column = 1; column <= 4; ++column) {
            const QModelIndex at = grid.model.index(row - 1, column);
            EXPECT_EQ(grid.model.data(at, Qt::DisplayRole).toString(),
                      grid.model.SubItemText(row, column));
            const QColor text = grid.model.data(at, Qt::ForegroundRole).value<QBrush>().color();
            EXPECT_EQ(text == QColor(255, 0, 0), column == 1) << row << ", " << column;
        }
    }
}

TEST(GridTint, AnEditAnnouncesItsMirrorAndTheTintFollows) {
    // (column, row) edited, and the mirror cell whose tint changes with it: row `column`
    // under block column `row`.
    const std::pair<Cell, Cell> edits[] = {
        {{2, 3}, {2, 3}},  // block 2 comes to see 3, which does not see it back
        {{3, 1}, {3, 1}},  // block 3 comes to see 1, which already saw it: the tint goes
        {{1, 4}, {1, 4}},  // the far corner
    };
    for (const auto& [edit, mirror] : edits) {
        Grid grid;
        QCoreApplication::processEvents();
        QSignalSpy changes(&grid.model, &QAbstractItemModel::dataChanged);
        std::int16_t column = static_cast<std::int16_t>(edit.first);
        std::int16_t row = static_cast<std::int16_t>(edit.second);
        ToggleVisibilityCell(grid.doc, grid.model, column, row);
        QCoreApplication::processEvents();
        // The mirror shows element (row, column): model row column - 1, model column row.
        bool announced = false;
        for (const QList<QVariant>& change : changes) {
            const QModelIndex topLeft = change[0].value<QModelIndex>();
            const QModelIndex bottomRight = change[1].value<QModelIndex>();
            announced =
                announced ||
                (topLeft.row() <= mirror.first - 1 && mirror.first - 1 <= bottomRight.row() &&
                 topLeft.column() <= mirror.second && mirror.second <= bottomRight.column());
        }
        EXPECT_TRUE(announced) << edit.first << ", " << edit.second;
    }

    Grid grid;
    std::int16_t column = 2;
    std::int16_t row = 3;
    ToggleVisibilityCell(grid.doc, grid.model, column, row);
    EXPECT_TRUE(grid.Background(3, 2).isValid());
    EXPECT_TRUE(grid.Background(2, 3).isValid());
    column = 3;
    row = 1;
    ToggleVisibilityCell(grid.doc, grid.model, column, row);
    EXPECT_FALSE(grid.Background(1, 3).isValid());
    EXPECT_FALSE(grid.Background(3, 1).isValid());
}

TEST(GridTint, CrossingLeavesNoTint) {
    Grid grid;
    MakeVisibilityMutual(grid.doc, grid.model);
    EXPECT_EQ(grid.Tinted(), std::set<Cell>{});
}

TEST(HeaderMarks, SelectedBlocksHaveBoldHeadersInTheirColumnsColour) {
    Grid grid;
    ListViewFunktionen::SetListViewForeColor(grid.model, SelectedColour, 4, 0);  // block 3
    ListViewFunktionen::SetListViewForeColor(grid.model, 254, 2, 0);  // almost red: not selected
    for (int section = 0; section <= 4; ++section) {
        const QVariant font = grid.model.headerData(section, Qt::Horizontal, Qt::FontRole);
        const QVariant colour = grid.model.headerData(section, Qt::Horizontal, Qt::ForegroundRole);
        if (section == 3) {
            EXPECT_TRUE(font.value<QFont>().bold());
            EXPECT_EQ(colour.value<QBrush>().color(), QColor(255, 0, 0));
        } else {
            EXPECT_FALSE(font.isValid() && font.value<QFont>().bold()) << section;
            EXPECT_FALSE(colour.isValid()) << section;
        }
        EXPECT_EQ(grid.model.headerData(section, Qt::Horizontal).toString(),
                  grid.model.ColumnHeaderText(section + 1));
    }
    ListViewFunktionen::SetListViewForeColor(grid.model, NormalColour, 4, 0);
    EXPECT_FALSE(grid.model.headerData(3, Qt::Horizontal, Qt::ForegroundRole).isValid());
}

TEST(HeaderMarks, RowLabelsAreTheBlockNumbers) {
    Grid grid;
    const char* const labels[] = {"0", "1", "2", "3"};
    for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(grid.model.headerData(row, Qt::Vertical).toString(),
                  QString::fromLatin1(labels[row]));
    }
}

TEST(GridStatusText, PointerCellSaysWhoSeesWhom) {
    const VisibilityDocument doc = SmallDocument();
    // (row, block column) → text, in the file's 0-based numbers.
    const std::pair<Cell, const char*> cases[] = {
        {{3, 1}, "0 sees 2"},
        {{1, 3}, "2 does not see 0"},
        {{2, 1}, "0 sees 1"},
        {{2, 2}, "1 (itself)"},
        {{4, 1}, "0 does not see 3"},
        {{1, 0}, ""},
        {{5, 1}, ""},
        {{1, 5}, ""},
        {{0, 1}, ""},
    };
    for (const auto& [cell, text] : cases) {
        EXPECT_EQ(PointerCellText(doc, cell.first, cell.second), QString::fromLatin1(text))
            << cell.first << ", " << cell.second;
    }
}

TEST(GridStatusText, CountsSelectedBlocks) {
    Grid grid;
    EXPECT_EQ(SelectionCountText(grid.model, 4), QString());
    ListViewFunktionen::SetListViewForeColor(grid.model, SelectedColour, 3, 0);
    EXPECT_EQ(SelectionCountText(grid.model, 4), QStringLiteral("1 selected"));
    for (int column = 2; column <= 5; ++column) {
        ListViewFunktionen::SetListViewForeColor(grid.model, SelectedColour, column, 0);
    }
    EXPECT_EQ(SelectionCountText(grid.model, 4), QStringLiteral("4 selected"));
    // An empty grid before any load: nothing to count.
    ListViewModel empty;
    EXPECT_EQ(SelectionCountText(empty, 0), QString());
}
