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
    VisibilityMatrix state = relation;
    for (const auto& [c, r] : at) {
        const auto before = state.Get(c, r);
        const auto after = static_cast<std::int16_t>(~before);
        step.Changes.push_back(
            {static_cast<std::int16_t>(c), static_cast<std::int16_t>(r), before, after});
        state.Set(c, r, after);
    }
    return step;
}

}  // namespace lumark::test
