#include "RecordedHistory.h"

#include <string>
#include <utility>

#include "LumarkError.h"

namespace lumark {

namespace {

std::string ElementText(const ElementChange& change) {
    return "element (" + std::to_string(change.Column) + ", " + std::to_string(change.Row) + ")";
}

// Elements outside the blocks are never edited, and a record keeps only the values 0 and -1.
void CheckBase(const VisibilityMatrix& base, std::int16_t blockCount) {
    if (blockCount > VisibilityMatrix::MaxBlocks) {
        throw LumarkError("block count " + std::to_string(blockCount) + " is above " +
                          std::to_string(VisibilityMatrix::MaxBlocks));
    }
    for (int column = 0; column < VisibilityMatrix::Size; ++column) {
        for (int row = 0; row < VisibilityMatrix::Size; ++row) {
            const std::int16_t value = base.Get(column, row);
            const bool allowed = value == False16 || (value == True16 && column > 0 && row > 0);
            if (!allowed) {
                throw LumarkError("the relation holds " + std::to_string(value) + " at element (" +
                                  std::to_string(column) + ", " + std::to_string(row) + ")");
            }
        }
    }
}

}  // namespace

RecordedHistory::RecordedHistory(const VisibilityMatrix& base, std::int16_t blockCount)
    : base_(base), blockCount_(blockCount) {
    current_.Matrix = base;
    CheckBase(base_, blockCount_);
}

RecordedHistory RecordedHistory::FromSteps(const VisibilityMatrix& base, std::int16_t blockCount,
                                           std::vector<RecordedStep> steps, std::size_t position,
                                           std::optional<std::size_t> savedPosition) {
    RecordedHistory history(base, blockCount);
    history.steps_.Place(std::move(steps), position, savedPosition);
    history.DoPlacedSteps();
    return history;
}

RecordedHistory RecordedHistory::StandingAt(const VisibilityMatrix& current,
                                            std::int16_t blockCount,
                                            std::vector<RecordedStep> steps, std::size_t position,
                                            std::optional<std::size_t> savedPosition) {
    RecordedHistory history(current, blockCount);
    history.steps_.Place(std::move(steps), position, savedPosition);
    const std::vector<RecordedStep>& placed = history.steps_.Steps();
    for (std::size_t done = position; done > 0; --done) {
        history.Apply(history.current_, placed[done - 1], false);
    }
    // Every element the steps changed holds 0 or -1: the base passes the checks of `current`.
    history.base_ = history.current_.Matrix;
    history.DoPlacedSteps();
    return history;
}

void RecordedHistory::DoPlacedSteps() {
    const std::vector<RecordedStep>& steps = steps_.Steps();
    for (const RecordedStep& step : steps) {
        Apply(current_, step, true);
    }
    for (std::size_t undone = steps.size(); undone > steps_.Position(); --undone) {
        Apply(current_, steps[undone - 1], false);
    }
}

void RecordedHistory::Apply(VisibilityDocument& state, const RecordedStep& step,
                            bool forward) const {
    const std::size_t count = step.Changes.size();
    const auto change = [&](std::size_t i) -> const ElementChange& {
        return step.Changes[forward ? i : count - 1 - i];
    };
    for (std::size_t i = 0; i < count; ++i) {
        const ElementChange& c = change(i);
        const std::int16_t from = forward ? c.Before : c.After;
        const std::int16_t to = forward ? c.After : c.Before;
        const bool inside =
            c.Column >= 1 && c.Column <= blockCount_ && c.Row >= 1 && c.Row <= blockCount_;
        const bool values = (c.Before == True16 || c.Before == False16) && c.After == ~c.Before;
        // Checked in one go: the message is made only for a change that does not fit.
        if (!inside || !values || state.Matrix.Get(c.Column, c.Row) != from) {
            std::string problem;
            if (!inside) {
                problem = "changes " + ElementText(c) + ", outside blocks 1.." +
                          std::to_string(blockCount_);
            } else if (!values) {
                problem = "changes " + ElementText(c) + " from " + std::to_string(c.Before) +
                          " to " + std::to_string(c.After);
            } else {
                problem = "finds " + ElementText(c) + " at " +
                          std::to_string(state.Matrix.Get(c.Column, c.Row)) + ", not " +
                          std::to_string(from);
            }
            for (std::size_t j = i; j-- > 0;) {  // put back what this step changed so far
                const ElementChange& done = change(j);
                state.SetElement(done.Column, done.Row, forward ? done.Before : done.After);
            }
            throw LumarkError("step \"" + step.Text + "\" " + problem);
        }
        state.SetElement(c.Column, c.Row, to);
    }
}

RecordedHistory::Pushed RecordedHistory::Push(RecordedStep step) {
    Apply(current_, step, true);
    return steps_.Push(std::move(step));
}

void RecordedHistory::Undo() {
    if (!steps_.Undo([this](const RecordedStep& step) { Apply(current_, step, false); })) {
        throw LumarkError("an undo with no step to undo");
    }
}

void RecordedHistory::Redo() {
    if (!steps_.Redo([this](const RecordedStep& step) { Apply(current_, step, true); })) {
        throw LumarkError("a redo with no step to redo");
    }
}

void RecordedHistory::Fold(std::size_t count) {
    VisibilityDocument folded;
    folded.Matrix = base_;
    for (std::size_t i = 0; i < count && i < steps_.Position(); ++i) {
        Apply(folded, steps_.Steps()[i], true);
    }
    steps_.DropOldest(count);  // a count beyond the steps done leaves everything as it was
    base_ = folded.Matrix;
}

}  // namespace lumark
