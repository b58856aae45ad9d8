#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <vector>

namespace lumark {

// The least a table of the grid's texts costs: 300 x 300 texts as a plain program would hold
// them, one string per cell, shown by a plain table view.
class FloorTableModel : public QAbstractTableModel {
  public:
    static constexpr int Blocks = 300;

    FloorTableModel() {
        texts_.reserve(Blocks * Blocks);
        for (int r = 0; r < Blocks; ++r) {
            for (int c = 0; c < Blocks; ++c) {
                texts_.push_back(r == c ? QStringLiteral("(%1)").arg(r) : QString::number(r));
            }
        }
    }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : Blocks;
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : Blocks;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole || !index.isValid()) {
            return {};
        }
        return texts_[static_cast<std::size_t>(index.row() * Blocks + index.column())];
    }

  private:
    std::vector<QString> texts_;
};

}  // namespace lumark
