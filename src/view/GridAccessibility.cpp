#include "GridAccessibility.h"

#include <QAccessible>
#include <QTableView>
#include <algorithm>

#include "MatrixGridModel.h"

namespace lumark {

namespace {

// Whether block column `column` has a diagonal cell and it reads as selected.
bool ColumnSelected(const MatrixGridModel& grid, int column) {
    return column >= 1 && column <= grid.ListItemCount() && column < grid.ColumnHeaderCount() &&
           SelectedBlock(grid.Selection(), static_cast<std::int16_t>(column));
}

QString BlockName(int column) {
    return QStringLiteral("block %1").arg(column - 1);
}

QString SelectedSuffix(const MatrixGridModel& grid, int column) {
    return ColumnSelected(grid, column) ? QStringLiteral(", selected") : QString();
}

void SendNameChanged(QAccessibleInterface* target) {
    if (target != nullptr) {
        QAccessibleEvent event(target, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
}

}  // namespace

QVariant CellAccessibleText(const VisibilityDocument& doc, const MatrixGridModel& grid,
                            const QModelIndex& index) {
    const int column = index.column();
    const int row = index.row() + 1;
    if (!index.isValid() || column < 1 || column > doc.BlockCount || row > doc.BlockCount) {
        return {};
    }
    const bool seen = doc.IsVisible(column, row);
    const QString seenText = row == column ? QStringLiteral("itself") : QString::number(row - 1);
    return BlockName(column) +
           (seen ? QStringLiteral(" sees ") : QStringLiteral(" does not see ")) + seenText +
           SelectedSuffix(grid, column);
}

QVariant HeaderAccessibleText(const MatrixGridModel& grid, int section) {
    if (section < 1 || section >= grid.ColumnHeaderCount()) {
        return {};
    }
    return BlockName(section) + SelectedSuffix(grid, section);
}

GridChangeAnnouncer::GridChangeAnnouncer(QTableView& view, const MatrixGridModel& grid)
    : QObject(&view), view_(view), grid_(grid) {
    connect(&grid, &QAbstractItemModel::modelReset, this, &GridChangeAnnouncer::Reread);
    connect(&grid, &QAbstractItemModel::dataChanged, this, &GridChangeAnnouncer::DataChanged);
    connect(view.selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { focusedText_ = AccessibleText(current); });
    Reread();
}

QString GridChangeAnnouncer::AccessibleText(const QModelIndex& index) const {
    return grid_.data(index, Qt::AccessibleTextRole).toString();
}

void GridChangeAnnouncer::Reread() {
    // A rebuilt grid is announced by the view itself; only the record starts afresh.
    selected_.assign(static_cast<std::size_t>(grid_.ColumnHeaderCount()), false);
    for (int column = 1; column < grid_.ColumnHeaderCount(); ++column) {
        selected_[static_cast<std::size_t>(column)] = ColumnSelected(grid_, column);
    }
    focusedText_ = AccessibleText(view_.currentIndex());
}

void GridChangeAnnouncer::DataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                                      const QList<int>& roles) {
    std::vector<int> changed;
    if (roles.isEmpty() || roles.contains(Qt::ForegroundRole) ||
        roles.contains(ListViewModel::ForeColourRole)) {
        for (int column = std::max(topLeft.column(), 1);
             column <= bottomRight.column() && column < static_cast<int>(selected_.size());
             ++column) {
            const bool now = ColumnSelected(grid_, column);
            if (now != selected_[static_cast<std::size_t>(column)]) {
                selected_[static_cast<std::size_t>(column)] = now;
                changed.push_back(column);
            }
        }
    }
    // An edit of the focused cell is heard at once (a diagonal cell's display text never
    // changes).
    const QModelIndex current = view_.currentIndex();
    const QString focusedText = AccessibleText(current);
    const bool focusedEdited = focusedText != focusedText_;
    focusedText_ = focusedText;
    if (!changed.empty() || focusedEdited) {
        Announce(changed, focusedEdited);
    }
}

void GridChangeAnnouncer::Announce(const std::vector<int>& columns, bool focusedEdited) const {
    if (!QAccessible::isActive()) {
        return;
    }
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(&view_);
    QAccessibleTableInterface* cells = table != nullptr ? table->tableInterface() : nullptr;
    const int rows = grid_.rowCount();
    if (cells == nullptr || rows == 0) {
        return;
    }
    // The header cells are one row of children above the cells.
    const int stride = table->childCount() / (rows + 1);

    // Renaming every cell of 300 columns would flood the bus: only the cells on screen, which a
    // reader may have fetched, and the focused one.
    const QRect area = view_.viewport()->rect();
    const int top = view_.rowAt(area.top());
    const int bottom = view_.rowAt(area.bottom()) < 0 ? rows - 1 : view_.rowAt(area.bottom());
    const int left = view_.columnAt(area.left());
    const int right =
        view_.columnAt(area.right()) < 0 ? grid_.columnCount() - 1 : view_.columnAt(area.right());
    const QModelIndex current = view_.currentIndex();
    bool focusedRenamed = false;

    for (const int column : columns) {
        const int first = table->indexOfChild(cells->cellAt(0, column));
        QAccessibleInterface* header = first >= stride ? table->child(first - stride) : nullptr;
        if (header != nullptr && header->role() == QAccessible::ColumnHeader) {
            SendNameChanged(header);
        }
        const bool onScreen = top >= 0 && left >= 0 && column >= left && column <= right;
        for (int row = top; onScreen && row <= bottom; ++row) {
            SendNameChanged(cells->cellAt(row, column));
        }
        if (current.isValid() && current.column() == column) {
            focusedRenamed = true;
            if (!(onScreen && current.row() >= top && current.row() <= bottom)) {
                SendNameChanged(cells->cellAt(current.row(), column));
            }
        }
    }
    if (focusedEdited && !focusedRenamed) {
        SendNameChanged(cells->cellAt(current.row(), current.column()));
    }
}

}  // namespace lumark
