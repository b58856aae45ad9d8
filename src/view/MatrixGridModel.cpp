#include "MatrixGridModel.h"

#include "GridAccessibility.h"
#include "GridTint.h"
#include "HeaderMarks.h"

namespace lumark {

MatrixGridModel::MatrixGridModel(const VisibilityDocument& doc, QObject* parent)
    : ListViewModel(parent), doc_(doc) {
    // A cell's tint follows its mirror too: announce the mirror with the change.
    connect(this, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& topLeft, const QModelIndex& bottomRight,
                   const QList<int>& roles) {
                // Only a text change can change a tint; colours and tints themselves cannot.
                if (roles.isEmpty() || roles.contains(Qt::DisplayRole)) {
                    AnnounceMirrorTint(*this, topLeft, bottomRight);
                }
            });
}

QVariant MatrixGridModel::data(const QModelIndex& index, int role) const {
    if (role == Qt::AccessibleTextRole) {
        return CellAccessibleText(doc_, *this, index);
    }
    if (role == Qt::BackgroundRole) {
        return index.isValid() ? CellTint(doc_, index.row() + 1, index.column()) : QVariant();
    }
    return ListViewModel::data(index, role);
}

QVariant MatrixGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role == Qt::AccessibleTextRole && orientation == Qt::Horizontal) {
        return HeaderAccessibleText(*this, section);
    }
    const QVariant mark = HeaderMark(*this, section, orientation, role);
    return mark.isValid() ? mark : ListViewModel::headerData(section, orientation, role);
}

Qt::ItemFlags MatrixGridModel::flags(const QModelIndex& index) const {
    if (index.isValid() && index.column() == 0) {
        return Qt::ItemNeverHasChildren;
    }
    return ListViewModel::flags(index);
}

}  // namespace lumark
