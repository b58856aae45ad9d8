#include "GridTint.h"

#include <QAbstractItemModel>
#include <QBrush>
#include <QColor>
#include <QGuiApplication>
#include <QPalette>
#include <algorithm>

#include "RelationPicture.h"

namespace lumark {

namespace {

// A quarter of the kind's colour over the base: light enough for red and normal text alike.
QColor Tint(RelationKind kind) {
    const QColor base = QGuiApplication::palette().color(QPalette::Active, QPalette::Base);
    const Rgb colour = ColourOf(kind);
    const auto mix = [](int under, int over) { return under + (over - under) / 4; };
    return QColor(mix(base.red(), colour.R), mix(base.green(), colour.G),
                  mix(base.blue(), colour.B));
}

}  // namespace

QVariant CellTint(const VisibilityDocument& doc, int row, int column) {
    if (row < 1 || column < 1 || row > doc.BlockCount || column > doc.BlockCount || row == column) {
        return {};
    }
    // Seeing is what the cell texts show: the element holds exactly true.
    const bool sees = doc.IsVisible(column, row);
    if (sees == doc.IsVisible(row, column)) {
        return {};
    }
    return QBrush(Tint(sees ? RelationKind::SeesOnly : RelationKind::SeenOnly));
}

void AnnounceMirrorTint(QAbstractItemModel& model, const QModelIndex& topLeft,
                        const QModelIndex& bottomRight) {
    // Cell (row r - 1, column c) shows element (c, r); its mirror sits in row c - 1, column r.
    const int rows = model.rowCount();
    const int columns = model.columnCount();
    const int top = std::max(topLeft.column(), 1) - 1;
    const int bottom = std::min(bottomRight.column(), rows) - 1;
    const int left = std::max(topLeft.row() + 1, 1);
    const int right = std::min(bottomRight.row() + 1, columns - 1);
    if (top > bottom || left > right) {
        return;
    }
    // A range that is its own mirror (a diagonal cell, the whole grid) is announced already.
    if (top == topLeft.row() && bottom == bottomRight.row() && left == topLeft.column() &&
        right == bottomRight.column()) {
        return;
    }
    emit model.dataChanged(model.index(top, left), model.index(bottom, right),
                           {Qt::BackgroundRole});
}

}  // namespace lumark
