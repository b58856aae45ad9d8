#include "MatrixGridModel.h"

#include "GridAccessibility.h"

namespace lumark {

MatrixGridModel::MatrixGridModel(const VisibilityDocument& doc, QObject* parent)
    : ListViewModel(parent), doc_(doc) {}

QVariant MatrixGridModel::data(const QModelIndex& index, int role) const {
    if (role == Qt::AccessibleTextRole) {
        return CellAccessibleText(doc_, *this, index);
    }
    return ListViewModel::data(index, role);
}

QVariant MatrixGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role == Qt::AccessibleTextRole && orientation == Qt::Horizontal) {
        return HeaderAccessibleText(*this, section);
    }
    return ListViewModel::headerData(section, orientation, role);
}

Qt::ItemFlags MatrixGridModel::flags(const QModelIndex& index) const {
    if (index.isValid() && index.column() == 0) {
        return Qt::ItemNeverHasChildren;
    }
    return ListViewModel::flags(index);
}

}  // namespace lumark
