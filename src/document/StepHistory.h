#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ElementChange.h"
#include "LumarkError.h"

namespace lumark {

// How the edit history made a step. A double click's step is merged into the cell click's step
// right before it.
enum class StepKind : std::uint8_t { Action, CellClick, DoubleClick };

// One step of the edit history: its text as the history shows it (UTF-8) and the elements it
// changed, in the order changed.
struct RecordedStep {
    std::string Text;
    StepKind Kind = StepKind::Action;
    std::vector<ElementChange> Changes;
};

// Whether a step of kind `next` pushed right on top of one of kind `top` joins it, unless the
// state before `next` matches the file.
constexpr bool JoinsStep(StepKind top, StepKind next) {
    return top == StepKind::CellClick && next == StepKind::DoubleClick;
}
// Takes `next` into `top` as one step: the net changes of both, and no further double click.
// False when together they changed nothing, and `top` is to be dropped.
bool JoinSteps(RecordedStep& top, const RecordedStep& next);

// The steps of an edit history, how many of them are done, and after how many the document
// matches its file, if it does anywhere among them. Doing and undoing a step is its owner's:
// this keeps only where the history stands. A push after undos drops the steps that could have
// been redone, and the file's state with them when it was among them; a double click's step
// joins the cell click's step on top, and a join that changes nothing drops the step. `Step` is
// a RecordedStep, or holds one as its base.
template <typename Step>
class StepHistory {
  public:
    enum class Pushed { Added, Merged, Dropped };

    // A step just done where the history stands; what became of it.
    Pushed Push(Step step) {
        steps_.erase(steps_.begin() + static_cast<std::ptrdiff_t>(position_), steps_.end());
        if (saved_ && *saved_ > position_) {
            saved_.reset();
        }
        if (position_ > 0 && saved_ != position_ && JoinsStep(steps_.back().Kind, step.Kind)) {
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

    // Hands the step before where the history stands to `undo`, then stands before it; false
    // when there is none. What `undo` throws leaves the history where it stood.
    template <typename Apply>
    bool Undo(Apply&& undo) {
        if (position_ == 0) {
            return false;
        }
        undo(steps_[position_ - 1]);
        --position_;
        return true;
    }
    // The same forwards, with the step after where the history stands.
    template <typename Apply>
    bool Redo(Apply&& redo) {
        if (position_ == steps_.size()) {
            return false;
        }
        redo(steps_[position_]);
        ++position_;
        return true;
    }

    // The document now matches its file.
    void MarkSaved() { saved_ = position_; }
    // No steps, at the file's state.
    void Clear() { Place({}, 0, 0); }
    // `steps`, of which the first `position` are done, the file's state after `saved` of them.
    void Place(std::vector<Step> steps, std::size_t position, std::optional<std::size_t> saved) {
        if (position > steps.size() || (saved && *saved > steps.size())) {
            throw LumarkError("a position beyond the " + std::to_string(steps.size()) + " steps");
        }
        steps_ = std::move(steps);
        position_ = position;
        saved_ = saved;
    }
    // The oldest `count` done steps leave the history, the file's state with them when it was
    // among them.
    void DropOldest(std::size_t count) {
        if (count > position_) {
            throw LumarkError("folding " + std::to_string(count) + " steps of " +
                              std::to_string(position_) + " done");
        }
        steps_.erase(steps_.begin(), steps_.begin() + static_cast<std::ptrdiff_t>(count));
        position_ -= count;
        if (saved_) {
            saved_ = *saved_ >= count ? std::optional<std::size_t>(*saved_ - count) : std::nullopt;
        }
    }

    const std::vector<Step>& Steps() const { return steps_; }
    std::size_t Position() const { return position_; }
    const std::optional<std::size_t>& SavedPosition() const { return saved_; }
    bool CanUndo() const { return position_ > 0; }
    bool CanRedo() const { return position_ < steps_.size(); }
    bool AtSavedState() const { return saved_ == position_; }

  private:
    std::vector<Step> steps_;
    std::size_t position_ = 0;
    std::optional<std::size_t> saved_ = 0;
};

}  // namespace lumark
