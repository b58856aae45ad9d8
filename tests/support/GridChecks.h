#pragma once

#include <gtest/gtest.h>

#include "ListViewModel.h"
#include "MatrixGrid.h"
#include "VisibilityDocument.h"

namespace lumark {

// Every cell's text follows its element, as a full rebuild would show it.
inline void ExpectGridInStep(const VisibilityDocument& doc, const ListViewModel& grid) {
    ListViewModel rebuilt;
    FillMatrixGrid(doc, rebuilt);
    for (int r = 1; r <= doc.BlockCount; ++r) {
        for (int c = 1; c <= doc.BlockCount; ++c) {
            ASSERT_EQ(grid.SubItemText(r, c), rebuilt.SubItemText(r, c)) << c << ", " << r;
        }
    }
}

}  // namespace lumark
