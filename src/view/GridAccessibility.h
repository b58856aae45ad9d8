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

class MatrixGridModel;

// What a screen reader says for a grid cell: "block 7 sees 12", "block 7 does not see 12",
// "block 7 sees itself", with ", selected" when the column's block is selected. Block numbers
// are 0-based as the user sees them; the column's block comes first. Null for the label column
// and for cells outside the document, so the display text stands in.
QVariant CellAccessibleText(const VisibilityDocument& doc, const MatrixGridModel& grid,
                            const QModelIndex& index);

// "block 7", or "block 7, selected"; null for the label column's header.
QVariant HeaderAccessibleText(const MatrixGridModel& grid, int section);

// Tells assistive technology what the texts above do not announce by themselves. When a block
// column's selection changes (it is only the column's colour, read back from the diagonal cells
// after every data change), its header and its cells on screen are renamed: their text gains or
// loses ", selected". An edit of the focused cell renames that cell.
class GridChangeAnnouncer : public QObject {
    Q_OBJECT

  public:
    GridChangeAnnouncer(QTableView& view, const MatrixGridModel& grid);

  private:
    QString AccessibleText(const QModelIndex& index) const;
    void Reread();
    void DataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QList<int>& roles);
    void Announce(const std::vector<int>& columns, bool focusedEdited) const;

    QTableView& view_;
    const MatrixGridModel& grid_;
    std::vector<bool> selected_;  // by block column; index 0 is the label column
    QString focusedText_;         // what the focused cell said when last heard
};

}  // namespace lumark
