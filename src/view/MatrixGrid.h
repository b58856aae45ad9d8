#pragma once

#include <cstdint>

#include <QString>

#include "MatrixGridModel.h"
#include "VisibilityDocument.h"

namespace lumark {

constexpr int MatrixColumnWidthTwips = 550;

// Where the user stands after a rebuild: at the start, as for another file, or where they
// were, as for the same file read again (its undo and redo too).
enum class GridPlace { Start, Kept };

// Throws the grid away and builds it again from its document: a hidden label column, one
// column per block (keys B1.., headers 0..), one row per block (keys Z1.., texts 0..). With
// GridPlace::Start nothing is selected afterwards; with GridPlace::Kept the selected blocks that
// the document still has stay selected, and views are told to keep their scroll position and
// focused cell.
void FillMatrixGrid(MatrixGridModel& grid, GridPlace place = GridPlace::Start);

// The text of the cell of element (column, row), both in 1..BlockCount: "(n)" on the diagonal,
// the row's block number n where the column's block sees it, "  ---" elsewhere.
QString MatrixCellText(const VisibilityDocument& doc, int row, int column);

}  // namespace lumark
