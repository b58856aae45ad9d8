#include <gtest/gtest.h>
#include <QGuiApplication>
#include <QPalette>
#include <cmath>

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
        doc.SetElement(viewer, block, True16);
    }
    return doc;
}

struct Grid {
    VisibilityDocument doc = SmallDocument();
    BlockSelection selection;
    MatrixGridModel model{doc, selection};

    Grid() { FillMatrixGrid(model); }

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

// How closely the step from the background to `tint` points towards `colour` (cosine).
double Towards(const QColor& tint, Rgb colour) {
    const QColor base = QGuiApplication::palette().color(QPalette::Active, QPalette::Base);
    const double d[] = {double(tint.red() - base.red()), double(tint.green() - base.green()),
                        double(tint.blue() - base.blue())};
    const double v[] = {double(colour.R - base.red()), double(colour.G - base.green()),
                        double(colour.B - base.blue())};
    double dot = 0, dd = 0, vv = 0;
    for (int i = 0; i < 3; ++i) {
        dot += d[i] * v[i];
        dd += d[i] * d[i];
        vv += v[i] * v[i];
    }
    return dd > 0 && vv > 0 ? dot / std::sqrt(dd * vv) : 0;
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
    EXPECT_GT(Towards(grid.Tint(3, 1), sees), Towards(grid.Tint(3, 1), seen));
    EXPECT_GT(Towards(grid.Tint(1, 3), seen), Towards(grid.Tint(1, 3), sees));
    for (const Cell& cell : expected) {
        EXPECT_GT(grid.Tint(cell.first, cell.second).lightness(), 170);
    }
}

TEST(GridTint, BothTintsStandOutFromWhiteBesideTheFocusFrame) {
    // WCAG 2: luminance from linearised sRGB; ratio (lighter + 0.05) / (darker + 0.05).
    const auto againstWhite = [](const QColor& c) {
        const auto lin = [](int v) {
            const double s = v / 255.0;
            return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
        };
        return 1.05 /
               (0.2126 * lin(c.red()) + 0.7152 * lin(c.green()) + 0.0722 * lin(c.blue()) + 0.05);
    };
    EXPECT_NEAR(againstWhite(QColor(128, 128, 128)), 3.95, 0.01);  // the formula itself
    Grid grid;
    EXPECT_GE(againstWhite(grid.Tint(3, 1)), 1.3) << "sees only";
    EXPECT_GE(againstWhite(grid.Tint(1, 3)), 1.3) << "seen only";
}

TEST(GridTint, AnEditAnnouncesItsMirror) {
    // Edited elements (column, row); the mirror's cell is in row `column` under block column
    // `row`, that is model row column - 1 and model column row.
    const Cell edits[] = {
        {2, 3},  // block 2 comes to see 3, which does not see it back: a tint appears
        {3, 1},  // block 3 comes to see 1, which already saw it: the tint goes
        {1, 4},  // the far corner
    };
    for (const auto& [c, r] : edits) {
        Grid grid;
        QCoreApplication::processEvents();
        QSignalSpy changes(&grid.model, &QAbstractItemModel::dataChanged);
        std::int16_t column = static_cast<std::int16_t>(c);
        std::int16_t row = static_cast<std::int16_t>(r);
        ToggleVisibilityCell(grid.doc, column, row);
        QCoreApplication::processEvents();
        bool announced = false;
        for (const QList<QVariant>& change : changes) {
            const QModelIndex from = change[0].value<QModelIndex>();
            const QModelIndex to = change[1].value<QModelIndex>();
            announced = announced || (from.row() <= c - 1 && c - 1 <= to.row() &&
                                      from.column() <= r && r <= to.column());
        }
        EXPECT_TRUE(announced) << c << ", " << r;
    }
}

TEST(GridTint, RecolouringAColumnAnnouncesNoTint) {
    // Selecting recolours whole columns; tints cannot change then, so rows are not repainted.
    Grid grid;
    QCoreApplication::processEvents();
    QSignalSpy changes(&grid.model, &QAbstractItemModel::dataChanged);
    ListViewFunktionen::SetListViewForeColor(grid.selection, SelectedColour, 3);
    QCoreApplication::processEvents();
    ASSERT_FALSE(changes.isEmpty());
    for (const QList<QVariant>& change : changes) {
        EXPECT_EQ(change[0].value<QModelIndex>().column(), 2);
        EXPECT_EQ(change[1].value<QModelIndex>().column(), 2);
    }
}

TEST(HeaderMarks, SelectedBlocksHaveBoldHeadersInTheirColumnsColour) {
    Grid grid;
    ListViewFunktionen::SetListViewForeColor(grid.selection, SelectedColour, 4);  // block 3
    ListViewFunktionen::SetListViewForeColor(grid.selection, 254, 2);  // almost red: not selected
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
    ListViewFunktionen::SetListViewForeColor(grid.selection, NormalColour, 4);
    EXPECT_FALSE(grid.model.headerData(3, Qt::Horizontal, Qt::ForegroundRole).isValid());
}

TEST(GridStatusText, PointerCellSaysWhoSeesWhom) {
    const VisibilityDocument doc = SmallDocument();
    // (row, block column) → text, in the file's 0-based numbers.
    // clang-format off
    const std::pair<Cell, const char*> cases[] = {
        {{3, 1}, "0 sees 2"}, {{1, 3}, "2 does not see 0"}, {{2, 1}, "0 sees 1"},
        {{2, 2}, "1 (itself)"}, {{4, 1}, "0 does not see 3"},
        {{1, 0}, ""}, {{5, 1}, ""}, {{1, 5}, ""}, {{0, 1}, ""},
    };
    // clang-format on
    for (const auto& [cell, text] : cases) {
        EXPECT_EQ(PointerCellText(doc, cell.first, cell.second), QString::fromLatin1(text))
            << cell.first << ", " << cell.second;
    }
}

TEST(GridStatusText, PairSaysBothWaysAtOnce) {
    const VisibilityDocument doc = SmallDocument();
    // (row, block column) -> text: column's block first, then whether the row's sees it.
    // clang-format off
    const std::pair<Cell, const char*> cases[] = {
        {{2, 1}, "0 sees 1, seen back"},          {{3, 1}, "0 sees 2, not seen back"},
        {{1, 3}, "2 does not see 0, seen by it"}, {{4, 1}, "0 does not see 3, not seen by it"},
        {{2, 2}, "1 (itself)"},                   {{5, 1}, ""}, {{1, 0}, ""},
    };
    // clang-format on
    for (const auto& [cell, text] : cases) {
        EXPECT_EQ(PairText(doc, cell.first, cell.second), QString::fromLatin1(text))
            << cell.first << ", " << cell.second;
    }
}
