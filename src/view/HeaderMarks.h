#pragma once

#include <QVariant>
#include <Qt>

#include "ListViewModel.h"

class QModelIndex;
class QTableView;

namespace lumark {

class MatrixGridModel;

// What the headers add to the list view's own header data: the header of a selected block is
// bold and drawn in its column's colour, which stays the one record of the selection; a row's
// label is its item text, the block number. An invalid variant leaves the role to the list view.
QVariant HeaderMark(const MatrixGridModel& grid, int section, Qt::Orientation orientation,
                    int role);

// Repaints the headers of `view` whenever a diagonal cell of `grid` changes, since that is
// where the marks are read. (A headerDataChanged would cost the grid a second repaint.)
void FollowHeaderMarks(QTableView& view, const ListViewModel& grid);

// Shows the row labels at the left of the grid: fixed, wide enough for any block number, and
// not clickable (a row has no selection of its own).
void ShowRowLabels(QTableView& view);

}  // namespace lumark
