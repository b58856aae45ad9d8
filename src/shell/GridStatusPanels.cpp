#include "GridStatusPanels.h"

#include <QEvent>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSizeGrip>
#include <QTableView>
#include <QTimer>
#include <algorithm>

#include "GridStatusText.h"

namespace lumark {

void FitPanelToText(QLabel& panel) {
    const QString text = panel.text();
    if (text.isEmpty()) {
        return;
    }
    // Never narrower while it says something: "9 selected" after "10 selected" lays out nothing.
    // The few pixels more keep the text off its neighbours'.
    const int width = panel.fontMetrics().horizontalAdvance(text) + 8;
    if (width > panel.maximumWidth() || panel.isHidden()) {
        panel.setFixedWidth(std::max(width, panel.isHidden() ? 0 : panel.maximumWidth()));
        panel.show();
    }
}

GridStatusPanels::GridStatusPanels(const VisibilityDocument& doc, const MatrixGridModel& grid,
                                   QTableView& view, QLabel& countPanel, QLabel& pointerPanel,
                                   QObject* parent)
    : QObject(parent),
      doc_(doc),
      grid_(grid),
      view_(view),
      viewport_(view.viewport()),
      countPanel_(countPanel),
      pointerPanel_(pointerPanel),
      leastPointerWidth_(pointerPanel.fontMetrics().averageCharWidth() * 8) {
    YieldsRoom(countPanel);
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
    // After the grid has put the focus on the first block: a load is not a move of the user's.
    // The same file read again keeps the user's place, and what the panel was following.
    connect(&grid, &QAbstractItemModel::modelAboutToBeReset, this,
            [this] { sourceBeforeReset_ = source_; });
    connect(&grid, &QAbstractItemModel::modelReset, this, [this, later] {
        source_ = grid_.RebuildKeepsPlace() ? sourceBeforeReset_
                  : pointerInside_          ? Source::Pointer
                                            : Source::None;
        later();
    });
    if (view.selectionModel() != nullptr) {
        connect(view.selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
            source_ = Source::Focus;
            UpdatePointer();
        });
    }
    connect(view.horizontalScrollBar(), &QScrollBar::valueChanged, this,
            &GridStatusPanels::UpdatePointer);
    connect(view.verticalScrollBar(), &QScrollBar::valueChanged, this,
            &GridStatusPanels::UpdatePointer);
    view.viewport()->installEventFilter(this);
    pointerPanel.installEventFilter(this);
    if (QWidget* bar = pointerPanel.parentWidget(); bar != nullptr) {
        bar->installEventFilter(this);
        if (bar->parentWidget() != nullptr) {
            bar->parentWidget()->installEventFilter(this);
        }
    }
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
    FitPanelToText(countPanel_);
}

void GridStatusPanels::ShowNote(const QString& note, const QString& detail) {
    note_ = note;
    countAtNote_ = SelectionCountText(grid_, doc_.BlockCount);
    countPanel_.setText(note);
    countPanel_.setToolTip(detail);
    FitPanelToText(countPanel_);
}

void GridStatusPanels::ClearNote() {
    note_.clear();
    UpdateCount();
}

void GridStatusPanels::UpdatePointer() {
    QModelIndex cell;
    if (source_ == Source::Pointer && pointerInside_) {
        cell = view_.indexAt(pointer_);
    } else if (source_ == Source::Focus) {
        cell = view_.currentIndex();
    }
    pointerText_ =
        cell.isValid() ? PointerPanelText(doc_, cell.row() + 1, cell.column()) : QString();
    ShowPointerText();
}

void GridStatusPanels::ShowPointerText() {
    const QString shown = pointerPanel_.fontMetrics().elidedText(
        pointerText_, Qt::ElideRight, pointerPanel_.contentsRect().width());
    pointerPanel_.setText(shown);
    pointerPanel_.setToolTip(shown == pointerText_ ? QString() : pointerText_);
    if (shown != pointerText_) {
        YieldRoom();  // the panel grows as the others move, and shows its text again
    }
}

void GridStatusPanels::YieldsRoom(QLabel& panel) {
    yielding_.push_back(&panel);
    if (panel.text().isEmpty()) {
        panel.hide();
    }
}

void GridStatusPanels::YieldRoom() {
    for (QLabel* panel : yielding_) {
        if (panel->text().isEmpty() && !panel->isHidden()) {
            panel->hide();
        }
    }
}

void GridStatusPanels::FitPointerPanel() {
    const QWidget* bar = pointerPanel_.parentWidget();
    if (bar == nullptr) {
        return;
    }
    // The bar is never narrower than its panels: once widened with the window, the panel would
    // hold it wide. The window's width is what there is.
    int right = bar->width();
    if (const QWidget* window = bar->parentWidget(); window != nullptr) {
        right = std::min(right, window->width() - bar->x());
    }
    right -= 4;
    // Panels made after this one stand after it and keep their own widths.
    bool after = false;
    int least = leastPointerWidth_;
    for (const QLabel* panel : bar->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (after && !panel->isHidden() && panel->width() > 0) {
            right -= panel->width() + 6;  // and the bar's spacing
            least = 0;                    // what they say is news; the pointer's cell can wait
        }
        after = after || panel == &pointerPanel_;
    }
    if (const QSizeGrip* grip = bar->findChild<QSizeGrip*>();
        grip != nullptr && grip->isVisible()) {
        right -= grip->width();
    }
    // A fixed size in both directions: a new text repaints the panel alone instead of laying
    // out the whole status bar again.
    const int width = std::max(least, right - pointerPanel_.x());
    if (width != pointerPanel_.width()) {
        pointerPanel_.setFixedWidth(width);
    }
}

bool GridStatusPanels::eventFilter(QObject* watched, QEvent* event) {
    if (watched == viewport_) {
        if (event->type() == QEvent::MouseMove) {
            pointer_ = static_cast<QMouseEvent*>(event)->position().toPoint();
            pointerInside_ = true;
            source_ = Source::Pointer;
            UpdatePointer();
        } else if (event->type() == QEvent::Leave) {
            pointerInside_ = false;
            if (source_ == Source::Pointer) {
                source_ = Source::None;
            }
            UpdatePointer();
        }
    } else if (watched == &pointerPanel_) {
        if (event->type() == QEvent::Move) {
            FitPointerPanel();
        } else if (event->type() == QEvent::Resize) {
            ShowPointerText();
        }
    } else if (event->type() == QEvent::Resize) {
        FitPointerPanel();  // the status bar or the window
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace lumark
