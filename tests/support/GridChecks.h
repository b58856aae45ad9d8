#pragma once

#include <gtest/gtest.h>

#include <string>

#include "MatrixGridModel.h"
#include "VisibilityDocument.h"

namespace lumark {

// Every cell's text follows its element. The expected texts come from the matrix alone, not
// from the grid code under test: in row r (block number r - 1) the diagonal cell shows "(r-1)",
// a cell whose column's block sees row r's block shows "r-1", any other "  ---".
inline void ExpectGridInStep(const VisibilityDocument& doc, const MatrixGridModel& grid) {
    ASSERT_EQ(grid.ListItemCount(), doc.BlockCount);
    ASSERT_EQ(grid.ColumnHeaderCount(), doc.BlockCount + 1);
    for (int r = 1; r <= doc.BlockCount; ++r) {
        const std::string number = std::to_string(r - 1);
        for (int c = 1; c <= doc.BlockCount; ++c) {
            const std::string expected = r == c                           ? "(" + number + ")"
                                         : doc.Matrix.Get(c, r) == True16 ? number
                                                                          : "  ---";
            ASSERT_EQ(grid.SubItemText(r, c).toStdString(), expected)
                << "column " << c << ", row " << r;
        }
    }
}

}  // namespace lumark
