#include <gtest/gtest.h>

#include <stdexcept>

#include "EditHistory.h"
#include "GridChecks.h"
#include "ListViewFunktionen.h"
#include "MatrixEdits.h"
#include "MatrixGrid.h"

namespace lumark {
namespace {

// A document as just opened: 20 blocks, each seeing itself.
class EditHistoryTest : public ::testing::Test {
  protected:
    EditHistoryTest() {
        doc.VersionText = "1.2";
        doc.BlockCount = 20;
        for (int b = 1; b <= 20; ++b) {
            doc.Matrix.Set(b, b, True16);
        }
        FillMatrixGrid(doc, grid);
    }

    // As the handlers do: the edit, then the flag.
    void Toggle(int column, int row) {
        history.Record(QStringLiteral("toggle"), [&] { ToggleOnly(column, row); });
        doc.UnsavedChanges = true;
    }
    void ToggleOnly(int column, int row) {
        std::int16_t c = static_cast<std::int16_t>(column);
        std::int16_t r = static_cast<std::int16_t>(row);
        ToggleVisibilityCell(doc, grid, c, r);
    }
    int Steps() const { return history.Steps().count(); }

    VisibilityDocument doc;
    ListViewModel grid;
    EditHistory history{doc, grid};
};

TEST_F(EditHistoryTest, OnlyActionsThatChangedSomethingBecomeSteps) {
    const VisibilityMatrix opened = doc.Matrix;
    history.Record(QStringLiteral("nothing"), [] {});
    EXPECT_EQ(Steps(), 0);
    history.Record(QStringLiteral("two"), [&] {
        ToggleOnly(3, 4);
        ToggleOnly(7, 1);
    });
    Toggle(5, 6);
    EXPECT_EQ(Steps(), 2);
    EXPECT_EQ(history.Steps().undoText(), QStringLiteral("toggle"));

    EXPECT_TRUE(history.Undo());
    EXPECT_FALSE(doc.IsVisible(5, 6));
    EXPECT_TRUE(doc.IsVisible(3, 4));
    EXPECT_TRUE(history.Undo());
    EXPECT_TRUE(doc.Matrix == opened);
    ExpectGridInStep(doc, grid);
    EXPECT_FALSE(doc.UnsavedChanges);
    EXPECT_FALSE(history.Undo());

    EXPECT_TRUE(history.Redo());
    EXPECT_TRUE(doc.IsVisible(7, 1));
    EXPECT_FALSE(doc.IsVisible(5, 6));
    EXPECT_TRUE(doc.UnsavedChanges);
    EXPECT_TRUE(history.Redo());
    EXPECT_TRUE(doc.IsVisible(3, 4));
    EXPECT_TRUE(doc.IsVisible(5, 6));
    EXPECT_FALSE(history.Redo());
    ExpectGridInStep(doc, grid);
}

TEST_F(EditHistoryTest, TheFlagFollowsTheStateLastSaved) {
    Toggle(1, 2);
    Toggle(1, 3);
    history.MarkSaved();
    doc.UnsavedChanges = false;
    history.Undo();
    EXPECT_TRUE(doc.UnsavedChanges);
    history.Redo();
    EXPECT_FALSE(doc.UnsavedChanges);
    history.Undo();
    history.Undo();
    EXPECT_TRUE(doc.UnsavedChanges);  // the opened state is no longer the saved one

    // A new step where the saved state lay ahead: no step leads back to it now.
    history.Redo();
    Toggle(7, 8);
    history.Undo();
    EXPECT_TRUE(doc.UnsavedChanges);
    EXPECT_FALSE(doc.IsVisible(1, 3));
    EXPECT_EQ(Steps(), 2);  // the step to the saved state is gone

    history.Clear();
    EXPECT_EQ(Steps(), 0);
    EXPECT_TRUE(history.Steps().isClean());
    EXPECT_TRUE(doc.IsVisible(1, 2));  // clearing keeps the document as it is
}

TEST_F(EditHistoryTest, NothingToUndoLeavesTheFlagAlone) {
    doc.UnsavedChanges = true;  // a click on no cell
    EXPECT_FALSE(history.Undo());
    EXPECT_FALSE(history.Redo());
    EXPECT_TRUE(doc.UnsavedChanges);
}

TEST_F(EditHistoryTest, AFailedActionKeepsWhatItChangedAsAStep) {
    EXPECT_THROW(history.Record(QStringLiteral("half"),
                                [&] {
                                    ToggleOnly(2, 9);
                                    ToggleOnly(2, 301);
                                }),
                 std::exception);
    EXPECT_TRUE(doc.IsVisible(2, 9));
    ASSERT_EQ(Steps(), 1);
    history.Undo();
    EXPECT_FALSE(doc.IsVisible(2, 9));
}

TEST_F(EditHistoryTest, ADoubleClickThatTogglesTwiceLeavesNoStep) {
    Toggle(4, 4);
    history.RecordCellClick([&] { ToggleOnly(6, 2); });
    EXPECT_EQ(Steps(), 2);
    history.RecordDoubleClick([&] { ToggleOnly(6, 2); });
    EXPECT_EQ(Steps(), 1);
    EXPECT_EQ(history.Steps().index(), 1);
    history.Undo();
    EXPECT_TRUE(doc.IsVisible(4, 4));  // the step before the double click is untouched
    EXPECT_FALSE(doc.IsVisible(6, 2));

    // Two single clicks on one cell are two steps.
    history.RecordCellClick([&] { ToggleOnly(6, 2); });
    history.RecordCellClick([&] { ToggleOnly(6, 2); });
    EXPECT_EQ(Steps(), 2);
    // A double click whose first click changed nothing stands alone.
    history.RecordCellClick([] {});
    history.RecordDoubleClick([&] { ToggleOnly(9, 9); });
    EXPECT_EQ(Steps(), 3);
    history.Undo();
    EXPECT_TRUE(doc.IsVisible(9, 9));
}

TEST_F(EditHistoryTest, StepTexts) {
    history.RecordCellClick([&] { ToggleOnly(8, 13); });
    EXPECT_EQ(history.Steps().undoText(), QStringLiteral("Toggle block 7 sees 12"));
    history.RecordCellClick([&] {
        std::int16_t c = 3;
        std::int16_t r = 6;
        SetVisibilityEdge(doc, grid, c, r);
    });
    EXPECT_EQ(history.Steps().undoText(), QStringLiteral("Edge of block 2 at 5"));

    EXPECT_EQ(history.SelectedBlocksText(QStringLiteral("Increase (+)")),
              QStringLiteral("Increase (+) on 0 blocks"));
    ListViewFunktionen::SetListViewForeColor(grid, SelectedColour, 3, 0);
    EXPECT_EQ(history.SelectedBlocksText(QStringLiteral("Set Minimum")),
              QStringLiteral("Set Minimum on 1 block"));
    ListViewFunktionen::SetListViewForeColor(grid, SelectedColour, 8, 0);
    ListViewFunktionen::SetListViewForeColor(grid, SelectedColour, 21, 0);
    EXPECT_EQ(history.SelectedBlocksText(QStringLiteral("Increase (+)")),
              QStringLiteral("Increase (+) on 3 blocks"));
}

}  // namespace
}  // namespace lumark
