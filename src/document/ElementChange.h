#pragma once

#include <cstdint>
#include <vector>

namespace lumark {

// One element as an edit changed it: its indices as the edit used them, and its values.
struct ElementChange {
    std::int16_t Column;
    std::int16_t Row;
    std::int16_t Before;
    std::int16_t After;
};

// The net effect of changes made one after the other: each element once, with its first value
// before and last value after, in the order first changed; elements back at their value dropped.
std::vector<ElementChange> NetChanges(const std::vector<ElementChange>& changes);

}  // namespace lumark
