#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

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
