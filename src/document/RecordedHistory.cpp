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

void CheckPositions(std::size_t steps, std::size_t position,
                    const std::optional<std::size_t>& savedPosition) {
    if (position > steps || (savedPosition && *savedPosition > steps)) {
        throw LumarkError("a position beyond the " + std::to_string(steps) + " steps");
    }
}

}  // namespace

bool JoinSteps(RecordedStep& top, const RecordedStep& next) {
    top.Changes.insert(top.Changes.end(), next.Changes.begin(), next.Changes.end());
    top.Changes = NetChanges(top.Changes);
    top.Kind = StepKind::Action;  // one double click per click
    return !top.Changes.empty();
}

RecordedHistory::RecordedHistory(const VisibilityMatrix& base, std::int16_t blockCount)
    : base_(base), blockCount_(blockCount), savedPosition_(0) {
    current_.Matrix = base;
    CheckBase(base_, blockCount_);
}

RecordedHistory RecordedHistory::FromSteps(const VisibilityMatrix& base, std::int16_t blockCount,
                                           std::vector<RecordedStep> steps, std::size_t position,
                                           std::optional<std::size_t> savedPosition) {
    CheckPositions(steps.size(), position, savedPosition);
    RecordedHistory history(base, blockCount);
    history.PlaceSteps(std::move(steps), position, savedPosition);
    return history;
}

RecordedHistory RecordedHistory::StandingAt(const VisibilityMatrix& current,
                                            std::int16_t blockCount,
                                            std::vector<RecordedStep> steps, std::size_t position,
                                            std::optional<std::size_t> savedPosition) {
    RecordedHistory history(current, blockCount);
    CheckPositions(steps.size(), position, savedPosition);
    for (std::size_t done = position; done > 0; --done) {
        history.Apply(history.current_, steps[done - 1], false);
    }
    // Every element the steps changed holds 0 or -1: the base passes the checks of `current`.
    history.base_ = history.current_.Matrix;
    history.PlaceSteps(std::move(steps), position, savedPosition);
    return history;
}

void RecordedHistory::PlaceSteps(std::vector<RecordedStep> steps, std::size_t position,
                                 std::optional<std::size_t> savedPosition) {
    CheckPositions(steps.size(), position, savedPosition);
    for (const RecordedStep& step : steps) {
        Apply(current_, step, true);
    }
    for (std::size_t undone = steps.size(); undone > position; --undone) {
        Apply(current_, steps[undone - 1], false);
    }
    steps_ = std::move(steps);
    position_ = position;
    savedPosition_ = savedPosition;
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
    steps_.resize(position_);
    if (savedPosition_ && *savedPosition_ > position_) {
        savedPosition_.reset();  // the file's state was among the steps dropped
    }
    if (position_ > 0 && savedPosition_ != position_ && JoinsStep(steps_.back().Kind, step.Kind)) {
        if (JoinSteps(steps_.back(), step)) {
            return Pushed::Merged;
        }
        steps_.pop_back();
        --position_;
        return Pushed::Dropped;
    }
    steps_.push_back(std::move(step));
    ++position_;
    return Pushed::Added;
}

void RecordedHistory::Undo() {
    if (position_ == 0) {
        throw LumarkError("an undo with no step to undo");
    }
    Apply(current_, steps_[position_ - 1], false);
    --position_;
}

void RecordedHistory::Redo() {
    if (position_ == steps_.size()) {
        throw LumarkError("a redo with no step to redo");
    }
    Apply(current_, steps_[position_], true);
    ++position_;
}

void RecordedHistory::Fold(std::size_t count) {
    if (count > position_) {
        throw LumarkError("folding " + std::to_string(count) + " steps of " +
                          std::to_string(position_) + " done");
    }
    VisibilityDocument folded;
    folded.Matrix = base_;
    for (std::size_t i = 0; i < count; ++i) {
        Apply(folded, steps_[i], true);
    }
    base_ = folded.Matrix;
    steps_.erase(steps_.begin(), steps_.begin() + static_cast<std::ptrdiff_t>(count));
    position_ -= count;
    if (savedPosition_) {
        savedPosition_ = *savedPosition_ >= count
                             ? std::optional<std::size_t>(*savedPosition_ - count)
                             : std::nullopt;
    }
}

}  // namespace lumark
