#include <QAccessible>
#include <QCoreApplication>
#include <QTest>
#include <algorithm>

#include <gtest/gtest.h>

#include "AccessibilityRecorder.h"
#include "ListViewFunktionen.h"
#include "MatrixGrid.h"
#include "MatrixGridModel.h"
#include "MatrixGridView.h"

using namespace lumark;

namespace {

// A shown grid over a document of `blocks` blocks in which every block sees only itself.
class AccessibleGrid : public ::testing::Test {
  protected:
    void Build(std::int16_t blocks) {
        doc.VersionText = "1.2";
        doc.BlockCount = blocks;
        for (int b = 1; b <= blocks; ++b) {
            doc.Matrix.Set(b, b, True16);
        }
        view.SetListViewModel(&model);
        view.resize(400, 300);
        FillMatrixGrid(doc, model);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    }

    QAccessibleInterface* Table() { return QAccessible::queryAccessibleInterface(&view); }
    // Cell of 1-based row block `row` under block column `column` (0: the label column).
    QAccessibleInterface* Cell(int row, int column) {
        return Table()->tableInterface()->cellAt(row - 1, column);
    }
    std::string CellName(int row, int column) {
        return Cell(row, column)->text(QAccessible::Name).toStdString();
    }

    std::vector<std::string> HeaderNames() {
        std::vector<std::string> names;
        QAccessibleInterface* table = Table();
        for (int i = 0; i < table->childCount(); ++i) {
            QAccessibleInterface* child = table->child(i);
            if (child != nullptr && child->role() == QAccessible::ColumnHeader) {
                names.push_back(child->text(QAccessible::Name).toStdString());
            }
        }
        return names;
    }

    void Colour(int block, std::uint32_t colour) {
        ListViewFunktionen::SetListViewForeColor(model, colour, block + 1, 0);
        QCoreApplication::processEvents();  // changes are announced once per event-loop turn
    }

    AccessibilityRecorder recorder;
    VisibilityDocument doc;
    MatrixGridModel model{doc};
    MatrixGridView view;
};

TEST_F(AccessibleGrid, CellsSayWhoSeesWhomAndKeepTheirDisplayText) {
    Build(12);
    doc.Matrix.Set(8, 12, True16);  // block 7 sees 11
    doc.Matrix.Set(3, 3, False16);  // block 2 does not see itself
    FillMatrixGrid(doc, model);
    Colour(5, SelectedColour);

    struct Case {
        int row, column;
        const char* name;
        const char* display;
    } const cases[] = {
        {12, 8, "block 7 sees 11", "11"},
        {11, 8, "block 7 does not see 10", "  ---"},
        {8, 12, "block 11 does not see 7", "  ---"},  // not mirrored
        {8, 8, "block 7 sees itself", "(7)"},
        {3, 3, "block 2 does not see itself", "(2)"},
        {5, 5, "block 4 sees itself, selected", "(4)"},
        {1, 5, "block 4 does not see 0, selected", "  ---"},
        {5, 4, "block 3 does not see 4", "  ---"},  // a selected row is not a selected column
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CellName(c.row, c.column), c.name);
        EXPECT_EQ(model.SubItemText(c.row, c.column).toStdString(), c.display) << c.name;
    }
}

TEST_F(AccessibleGrid, GridAndHeadersAreNamed) {
    Build(3);
    Colour(2, SelectedColour);
    EXPECT_EQ(Table()->text(QAccessible::Name), QStringLiteral("Visibility grid"));
    const QString description = Table()->text(QAccessible::Description);
    EXPECT_TRUE(description.contains(QStringLiteral("column")) &&
                description.contains(QStringLiteral("row")))
        << description.toStdString();
    // The label column's header keeps its empty text.
    EXPECT_EQ(HeaderNames(),
              (std::vector<std::string>{"", "block 0", "block 1, selected", "block 2"}));
}

TEST_F(AccessibleGrid, KeyColumnTakesNoFocus) {
    Build(4);
    for (int row = 1; row <= 4; ++row) {
        EXPECT_FALSE(Cell(row, 0)->state().focusable) << row;
        EXPECT_TRUE(Cell(row, 1)->state().focusable) << row;
    }
    // Keys start on block 0's diagonal and never step into the label column.
    EXPECT_EQ(view.currentIndex(), model.index(0, 1));
    for (const Qt::Key key : {Qt::Key_Left, Qt::Key_Home}) {
        QTest::keyClick(&view, Qt::Key_Down);
        QTest::keyClick(&view, Qt::Key_Right);
        QTest::keyClick(&view, key);
        QTest::keyClick(&view, key);
        EXPECT_EQ(view.currentIndex().column(), 1) << key;
    }
    // Every rebuild starts there again.
    FillMatrixGrid(doc, model);
    EXPECT_EQ(view.currentIndex(), model.index(0, 1));
}

TEST_F(AccessibleGrid, SelectionChangesRenameHeaderAndCells) {
    Build(3);
    recorder.Clear();
    Colour(2, SelectedColour);
    EXPECT_EQ(recorder.Renamed(QAccessible::ColumnHeader),
              std::vector<std::string>{"block 1, selected"});
    EXPECT_EQ(recorder.Renamed(QAccessible::Cell),
              (std::vector<std::string>{"block 1 does not see 0, selected",
                                        "block 1 sees itself, selected",
                                        "block 1 does not see 2, selected"}));

    recorder.Clear();
    Colour(2, SelectedColour);  // already selected: nothing to tell
    Colour(3, 254);             // not the selected colour
    doc.Matrix.Set(1, 2, True16);
    std::int16_t column = 1, row = 2;
    RefreshMatrixCell(doc, model, column, row);  // a text change
    QCoreApplication::processEvents();
    EXPECT_TRUE(recorder.Renamed(QAccessible::ColumnHeader).empty());
    EXPECT_TRUE(recorder.Renamed(QAccessible::Cell).empty());

    Colour(2, NormalColour);
    EXPECT_EQ(recorder.Renamed(QAccessible::ColumnHeader), std::vector<std::string>{"block 1"});
}

TEST_F(AccessibleGrid, SelectingEveryColumnRenamesAllHeadersButOnlyCellsOnScreen) {
    Build(300);
    recorder.Clear();
    for (int b = 1; b <= 300; ++b) {
        ListViewFunktionen::SetListViewForeColor(model, SelectedColour, b + 1, 0);
    }
    QCoreApplication::processEvents();
    const std::vector<std::string> headers = recorder.Renamed(QAccessible::ColumnHeader);
    ASSERT_EQ(headers.size(), 300u);
    EXPECT_EQ(headers.front(), "block 0, selected");
    EXPECT_EQ(headers.back(), "block 299, selected");
    // 400 x 300 pixels show a few dozen columns and rows, not 90,000 cells.
    const std::size_t cells = recorder.Renamed(QAccessible::Cell).size();
    EXPECT_GT(cells, 0u);
    EXPECT_LT(cells, 1000u);
}

}  // namespace
