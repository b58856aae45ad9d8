#include "MatrixGridModel.h"

namespace lumark {

MatrixGridModel::MatrixGridModel(const VisibilityDocument& doc, QObject* parent)
    : ListViewModel(parent), doc_(doc) {}

QVariant MatrixGridModel::data(const QModelIndex& index, int role) const {
    return ListViewModel::data(index, role);
}

QVariant MatrixGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    return ListViewModel::headerData(section, orientation, role);
}

}  // namespace lumark
