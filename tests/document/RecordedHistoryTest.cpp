#include "RecordedHistory.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

#include "LumarkError.h"
#include "RecordedSteps.h"

namespace lumark {
namespace {

using test::Flip;

TEST(RecordedHistoryTest, PushAfterUndosDropsTheRedoStepsAndTheSavedStateAmongThem) {
    RecordedHistory history(VisibilityMatrix(), 10);
    history.Push(Flip(history.Current(), {{1, 2}}));
    history.Push(Flip(history.Current(), {{3, 4}}));
    history.Undo();
    history.Undo();
    EXPECT_EQ(history.SavedPosition(), 0u);  // the state before any step is the file's
    history.Redo();
    history.Push(Flip(history.Current(), {{5, 6}}));
    ASSERT_EQ(history.Steps().size(), 2u);
    EXPECT_EQ(history.Steps()[1].Changes[0].Column, 5);
    EXPECT_EQ(history.Position(), 2u);
    EXPECT_EQ(history.Current().Get(3, 4), False16);
    EXPECT_EQ(history.Current().Get(5, 6), True16);

    history.Undo();
    history.Undo();
    EXPECT_THROW(history.Undo(), LumarkError);
    EXPECT_EQ(history.Current(), VisibilityMatrix());
    // With the file's state among the redo steps, a push drops it.
    RecordedHistory saved =
        RecordedHistory::FromSteps(VisibilityMatrix(), 10, history.Steps(), 1, 2);
    saved.Push(Flip(saved.Current(), {{7, 7}}));
    EXPECT_FALSE(saved.SavedPosition());
}

TEST(RecordedHistoryTest, DoubleClickMergesIntoTheClickOnTopOnly) {
    RecordedHistory history(VisibilityMatrix(), 10);
    EXPECT_EQ(history.Push(Flip(history.Current(), {{1, 1}, {1, 2}}, StepKind::CellClick, "click")),
              RecordedHistory::Pushed::Added);
    EXPECT_EQ(history.Push(Flip(history.Current(), {{1, 2}, {1, 3}}, StepKind::DoubleClick)),
              RecordedHistory::Pushed::Merged);
    ASSERT_EQ(history.Steps().size(), 1u);
    EXPECT_EQ(history.Steps()[0].Text, "click");
    EXPECT_EQ(history.Steps()[0].Changes.size(), 2u);  // (1, 2) is back where it was
    EXPECT_EQ(history.Steps()[0].Kind, StepKind::Action);
    // The merged step takes no second double click; one after a plain action stays a step.
    EXPECT_EQ(history.Push(Flip(history.Current(), {{2, 2}}, StepKind::DoubleClick)),
              RecordedHistory::Pushed::Added);

    history.Push(Flip(history.Current(), {{4, 4}}, StepKind::CellClick));
    EXPECT_EQ(history.Push(Flip(history.Current(), {{4, 4}}, StepKind::DoubleClick)),
              RecordedHistory::Pushed::Dropped);
    EXPECT_EQ(history.Steps().size(), 2u);
    EXPECT_EQ(history.Position(), 2u);
    EXPECT_EQ(history.Current().Get(4, 4), False16);
}

TEST(RecordedHistoryTest, StepsThatDoNotFitChangeNothing) {
    VisibilityDocument start;
    start.SetElement(2, 3, True16);
    const VisibilityMatrix base = start.Matrix;
    RecordedHistory history(base, 10);
    const std::pair<const char*, RecordedStep> misfits[] = {
        {"outside the blocks", Flip(base, {{1, 1}, {11, 1}})},
        {"no block 0", Flip(base, {{1, 1}, {0, 1}})},
        {"a value that is not there",
         {"s", StepKind::Action, {{1, 1, False16, True16}, {2, 3, False16, True16}}}},
        {"a value no file holds", {"s", StepKind::Action, {{1, 1, False16, 1}}}},
    };
    for (const auto& [what, step] : misfits) {
        EXPECT_THROW(history.Push(step), LumarkError) << what;
        EXPECT_EQ(history.Current(), base) << what;
        EXPECT_TRUE(history.Steps().empty()) << what;
    }
    VisibilityDocument labelled;
    labelled.SetElement(4, 0, True16);
    EXPECT_THROW(RecordedHistory(labelled.Matrix, 10), LumarkError);
}

// A record begins from the relation on screen: the steps done lead back to where it began.
TEST(RecordedHistoryTest, StandingAtFindsTheBaseBehindTheStepsDone) {
    VisibilityDocument state;
    state.SetElement(2, 3, True16);
    const VisibilityMatrix base = state.Matrix;
    const RecordedStep first{"first", StepKind::Action, {{1, 1, 0, -1}, {2, 3, -1, 0}}};
    state.SetElement(1, 1, True16);
    state.SetElement(2, 3, False16);
    const VisibilityMatrix afterFirst = state.Matrix;
    const RecordedStep second{"second", StepKind::Action, {{4, 5, 0, -1}, {1, 1, -1, 0}}};
    state.SetElement(4, 5, True16);
    state.SetElement(1, 1, False16);
    const VisibilityMatrix afterBoth = state.Matrix;

    const std::pair<std::size_t, const VisibilityMatrix*> standing[] = {
        {0, &base}, {1, &afterFirst}, {2, &afterBoth}};
    for (const auto& [position, current] : standing) {
        const RecordedHistory history =
            RecordedHistory::StandingAt(*current, 10, {first, second}, position, 1);
        EXPECT_EQ(history.Base(), base) << position;
        EXPECT_EQ(history.Current(), *current) << position;
        EXPECT_EQ(history.SavedPosition(), 1u);
    }
    // A relation the steps done do not lead to is not where this history stands.
    EXPECT_THROW(RecordedHistory::StandingAt(base, 10, {first, second}, 2, 1), LumarkError);
}

}  // namespace
}  // namespace lumark
