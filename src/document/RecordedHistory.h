#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ElementChange.h"
#include "VisibilityDocument.h"

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

// The edit history of one document as a recovery record keeps it, without Qt: the relation
// before the first step, the steps, how many of them are done, and which state matches the
// file on disk. Push, Undo and Redo change it as the edit history's undo stack changes: a push
// after undos drops the steps that could have been redone, a double click's step merges into
// the cell click's step on top (unless the state before it matches the file), and a merge
// that changes nothing drops the step. Every change must fit: indices within 1..BlockCount, a
// value of 0 or -1 before, the element's value where the step applies, and its inverse after.
// What does not fit is a LumarkError and leaves the history as it was.
class RecordedHistory {
  public:
    // No steps yet: `base` is the relation as it stands, and it matches the file on disk.
    RecordedHistory(const VisibilityMatrix& base, std::int16_t blockCount);

    // `steps` starting from `base`, of which the first `position` are done; `savedPosition`
    // is the number of steps done where the relation matches the file, if any does.
    static RecordedHistory FromSteps(const VisibilityMatrix& base, std::int16_t blockCount,
                                     std::vector<RecordedStep> steps, std::size_t position,
                                     std::optional<std::size_t> savedPosition);
    // The same, from the relation as it stands with the first `position` steps done.
    static RecordedHistory StandingAt(const VisibilityMatrix& current, std::int16_t blockCount,
                                      std::vector<RecordedStep> steps, std::size_t position,
                                      std::optional<std::size_t> savedPosition);

    enum class Pushed { Added, Merged, Dropped };
    // A step done where the history stands; what became of it.
    Pushed Push(RecordedStep step);
    void Undo();
    void Redo();
    // The oldest `count` done steps become part of the base; the history then begins after
    // them. The file's state goes with them when it was among them.
    void Fold(std::size_t count);

    const VisibilityMatrix& Base() const { return base_; }
    // The relation with the first Position() steps done.
    const VisibilityMatrix& Current() const { return current_.Matrix; }
    std::int16_t BlockCount() const { return blockCount_; }
    const std::vector<RecordedStep>& Steps() const { return steps_; }
    std::size_t Position() const { return position_; }
    const std::optional<std::size_t>& SavedPosition() const { return savedPosition_; }

  private:
    // `steps` from the base, of which the first `position` are done; each checked as it is done.
    void PlaceSteps(std::vector<RecordedStep> steps, std::size_t position,
                    std::optional<std::size_t> savedPosition);
    // Does `step` on `matrix` forwards or undoes it, each element checked against the value it
    // must hold; on a mismatch nothing is changed and a LumarkError names the element.
    void Apply(VisibilityDocument& state, const RecordedStep& step, bool forward) const;

    VisibilityMatrix base_;
    VisibilityDocument current_;  // changed, like any document, only element by element
    std::int16_t blockCount_;
    std::vector<RecordedStep> steps_;
    std::size_t position_ = 0;
    std::optional<std::size_t> savedPosition_;
};

}  // namespace lumark
