#pragma once

#include <QVariant>

#include "VisibilityDocument.h"

class QAbstractItemModel;
class QModelIndex;

namespace lumark {

// The background of the cell in row `row` (1-based) under block column `column`: a light tint
// when the element and its mirror differ (one sees the other, but not back), with one tint for
// each direction, each far enough from the background to show beside the focus frame (a contrast
// of 1.35:1 or more); an invalid variant (the view's own background) for every other cell.
QVariant CellTint(const VisibilityDocument& doc, int row, int column);

// A cell's tint depends on its mirror too, so when the cells from `topLeft` to `bottomRight`
// change, their mirror images are announced as changed backgrounds. Announcements carry only
// Qt::BackgroundRole, which is how a model tells them from its own.
void AnnounceMirrorTint(QAbstractItemModel& model, const QModelIndex& topLeft,
                        const QModelIndex& bottomRight);

}  // namespace lumark
