#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>
#include <set>
#include <tuple>

#include <gtest/gtest.h>

#include "ListViewModel.h"
#include "LumarkError.h"

using lumark::ListViewModel;

namespace {

void Build(ListViewModel& model, int columns, int rows) {
    model.BeginRebuild();
    model.ClearListItems();
    model.ClearColumnHeaders();
    for (int c = 0; c < columns; ++c) {
        model.AddColumnHeader(QStringLiteral("B%1").arg(c), QString::number(c), 550);
    }
    for (int r = 1; r <= rows; ++r) {
        model.AddListItem(r, QStringLiteral("Z%1").arg(r), QString::number(r - 1));
    }
    model.EndRebuild();
}

}  // namespace

TEST(ListViewModel, PassesTheModelTesterThroughRebuildsAndEdits) {
    ListViewModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    Build(model, 4, 3);
    model.SetSubItemText(2, 3, QStringLiteral("x"));
    model.SetSubItemForeColour(3, 1, 255);
    QCoreApplication::processEvents();
    Build(model, 2, 5);
    model.AddColumnHeader(QStringLiteral("late"), QStringLiteral("late"), 100);
    model.AddListItem(1, QStringLiteral("first"), QStringLiteral("first"));
    model.ClearListItems();
    model.ClearColumnHeaders();
    QCoreApplication::processEvents();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.columnCount(), 0);
}

TEST(ListViewModel, ColoursReadBackExactlyAsSet) {
    ListViewModel model;
    Build(model, 3, 2);
    EXPECT_EQ(model.SubItemForeColour(1, 1), lumark::SystemWindowTextColour);
    for (std::uint32_t colour : {255u, 254u, 0x800000FFu, 0x80000008u, 0u, 0xFFFFFFu}) {
        model.SetSubItemForeColour(2, 2, colour);
        EXPECT_EQ(model.SubItemForeColour(2, 2), colour);
        EXPECT_EQ(model.data(model.index(1, 2), ListViewModel::ForeColourRole).toUInt(), colour);
    }
    model.SetItemForeColour(1, 255);
    EXPECT_EQ(model.ItemForeColour(1), 255u);
    EXPECT_EQ(model.SubItemForeColour(1, 1), lumark::SystemWindowTextColour);
}

// The window-text colour is left to the view, so painting the default costs nothing.
TEST(ListViewModel, DrawsRgbColoursAndLeavesTheWindowTextColourToTheView) {
    ListViewModel model;
    Build(model, 4, 1);
    model.SetSubItemForeColour(1, 1, 255);
    model.SetSubItemForeColour(1, 3, 255);
    const auto foreground = [&](int column) {
        return model.data(model.index(0, column), Qt::ForegroundRole);
    };
    const auto brush = [&](int column) { return foreground(column).value<QBrush>().color(); };
    EXPECT_EQ(brush(1), QColor(255, 0, 0));
    EXPECT_FALSE(foreground(2).isValid());
    model.SetSubItemForeColour(1, 2, 0x00FF0000u);  // blue sits in the high byte
    EXPECT_EQ(brush(2), QColor(0, 0, 255));
    EXPECT_EQ(brush(3), QColor(255, 0, 0));  // asking for another colour between does not mix them
    model.SetSubItemForeColour(1, 2, lumark::SystemWindowTextColour);
    EXPECT_FALSE(foreground(2).isValid());
}

TEST(ListViewModel, CellsThatDoNotExistAreErrors) {
    ListViewModel model;
    Build(model, 3, 2);
    EXPECT_THROW(model.SetSubItemText(3, 1, QStringLiteral("x")), lumark::LumarkError);
    EXPECT_THROW(model.SetSubItemText(1, 3, QStringLiteral("x")), lumark::LumarkError);
    EXPECT_THROW(model.SetSubItemText(1, 0, QStringLiteral("x")), lumark::LumarkError);
    EXPECT_THROW(model.SetSubItemForeColour(0, 1, 255), lumark::LumarkError);
    EXPECT_THROW(model.AddListItem(5, QString(), QString()), lumark::LumarkError);
}

TEST(ListViewModel, ManyChangesInOneTurnAreAnnouncedOnce) {
    ListViewModel model;
    Build(model, 301, 300);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy refreshed(&model, &ListViewModel::RefreshRequested);
    for (int r = 1; r <= 300; ++r) {
        for (int c = 1; c <= 300; ++c) {
            model.SetSubItemForeColour(r, c, 255);
        }
        model.Refresh();
    }
    EXPECT_EQ(changed.count(), 0);  // nothing is announced before the event loop turns
    QCoreApplication::processEvents();
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(refreshed.count(), 1);
    const auto topLeft = changed.at(0).at(0).value<QModelIndex>();
    const auto bottomRight = changed.at(0).at(1).value<QModelIndex>();
    EXPECT_EQ(topLeft, model.index(0, 1));
    EXPECT_EQ(bottomRight, model.index(299, 300));
}

