#include "MatrixGridView.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyleOptionHeader>
#include <algorithm>
#include <utility>

#include "GridAccessibility.h"
#include "GridCellDelegate.h"
#include "MatrixGrid.h"
#include "MatrixGridModel.h"
#include "Twips.h"

namespace lumark {

namespace {

// Column headers all hold one line of digits: the height of one section is the header's, so
// the size hint need not measure all 301 of them after every rebuild.
class GridHeader : public QHeaderView {
  public:
    explicit GridHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {}

    QSize sizeHint() const override {
        const int height =
            count() > 1 ? sectionSizeFromContents(1).height() : QHeaderView::sizeHint().height();
        return {length(), height};
    }

  protected:
    // A header cut at the left edge, above the row labels, shows no text, as its cells do.
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override {
        cut_ = rect.left() < 0 ? logicalIndex : -1;
        QHeaderView::paintSection(painter, rect, logicalIndex);
        cut_ = -1;
    }
    void initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const override {
        QHeaderView::initStyleOptionForIndex(option, logicalIndex);
        if (logicalIndex == cut_) {
            option->text.clear();
        }
    }

  private:
    mutable int cut_ = -1;
};

}  // namespace

MatrixGridView::MatrixGridView(QWidget* parent) : QTableView(parent) {
    setHorizontalHeader(new GridHeader(this));
    setItemDelegate(new GridCellDelegate(this));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setMouseTracking(true);
    // Sideways by whole columns: a column cut at the row labels would show the end of its
    // numbers right after theirs, so that row "80" read "800". Scrolled to the end, the first
    // column may still be cut; it is then drawn without text.
    setHorizontalScrollMode(QAbstractItemView::ScrollPerItem);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setMinimumSectionSize(0);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setDefaultSectionSize(TwipsToPixels(MatrixColumnWidthTwips, logicalDpiX()));
    // The table would make the top visible cell of a pressed column current and scroll it fully
    // into view, repainting the whole grid; a list view's header press does neither.
    disconnect(horizontalHeader(), SIGNAL(sectionPressed(int)), this, SLOT(selectColumn(int)));
    disconnect(horizontalHeader(), SIGNAL(sectionEntered(int)), this, SLOT(_q_selectColumn(int)));
    SetHideSelection(true);
    setAccessibleName(QStringLiteral("Visibility grid"));
    // The window adds the keys, from its table of commands.
    setAccessibleDescription(
        QStringLiteral("Each column is the visibility list of one viewing block; each row is a "
                       "block that can be seen."));
}

void MatrixGridView::SetListViewModel(MatrixGridModel* model) {
    listModel_ = model;
    setModel(model);
    connect(model, &QAbstractItemModel::modelAboutToBeReset, this, &MatrixGridView::TakePlace);
    connect(model, &QAbstractItemModel::modelReset, this, &MatrixGridView::ApplyColumnWidths);
    connect(model, &QAbstractItemModel::modelReset, this, &MatrixGridView::ReturnToPlace);
    new GridChangeAnnouncer(*this, *model);
    ApplyColumnWidths();
}

void MatrixGridView::FocusFirstBlock() {
    // The label column takes no focus; keys start on the first block's diagonal cell.
    if (listModel_->rowCount() > 0 && listModel_->columnCount() > 1) {
        selectionModel()->setCurrentIndex(listModel_->index(0, 1), QItemSelectionModel::NoUpdate);
    }
}

void MatrixGridView::TakePlace() {
    if (!listModel_->RebuildKeepsPlace()) {
        place_.reset();
        return;
    }
    const QModelIndex current = currentIndex();
    place_ =
        Place{horizontalScrollBar()->value(), verticalScrollBar()->value(),
              current.isValid() ? current.row() : -1, current.isValid() ? current.column() : -1};
}

void MatrixGridView::ReturnToPlace() {
    const std::optional<Place> place = std::exchange(place_, std::nullopt);
    const int rows = listModel_->rowCount();
    const int columns = listModel_->columnCount();
    if (!place || place->Row < 0 || place->Column < 1 || rows < 1 || columns < 2) {
        FocusFirstBlock();
        return;
    }
    // The focus first: making a cell current scrolls it into view. A document that lost blocks
    // keeps the nearest cell it still has.
    selectionModel()->setCurrentIndex(
        listModel_->index(std::min(place->Row, rows - 1), std::min(place->Column, columns - 1)),
        QItemSelectionModel::NoUpdate);
    // The scroll bars take the new document's ranges before they take the old values.
    updateGeometries();
    horizontalScrollBar()->setValue(place->Horizontal);
    verticalScrollBar()->setValue(place->Vertical);
}

void MatrixGridView::SetHideSelection(bool hide) {
    hideSelection_ = hide;
    QPalette pal = palette();
    const QPalette::ColorGroup active = QPalette::Active;
    pal.setBrush(QPalette::Inactive, QPalette::Highlight,
                 hide ? pal.brush(active, QPalette::Base) : pal.brush(active, QPalette::Highlight));
    setPalette(pal);
}

void MatrixGridView::ApplyColumnWidths() {
    if (listModel_ == nullptr) {
        return;
    }
    QHeaderView* header = horizontalHeader();
    const int standard = header->defaultSectionSize();
    for (int section = 0; section < listModel_->columnCount(); ++section) {
        const int width = TwipsToPixels(listModel_->ColumnHeaderWidth(section + 1), logicalDpiX());
        if (width != standard) {
            header->resizeSection(section, width);
        }
    }
}

void MatrixGridView::updateGeometries() {
    QTableView::updateGeometries();
    // The label column is 0 wide: scrolled to it or to the first block, the grid looks the
    // same, so the first step to the right would seem to do nothing.
    QScrollBar* bar = horizontalScrollBar();
    if (horizontalScrollMode() == ScrollPerItem && bar->maximum() >= 1 &&
        horizontalHeader()->sectionSize(0) == 0) {
        bar->setMinimum(1);
    }
}

void MatrixGridView::scrollContentsBy(int dx, int dy) {
    QTableView::scrollContentsBy(dx, dy);
    if (dx == 0) {
        return;
    }
    // The scroll moves what was painted: a column that was whole, text and all, may now be cut
    // at the row labels. Paint it again, blank, in the cells and in the header.
    const int first = columnAt(0);
    const int left = columnViewportPosition(first);
    if (first < 0 || left >= 0) {
        return;
    }
    const int width = left + columnWidth(first);
    viewport()->update(QRect(0, 0, width, viewport()->height()));
    QHeaderView* header = horizontalHeader();
    header->viewport()->update(QRect(0, 0, width, header->viewport()->height()));
}

void MatrixGridView::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    QTableView::mousePressEvent(event);
}

