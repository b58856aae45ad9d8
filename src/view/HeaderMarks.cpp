#include "HeaderMarks.h"

#include <QFont>
#include <QHeaderView>
#include <QTableView>
#include <algorithm>

#include "MatrixGridModel.h"

namespace lumark {

namespace {

bool IsBlockColumn(const ListViewModel& grid, int section) {
    return section >= 1 && section < grid.ColumnHeaderCount() && section <= grid.ListItemCount();
}

}  // namespace

QVariant HeaderMark(const MatrixGridModel& grid, int section, Qt::Orientation orientation,
                    int role) {
    if (orientation == Qt::Vertical) {
        if (role != Qt::DisplayRole || section < 0 || section >= grid.ListItemCount()) {
            return {};
        }
        return grid.ItemText(section + 1);
    }
    if ((role != Qt::FontRole && role != Qt::ForegroundRole) || !IsBlockColumn(grid, section) ||
        !SelectedBlock(grid.Selection(), static_cast<std::int16_t>(section))) {
        return {};
    }
    if (role == Qt::ForegroundRole) {
        return grid.data(grid.index(section - 1, section), Qt::ForegroundRole);
    }
    QFont bold;
    bold.setBold(true);  // only the weight: the header's own font supplies the rest
    return bold;
}

void FollowHeaderMarks(QTableView& view, const ListViewModel& grid) {
    QHeaderView* header = view.horizontalHeader();
    QObject::connect(
        &grid, &QAbstractItemModel::dataChanged, header,
        [header](const QModelIndex& topLeft, const QModelIndex& bottomRight,
                 const QList<int>& roles) {
            if (!roles.isEmpty() && !roles.contains(Qt::ForegroundRole)) {
                return;  // only a colour can change a mark
            }
            // Diagonal cells in the range: blocks in both its row and column span. Only their
            // sections are repainted.
            const int first = std::max({topLeft.column(), topLeft.row() + 1, 1});
            const int last = std::min(bottomRight.column(), bottomRight.row() + 1);
            for (int section = first; section <= last; ++section) {
                const int x = header->sectionViewportPosition(section);
                if (x + header->sectionSize(section) > 0 && x < header->viewport()->width()) {
                    header->viewport()->update(x, 0, header->sectionSize(section),
                                               header->viewport()->height());
                }
            }
        });
}

void ShowRowLabels(QTableView& view) {
    QHeaderView* labels = view.verticalHeader();
    labels->setSectionsClickable(false);
    labels->setHighlightSections(false);
    labels->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Sized once for the widest number instead of measuring 300 labels on every load.
    labels->setFixedWidth(labels->fontMetrics().horizontalAdvance(QStringLiteral("000")) + 10);
    labels->show();
}

}  // namespace lumark
