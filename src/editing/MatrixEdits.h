#pragma once

#include <cstdint>
#include <vector>

#include "ElementChange.h"
#include "VisibilityDocument.h"

namespace lumark {

// The edits of the visibility relation, on the document alone. Every change goes through the
// document, so its recorder and its watcher (ElementChange.h) see it; whether the file now has
// unsaved changes is the business of whoever records the edit.

// Inverts element (column, row). The indices are not wrapped for the element (outside 0..300 is
// a LumarkError); afterwards, unless either is 0, both are wrapped one step around the ring and
// stored back into the caller's variables.
void ToggleVisibilityCell(VisibilityDocument& doc, std::int16_t& column, std::int16_t& row);

// Makes block `row` the edge of block `column`'s view on its side of the ring: the path from
// the column's block up to and including `row` becomes visible, and the blocks beyond it, up
// to the limit a third of the ring away, become invisible. A click at or beyond that limit
// sets the path and clears nothing. Both indices must lie in 1..BlockCount; neither is changed.
void SetVisibilityEdge(VisibilityDocument& doc, std::int16_t& column, std::int16_t& row);

// "Cross Fw & Bw": whenever block i sees block j, block j is made to see block i. Returns the
// number of elements changed.
int MakeVisibilityMutual(VisibilityDocument& doc);

// The counterpart of "Cross Fw & Bw": every pair of blocks seen only one way becomes seen
// neither way; pairs seen both ways and the diagonal stay. Returns the number of elements
// cleared.
int RemoveOneWayVisibility(VisibilityDocument& doc);

// Sets each changed element back to its value before (Undo, last change first) or again to its
// value after (Redo, in the order made).
enum class Replay { Undo, Redo };
void ReplayElementChanges(VisibilityDocument& doc, const std::vector<ElementChange>& changes,
                          Replay direction);

}  // namespace lumark