void MatrixGridView::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressed_ && event->button() == Qt::LeftButton &&
                       viewport()->rect().contains(event->position().toPoint());
    pressed_ = false;
    QTableView::mouseReleaseEvent(event);
    if (click) {
        emit ViewportClicked(event->position().toPoint());
    }
}

void MatrixGridView::mouseDoubleClickEvent(QMouseEvent* event) {
    // The release that follows a double-click is not another click.
    pressed_ = false;
    if (event->button() == Qt::LeftButton) {
        emit ViewportDoubleClicked(event->position().toPoint());
    }
}

void MatrixGridView::mouseMoveEvent(QMouseEvent* event) {
    emit ViewportMouseMoved(event->position().toPoint(), event->buttons(), event->modifiers());
    QTableView::mouseMoveEvent(event);
}

void MatrixGridView::keyPressEvent(QKeyEvent* event) {
    emit GridKeyPressed(event->key(), event->modifiers());
    // Ctrl+A selects block columns, not the table's cells.
    if (event->key() == Qt::Key_A && (event->modifiers() & Qt::ControlModifier)) {
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Space) {
        emit GridSpacePressed(event->modifiers());
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void MatrixGridView::keyReleaseEvent(QKeyEvent* event) {
    emit GridKeyReleased(event->key(), event->modifiers());
    QTableView::keyReleaseEvent(event);
}

}  // namespace lumark
