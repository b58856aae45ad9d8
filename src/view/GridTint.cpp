#include "GridTint.h"

#include <QAbstractItemModel>
#include <QBrush>
#include <QColor>
#include <QGuiApplication>
#include <QPalette>
#include <algorithm>
#include <cmath>

#include "RelationPicture.h"

namespace lumark {

namespace {

// WCAG 2's relative luminance of an sRGB colour.
double Luminance(const QColor& colour) {
    const auto linear = [](int channel) {
        const double c = channel / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.red()) + 0.7152 * linear(colour.green()) +
           0.0722 * linear(colour.blue());
}

double Contrast(const QColor& a, const QColor& b) {
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The lightest mix of the kind's colour over the base, in sixteenths from a quarter, that still
// stands apart from the base by 1.35:1: a pale yellow would vanish beside the focus frame.
QColor Mix(const QColor& base, RelationKind kind) {
    const Rgb colour = ColourOf(kind);
    QColor tint = base;
    for (int sixteenths = 4; sixteenths <= 16; ++sixteenths) {
        const auto mix = [sixteenths](int under, int over) {
            return under + (over - under) * sixteenths / 16;
        };
        tint = QColor(mix(base.red(), colour.R), mix(base.green(), colour.G),
                      mix(base.blue(), colour.B));
        if (Contrast(tint, base) >= 1.35) {
            break;
        }
    }
    return tint;
}

// Painting asks for a tint per cell: both are mixed once per base colour.
QColor Tint(RelationKind kind) {
    static QRgb base = 0;
    static QColor seesOnly, seenOnly;
    const QColor now = QGuiApplication::palette().color(QPalette::Active, QPalette::Base);
    if (!seesOnly.isValid() || now.rgb() != base) {
        base = now.rgb();
        seesOnly = Mix(now, RelationKind::SeesOnly);
        seenOnly = Mix(now, RelationKind::SeenOnly);
    }
    return kind == RelationKind::SeesOnly ? seesOnly : seenOnly;
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
