#include "GridStatusText.h"

#include <algorithm>

#include "BlockSelection.h"
#include "BlockSummary.h"
#include "RelationPicture.h"

namespace lumark {

QString PointerCellText(const VisibilityDocument& doc, int row, int column) {
    if (row < 1 || column < 1 || row > doc.BlockCount || column > doc.BlockCount) {
        return {};
    }
    if (row == column) {
        return QStringLiteral("%1 (itself)").arg(column - 1);
    }
    return (doc.IsVisible(column, row) ? QStringLiteral("%1 sees %2")
                                       : QStringLiteral("%1 does not see %2"))
        .arg(column - 1)
        .arg(row - 1);
}

QString PointerPanelText(const VisibilityDocument& doc, int row, int column) {
    if (row == column && row >= 1 && row <= doc.BlockCount) {
        return QString::fromStdString(BlockSummary(doc, column));
    }
    return PointerCellText(doc, row, column);
}

QString PairText(const VisibilityDocument& doc, int row, int column) {
    if (row < 1 || column < 1 || row > doc.BlockCount || column > doc.BlockCount) {
        return {};
    }
    const QString viewer = QString::number(column - 1);
    const QString seen = QString::number(row - 1);
    switch (KindOf(doc, column, row)) {
        case RelationKind::Diagonal:
            return viewer + QStringLiteral(" (itself)");
        case RelationKind::Mutual:
            return viewer + QStringLiteral(" sees ") + seen + QStringLiteral(", seen back");
        case RelationKind::SeesOnly:
            return viewer + QStringLiteral(" sees ") + seen + QStringLiteral(", not seen back");
        case RelationKind::SeenOnly:
            return viewer + QStringLiteral(" does not see ") + seen +
                   QStringLiteral(", seen by it");
        case RelationKind::Neither:
            return viewer + QStringLiteral(" does not see ") + seen +
                   QStringLiteral(", not seen by it");
    }
    return {};
}

QString SelectionCountText(const MatrixGridModel& grid, int blockCount) {
    const int blocks = std::min({blockCount, grid.ListItemCount(), grid.ColumnHeaderCount() - 1});
    int selected = 0;
    for (int b = 1; b <= blocks; ++b) {
        selected += SelectedBlock(grid.Selection(), static_cast<std::int16_t>(b)) ? 1 : 0;
    }
    return selected == 0 ? QString() : QStringLiteral("%1 selected").arg(selected);
}

}  // namespace lumark