TEST(ListViewModel, InsertingAnItemShiftsTheOnesBelow) {
    ListViewModel model;
    Build(model, 2, 2);
    model.SetSubItemText(2, 1, QStringLiteral("second"));
    model.AddListItem(1, QStringLiteral("new"), QStringLiteral("n"));
    EXPECT_EQ(model.ItemText(1), QStringLiteral("n"));
    EXPECT_EQ(model.ListItemKey(1), QStringLiteral("new"));
    EXPECT_EQ(model.SubItemText(3, 1), QStringLiteral("second"));
}

// Changed cells are announced per column; neighbouring columns with the same changed rows share
// one range, so a recoloured column repaints its own strip and no more.
TEST(ListViewModel, ChangesAreAnnouncedAsColumnStrips) {
    using Cell = std::pair<int, int>;              // 1-based row, column
    using Range = std::tuple<int, int, int, int>;  // 0-based top, left, bottom, right
    struct Case {
        const char* what;
        std::vector<Cell> cells;
        std::set<Range> expected;
    };
    const Case cases[] = {
        {"one cell", {{3, 2}}, {{2, 2, 2, 2}}},
        {"two far columns", {{1, 2}, {5, 2}, {1, 6}, {5, 6}}, {{0, 2, 4, 2}, {0, 6, 4, 6}}},
        {"neighbours, same rows", {{1, 3}, {5, 3}, {5, 4}, {1, 4}}, {{0, 3, 4, 4}}},
        {"neighbours, other rows", {{1, 3}, {5, 3}, {2, 4}}, {{0, 3, 4, 3}, {1, 4, 1, 4}}},
        {"label column and first sub-item", {{2, 0}, {2, 1}}, {{1, 0, 1, 1}}},
    };
    for (const Case& c : cases) {
        ListViewModel model;
        Build(model, 8, 6);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        for (const auto& [row, column] : c.cells) {
            if (column == 0) {
                model.SetItemForeColour(row, 255);
            } else {
                model.SetSubItemForeColour(row, column, 255);
            }
        }
        QCoreApplication::processEvents();
        std::set<Range> ranges;
        for (const QList<QVariant>& signal : changed) {
            const auto topLeft = signal.at(0).value<QModelIndex>();
            const auto bottomRight = signal.at(1).value<QModelIndex>();
            ranges.insert(
                {topLeft.row(), topLeft.column(), bottomRight.row(), bottomRight.column()});
        }
        EXPECT_EQ(ranges, c.expected) << c.what;
    }
}

// Texts are shared between cells; any text, shared or not, reads back as it was set.
TEST(ListViewModel, TextsReadBackWhateverTheirOrigin) {
    ListViewModel model;
    Build(model, 3, 3);
    const QString shared = QStringLiteral("  ---");
    model.SetSubItemText(1, 1, shared);
    model.SetSubItemText(1, 2, QString::number(7));
    model.SetSubItemText(2, 2, QStringLiteral("  -") + QStringLiteral("--"));  // equal, not shared
    model.SetSubItemText(3, 2, QString());
    EXPECT_EQ(model.SubItemText(1, 1), QStringLiteral("  ---"));
    EXPECT_EQ(model.SubItemText(1, 2), QStringLiteral("7"));
    EXPECT_EQ(model.SubItemText(2, 2), QStringLiteral("  ---"));
    EXPECT_TRUE(model.SubItemText(3, 2).isEmpty());
    EXPECT_EQ(model.ItemText(2), QStringLiteral("1"));
    // Thousands of distinct texts: more than the shared table holds.
    for (int i = 0; i < 5000; ++i) {
        model.SetSubItemText(1 + i % 3, 1 + i % 2, QStringLiteral("t%1").arg(i));
    }
    EXPECT_EQ(model.SubItemText(1 + 4999 % 3, 1 + 4999 % 2), QStringLiteral("t4999"));
    EXPECT_EQ(model.SubItemText(1 + 4998 % 3, 1 + 4998 % 2), QStringLiteral("t4998"));
    // Columns added and items inserted later move the cells' own texts with them.
    model.AddColumnHeader(QStringLiteral("late"), QStringLiteral("late"), 550);
    model.AddListItem(1, QStringLiteral("top"), QStringLiteral("top"));
    EXPECT_EQ(model.SubItemText(1 + 1 + 4999 % 3, 1 + 4999 % 2), QStringLiteral("t4999"));
    EXPECT_EQ(model.SubItemText(1 + 1 + 4998 % 3, 1 + 4998 % 2), QStringLiteral("t4998"));
    EXPECT_TRUE(model.SubItemText(1, 1).isEmpty());
    model.ClearColumnHeaders();
    EXPECT_EQ(model.ItemText(1), QStringLiteral("top"));
    EXPECT_EQ(model.ItemText(3), QStringLiteral("1"));
}
