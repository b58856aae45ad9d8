#include "GridStatusPanels.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>

#include "GridStatusText.h"

namespace lumark {

GridStatusPanels::GridStatusPanels(const VisibilityDocument& doc, const ListViewModel& grid,
                                   QTableView& view, QLabel& countPanel, QLabel& pointerPanel,
                                   QObject* parent)
    : QObject(parent),
      doc_(doc),
      grid_(grid),
      view_(view),
      viewport_(view.viewport()),
      countPanel_(countPanel),
      pointerPanel_(pointerPanel) {
    const auto both = [this] {
        UpdateCount();
        UpdatePointer();
    };
    const auto later = [this, both] {
        if (!updatePending_) {
            updatePending_ = true;
            QTimer::singleShot(0, this, [this, both] {
                updatePending_ = false;
                both();
            });
        }
    };
    connect(&grid, &QAbstractItemModel::dataChanged, this, later);
    connect(&grid, &QAbstractItemModel::modelReset, this, later);
    connect(view.horizontalScrollBar(), &QScrollBar::valueChanged, this,
            &GridStatusPanels::UpdatePointer);
    connect(view.verticalScrollBar(), &QScrollBar::valueChanged, this,
            &GridStatusPanels::UpdatePointer);
    view.viewport()->installEventFilter(this);
    both();
}

void GridStatusPanels::UpdateCount() {
    const QString count = SelectionCountText(grid_, doc_.BlockCount);
    if (!note_.isEmpty() && count == countAtNote_) {
        return;
    }
    note_.clear();
    countPanel_.setToolTip(QString());
    countPanel_.setText(count);
}

void GridStatusPanels::ShowNote(const QString& note, const QString& detail) {
    note_ = note;
    countAtNote_ = SelectionCountText(grid_, doc_.BlockCount);
    countPanel_.setText(note);
    countPanel_.setToolTip(detail);
}

void GridStatusPanels::ClearNote() {
    note_.clear();
    UpdateCount();
}

void GridStatusPanels::UpdatePointer() {
    QString text;
    if (pointerInside_) {
        const QModelIndex cell = view_.indexAt(pointer_);
        if (cell.isValid()) {
            text = PointerCellText(doc_, cell.row() + 1, cell.column());
        }
    }
    pointerPanel_.setText(text);
}

bool GridStatusPanels::eventFilter(QObject* watched, QEvent* event) {
    if (watched == viewport_) {
        if (event->type() == QEvent::MouseMove) {
            pointer_ = static_cast<QMouseEvent*>(event)->position().toPoint();
            pointerInside_ = true;
            UpdatePointer();
        } else if (event->type() == QEvent::Leave) {
            pointerInside_ = false;
            UpdatePointer();
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace lumark
