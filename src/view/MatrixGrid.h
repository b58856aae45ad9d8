#pragma once

#include <cstdint>

#include "ListViewModel.h"
#include "VisibilityDocument.h"

namespace lumark {

constexpr int MatrixColumnWidthTwips = 550;

// Throws the grid away and builds it again from the document: a hidden label column, one
// column per block (keys B1.., headers 0..), one row per block (keys Z1.., texts 0..).
void FillMatrixGrid(const VisibilityDocument& doc, ListViewModel& grid);

// Rewrites the cell of element (column, row). Both indices are wrapped one step around the ring
// first and the wrapped values are stored back; a 0 in either does nothing.
void RefreshMatrixCell(const VisibilityDocument& doc, ListViewModel& grid, std::int16_t& column,
                       std::int16_t& row);

}  // namespace lumark
