#include "MatrixGridModel.h"

#include "GridTint.h"
#include "HeaderMarks.h"

namespace lumark {

MatrixGridModel::MatrixGridModel(const VisibilityDocument& doc, QObject* parent)
    : ListViewModel(parent), doc_(doc) {
    // A cell's tint follows its mirror too: announce the mirror with the change.
    connect(this, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& topLeft, const QModelIndex& bottomRight,
                   const QList<int>& roles) {
                if (roles != QList<int>{Qt::BackgroundRole}) {
                    AnnounceMirrorTint(*this, topLeft, bottomRight);
                }
            });
}

QVariant MatrixGridModel::data(const QModelIndex& index, int role) const {
    if (role == Qt::BackgroundRole) {
        return index.isValid() ? CellTint(doc_, index.row() + 1, index.column()) : QVariant();
    }
    return ListViewModel::data(index, role);
}

QVariant MatrixGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    const QVariant mark = HeaderMark(*this, section, orientation, role);
    return mark.isValid() ? mark : ListViewModel::headerData(section, orientation, role);
}

}  // namespace lumark
