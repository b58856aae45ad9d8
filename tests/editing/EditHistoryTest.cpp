#include <gtest/gtest.h>

#include <stdexcept>

#include "EditHistory.h"
#include "MatrixEdits.h"
#include "MatrixGrid.h"

namespace lumark {
namespace {

// A document as just opened: 20 blocks that see nothing.
class EditHistoryTest : public ::testing::Test {
  protected:
    EditHistoryTest() {
        doc.VersionText = "1.2";
        doc.BlockCount = 20;
        FillMatrixGrid(grid);
    }

    void ToggleOnly(int column, int row) {
        std::int16_t c = static_cast<std::int16_t>(column);
        std::int16_t r = static_cast<std::int16_t>(row);
        ToggleVisibilityCell(doc, c, r);
    }
    void Toggle(int column, int row) {
        history.Record(QStringLiteral("toggle"), [&] { ToggleOnly(column, row); });
    }
    int Steps() const { return history.Steps().count(); }

    VisibilityDocument doc;
    BlockSelection selection;
    MatrixGridModel grid{doc, selection};
    EditHistory history{doc, grid};
};

TEST_F(EditHistoryTest, KnowsWhenItStandsAtTheStateLastSaved) {
    EXPECT_FALSE(history.Undo());
    EXPECT_TRUE(history.AtSavedState());

    Toggle(1, 2);
    Toggle(1, 3);
    history.MarkSaved();
    history.Undo();
    EXPECT_FALSE(history.AtSavedState());
    history.Redo();
    EXPECT_TRUE(history.AtSavedState());
    history.Undo();
    history.Undo();
    EXPECT_FALSE(history.AtSavedState());  // the opened state is no longer the saved one

    // A new step where the saved state lay ahead: no step leads back to it now.
    history.Redo();
    Toggle(7, 8);
    EXPECT_EQ(Steps(), 2);
    history.Undo();
    EXPECT_FALSE(doc.IsVisible(1, 3));
    EXPECT_FALSE(history.AtSavedState());

    history.Clear();
    EXPECT_EQ(Steps(), 0);
    EXPECT_TRUE(history.Steps().isClean());
    EXPECT_TRUE(doc.IsVisible(1, 2));  // clearing keeps the document as it is
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

TEST_F(EditHistoryTest, ADoubleClickFoldsIntoItsFirstClick) {
    Toggle(4, 4);
    history.RecordCellClick([&] { ToggleOnly(6, 2); });
    history.RecordDoubleClick([&] { ToggleOnly(6, 2); });
    EXPECT_EQ(Steps(), 1);
    history.Undo();
    EXPECT_FALSE(doc.IsVisible(4, 4));  // the step before the double click is untouched

    // Two single clicks on one cell are two steps.
    history.RecordCellClick([&] { ToggleOnly(6, 2); });
    history.RecordCellClick([&] { ToggleOnly(6, 2); });
    EXPECT_EQ(Steps(), 2);
    // A double click whose first click changed nothing stands alone.
    history.RecordCellClick([] {});
    history.RecordDoubleClick([&] { ToggleOnly(9, 9); });
    EXPECT_EQ(Steps(), 3);
    EXPECT_EQ(history.Steps().undoText(), QStringLiteral("Toggle block 8 sees 8"));
}

}  // namespace
}  // namespace lumark
