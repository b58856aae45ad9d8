#pragma once

#include <QObject>
#include <QPoint>

#include "ListViewModel.h"
#include "VisibilityDocument.h"

class QLabel;
class QTableView;

namespace lumark {

// Keeps two status panels in step with the grid: how many blocks are selected, and what the
// cell under the pointer says. Both follow every change of the grid's cells or colours; the
// pointer text also follows scrolling under a still pointer, and is empty once it leaves.
// Changes are taken up once per event-loop turn: an action that clears the selection and then
// selects again rewrites each panel at most once.
class GridStatusPanels : public QObject {
    Q_OBJECT

  public:
    GridStatusPanels(const VisibilityDocument& doc, const ListViewModel& grid, QTableView& view,
                     QLabel& countPanel, QLabel& pointerPanel, QObject* parent = nullptr);

    void UpdateCount();
    void UpdatePointer();
    // What a command reports, shown in the count panel in place of the count until the selection
    // changes or ClearNote is called; `detail` is its tooltip.
    void ShowNote(const QString& note, const QString& detail);
    void ClearNote();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    const VisibilityDocument& doc_;
    const ListViewModel& grid_;
    QTableView& view_;
    const QObject* viewport_;  // compared only: it may be on its way out with the window
    QLabel& countPanel_;
    QLabel& pointerPanel_;
    QString note_;
    QString countAtNote_;  // the count text when the note was shown
    QPoint pointer_;       // viewport pixels
    bool pointerInside_ = false;
    bool updatePending_ = false;
};

}  // namespace lumark
