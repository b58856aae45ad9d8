#pragma once

#include <cstdint>

#include "ListViewModel.h"
#include "VisibilityDocument.h"

namespace lumark {

constexpr int MatrixColumnWidthTwips = 550;

// Where the user stands after a rebuild: at the start, as for another file, or where they
// were, as for the same file read again (its undo and redo too).
enum class GridPlace { Start, Kept };

// Throws the grid away and builds it again from the document: a hidden label column, one
// column per block (keys B1.., headers 0..), one row per block (keys Z1.., texts 0..). With
// GridPlace::Kept the selected blocks that the document still has stay selected, and views
// are told to keep their scroll position and focused cell.
void FillMatrixGrid(const VisibilityDocument& doc, ListViewModel& grid,
                    GridPlace place = GridPlace::Start);

// Rewrites the cell of element (column, row). Both indices are wrapped one step around the ring
// first and the wrapped values are stored back; a 0 in either does nothing.
void RefreshMatrixCell(const VisibilityDocument& doc, ListViewModel& grid, std::int16_t& column,
                       std::int16_t& row);

}  // namespace lumark
