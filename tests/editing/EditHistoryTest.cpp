#include <gtest/gtest.h>

#include <functional>
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
    int Steps() const { return history.Count(); }

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
    EXPECT_TRUE(history.AtSavedState());
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
    EXPECT_EQ(history.UndoText(), QStringLiteral("Toggle block 8 sees 8"));
}

// A recovered history: its steps as recorded, standing where it stood, saved where it was.
TEST_F(EditHistoryTest, ARecordedHistoryPutInPlaceStandsWhereItStood) {
    const std::vector<RecordedStep> steps = {
        {"a", StepKind::Action, {{1, 2, 0, -1}}},
        {"b", StepKind::CellClick, {{3, 4, 0, -1}, {1, 2, -1, 0}}},
        {"c", StepKind::Action, {{5, 5, 0, -1}}},
    };
    const VisibilityMatrix onDisk =
        history.PutRecorded(RecordedHistory::FromSteps(doc.Matrix, 20, steps, 1, 2));
    EXPECT_EQ(Steps(), 3);
    EXPECT_EQ(history.RedoText(), QStringLiteral("b"));
    EXPECT_TRUE(doc.IsVisible(1, 2));
    EXPECT_FALSE(history.AtSavedState());
    EXPECT_TRUE(onDisk.Get(3, 4) == True16 && onDisk.Get(1, 2) == False16);
    history.Redo();
    EXPECT_TRUE(history.AtSavedState());
    EXPECT_EQ(doc.Matrix, onDisk);

    // With the saved state not among the steps, no state of the history is the file's.
    doc.Matrix = VisibilityMatrix();
    history.PutRecorded(RecordedHistory::FromSteps(doc.Matrix, 20, steps, 3, std::nullopt));
    for (int undone = 0; undone <= 3; ++undone) {
        EXPECT_FALSE(history.AtSavedState()) << undone;
        history.Undo();
    }
    EXPECT_EQ(doc.Matrix, VisibilityMatrix());

    // A step that changed nothing still counts where the history stands.
    history.PutRecorded(RecordedHistory::FromSteps(doc.Matrix, 20, {steps[0], {}}, 1, 0));
    EXPECT_EQ(Steps(), 2);
    EXPECT_TRUE(doc.IsVisible(1, 2));
}

TEST_F(EditHistoryTest, TheElementStepsAroundEndAtAStepThatReplacedTheDocument) {
    Toggle(1, 2);
    VisibilityDocument reread = doc;
    reread.SetElement(7, 7, True16);
    history.Replace(QStringLiteral("Reload from disk"), reread);
    history.MarkSaved();
    Toggle(3, 4);
    Toggle(5, 6);
    history.Undo();
    EditHistory::ElementSteps around = history.ElementStepsAround();
    ASSERT_EQ(around.Steps.size(), 2u);
    EXPECT_EQ(around.Steps[0].Changes[0].Column, 3);
    EXPECT_EQ(around.Position, 1u);
    EXPECT_EQ(around.SavedPosition, 0u);

    history.Undo();
    history.Undo();  // the reload
    around = history.ElementStepsAround();
    ASSERT_EQ(around.Steps.size(), 1u);
    EXPECT_EQ(around.Steps[0].Changes[0].Row, 2);
    EXPECT_EQ(around.Position, 1u);
    EXPECT_FALSE(around.SavedPosition);
}

// The buttons and panels read the history again after each change of where it stands, and only
// then: a save or an undo with nothing to undo moves nothing.
TEST_F(EditHistoryTest, SaysEachChangeOfWhereItStands) {
    int said = 0;
    QObject::connect(&history, &EditHistory::Changed, [&] { ++said; });
    VisibilityDocument reread = doc;
    reread.BlockCount = 30;
    const RecordedStep recovered{"r", StepKind::Action, {{2, 2, 0, -1}}};
    const struct {
        const char* what;
        std::function<void()> run;
        int says;
    } changes[] = {
        {"an undo with nothing to undo", [&] { history.Undo(); }, 0},
        {"a step", [&] { Toggle(1, 2); }, 1},
        {"an action that changed nothing", [&] { history.Record(QStringLiteral("no"), [] {}); }, 0},
        {"a save", [&] { history.MarkSaved(); }, 0},
        {"an undo", [&] { history.Undo(); }, 1},
        {"a redo", [&] { history.Redo(); }, 1},
        {"a redo with nothing to redo", [&] { history.Redo(); }, 0},
        {"a cell click", [&] { history.RecordCellClick([&] { ToggleOnly(3, 3); }); }, 1},
        {"its double click taking it back",
         [&] { history.RecordDoubleClick([&] { ToggleOnly(3, 3); }); }, 1},
        {"a reload", [&] { history.Replace(QStringLiteral("Reload from disk"), reread); }, 1},
        {"a clear", [&] { history.Clear(); }, 1},
        {"a recovered history",
         [&] {
             history.PutRecorded(RecordedHistory::FromSteps(doc.Matrix, 30, {recovered}, 1, 0));
         },
         1},
    };
    for (const auto& change : changes) {
        said = 0;
        change.run();
        EXPECT_EQ(said, change.says) << change.what;
    }
}

}  // namespace
}  // namespace lumark
