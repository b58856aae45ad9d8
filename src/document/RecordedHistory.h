#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "StepHistory.h"
#include "VisibilityDocument.h"

namespace lumark {

// The edit history of one document as a recovery record keeps it, without Qt: the relation
// before the first step, and the steps, standing and saved where the window's history has them,
// under the same rules. Every change must fit: indices within 1..BlockCount, a value of 0 or -1
// before, the element's value where the step applies, and its inverse after. What does not fit
// is a LumarkError and leaves the history as it was.
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

    using Pushed = StepHistory<RecordedStep>::Pushed;
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
    const std::vector<RecordedStep>& Steps() const { return steps_.Steps(); }
    std::size_t Position() const { return steps_.Position(); }
    const std::optional<std::size_t>& SavedPosition() const { return steps_.SavedPosition(); }

  private:
    // From the base, the placed steps done and those not done undone again, each checked.
    void DoPlacedSteps();
    // Does `step` on `matrix` forwards or undoes it, each element checked against the value it
    // must hold; on a mismatch nothing is changed and a LumarkError names the element.
    void Apply(VisibilityDocument& state, const RecordedStep& step, bool forward) const;

    VisibilityMatrix base_;
    VisibilityDocument current_;  // changed, like any document, only element by element
    std::int16_t blockCount_;
    StepHistory<RecordedStep> steps_;
};

}  // namespace lumark
