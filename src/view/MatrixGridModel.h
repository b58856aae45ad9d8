#pragma once

#include <cstdint>

#include "BlockSelection.h"
#include "ListViewModel.h"
#include "VisibilityDocument.h"

namespace lumark {

// The window's grid model. The list view holds the headers and row labels; every block cell's
// text, colour and bold header are worked out from the document and the selection when asked.
// It watches both and announces what changed, so views repaint just that.
class MatrixGridModel : public ListViewModel, private ElementWatcher {
    Q_OBJECT

  public:
    MatrixGridModel(VisibilityDocument& doc, BlockSelection& selection, QObject* parent = nullptr);
    ~MatrixGridModel() override;

    const VisibilityDocument& Document() const { return doc_; }
    const BlockSelection& Selection() const { return selection_; }
    BlockSelection& Selection() { return selection_; }

    // As the list view reads them back: block cells from the document and the selection.
    QString SubItemText(int row, int subItem) const;
    std::uint32_t SubItemForeColour(int row, int subItem) const;

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    // The zero-width label column shows no element: keyboard focus and assistive technology
    // pass it by.
    Qt::ItemFlags flags(const QModelIndex& index) const override;

  private:
    void ElementChanged(const ElementChange& change) override;
    void SelectionChanged(std::int16_t block);
    // Row and column (1-based) name a block cell the grid shows.
    bool IsBlockCell(int row, int column) const {
        return row >= 1 && row <= ListItemCount() && column >= 1 && column < ColumnHeaderCount();
    }

    VisibilityDocument& doc_;
    BlockSelection& selection_;
};

}  // namespace lumark
