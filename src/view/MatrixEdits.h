#pragma once

#include <cstdint>

#include "ListViewModel.h"
#include "VisibilityDocument.h"

namespace lumark {

// The edits of the visibility relation. Each changed element's cell is rewritten through
// RefreshMatrixCell; colours are never touched. None of them sets UnsavedChanges except
// MakeVisibilityMutual, which has no caller that would.

// Inverts element (column, row) and rewrites its cell. The indices are not wrapped for the
// element (outside 0..300 is a LumarkError); RefreshMatrixCell may store wrapped values back
// into the caller's variables.
void ToggleVisibilityCell(VisibilityDocument& doc, ListViewModel& grid, std::int16_t& column,
                          std::int16_t& row);

// Makes block `row` the edge of block `column`'s view on its side of the ring: the path from
// the column's block up to and including `row` becomes visible, and the blocks beyond it, up
// to the limit a third of the ring away, become invisible. A click at or beyond that limit
// sets the path and clears nothing. Both indices must lie in 1..BlockCount; neither is changed.
void SetVisibilityEdge(VisibilityDocument& doc, ListViewModel& grid, std::int16_t& column,
                       std::int16_t& row);

// "Cross Fw & Bw": whenever block i sees block j, block j is made to see block i, and every
// mirror element is rewritten. Sets UnsavedChanges when at least one element changed (else
// leaves it as it was) and returns the number of elements changed.
int MakeVisibilityMutual(VisibilityDocument& doc, ListViewModel& grid);

}  // namespace lumark
