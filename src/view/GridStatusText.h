#pragma once

#include <QString>

#include "MatrixGridModel.h"
#include "VisibilityDocument.h"

namespace lumark {

// What the cell in row `row` (1-based) under block column `column` says, in the file's block
// numbers: "7 sees 12", "7 does not see 12", or "7 (itself)" on the diagonal. Empty for the
// label column and outside the blocks.
QString PointerCellText(const VisibilityDocument& doc, int row, int column);

// What the pointer panel says of that cell: the cell's text, or on the diagonal the block's
// summary ("block 7: sees 5-9 (5), ...").
QString PointerPanelText(const VisibilityDocument& doc, int row, int column);

// What element (column, row) and its mirror say together, in the file's block numbers:
// "7 sees 12, seen back", "7 sees 12, not seen back", "7 does not see 12, seen by it",
// "7 does not see 12, not seen by it", or "7 (itself)". Empty outside the blocks.
QString PairText(const VisibilityDocument& doc, int row, int column);

// "N selected" among the blocks the grid shows; empty when no block is selected.
QString SelectionCountText(const MatrixGridModel& grid, int blockCount);

}  // namespace lumark
