#pragma once

#include <QModelIndex>
#include <QObject>
#include <QString>
#include <QVariant>
#include <vector>

#include "ListViewModel.h"
#include "VisibilityDocument.h"

class QTableView;

namespace lumark {

// What a screen reader says for a grid cell: "block 7 sees 12", "block 7 does not see 12",
// "block 7 sees itself", with ", selected" when the column's block is selected. Block numbers
// are 0-based as the user sees them; the column's block comes first. Null for the label column
// and for cells outside the document, so the display text stands in.
QVariant CellAccessibleText(const VisibilityDocument& doc, const ListViewModel& grid,
                            const QModelIndex& index);

// "block 7", or "block 7, selected"; null for the label column's header.
QVariant HeaderAccessibleText(const ListViewModel& grid, int section);

// Tells assistive technology when a block column's selection changes. The selection is only the
// colour of the column, so it is read back from the diagonal cells after every data change; the
// header and the cells on screen are renamed (their text ends in ", selected" or no longer does).
class GridSelectionAnnouncer : public QObject {
    Q_OBJECT

  public:
    GridSelectionAnnouncer(QTableView& view, const ListViewModel& grid);

  private:
    void Reread();
    void ColumnsChanged(int first, int last);
    void Announce(const std::vector<int>& columns) const;

    QTableView& view_;
    const ListViewModel& grid_;
    std::vector<bool> selected_;  // by block column; index 0 is the label column
};

}  // namespace lumark
