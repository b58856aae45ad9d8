#pragma once

#include <initializer_list>
#include <utility>

#include "RecordedHistory.h"

namespace lumark::test {

// A step that inverts the given elements of `relation`, in that order, as an edit would.
inline RecordedStep Flip(const VisibilityMatrix& relation,
                         std::initializer_list<std::pair<int, int>> at,
                         StepKind kind = StepKind::Action,
                         const char* text = "Increase (+) on 1 block") {
    RecordedStep step{text, kind, {}};
    VisibilityDocument state;
    state.Matrix = relation;
    for (const auto& [c, r] : at) {
        const auto before = state.Matrix.Get(c, r);
        const auto after = static_cast<std::int16_t>(~before);
        step.Changes.push_back(
            {static_cast<std::int16_t>(c), static_cast<std::int16_t>(r), before, after});
        state.SetElement(c, r, after);
    }
    return step;
}

}  // namespace lumark::test
