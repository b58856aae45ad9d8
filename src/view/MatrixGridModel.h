#pragma once

#include "ListViewModel.h"
#include "VisibilityDocument.h"

namespace lumark {

// The window's grid model: the list view's texts and colours, plus what the relation itself
// tells about a cell or a header (shown beside the list view's own data, never instead of it).
class MatrixGridModel : public ListViewModel {
    Q_OBJECT

  public:
    explicit MatrixGridModel(const VisibilityDocument& doc, QObject* parent = nullptr);

    const VisibilityDocument& Document() const { return doc_; }

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    // The zero-width label column shows no element: keyboard focus and assistive technology
    // pass it by.
    Qt::ItemFlags flags(const QModelIndex& index) const override;

  private:
    const VisibilityDocument& doc_;
};

}  // namespace lumark
