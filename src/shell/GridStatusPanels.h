#pragma once

#include <QObject>
#include <QPoint>
#include <QString>
#include <vector>

#include "MatrixGridModel.h"
#include "VisibilityDocument.h"

class QLabel;
class QTableView;

namespace lumark {

// A panel that says something only now and then, such as "Modified": shown, at least as wide as
// its text, while it says something. Once empty it keeps its place, so that a panel that comes
// and goes with every click does not lay out the bar each time, until the pointer's or the file
// state's text needs the room (GridStatusPanels::YieldRoom).
void FitPanelToText(QLabel& panel);

// Keeps two status panels in step with the grid: how many blocks are selected, and what the
// cell under the pointer or the focused cell says, whichever moved last: "7 sees 12", or on a
// diagonal cell that block's summary. Both follow every change of the grid's cells or colours;
// the pointer text also follows scrolling under a still pointer, and is empty once the pointer
// leaves while it was the pointer's. A load starts with neither; a reload of the same file keeps
// what the panel followed.
// Changes are taken up once per event-loop turn: an action that clears the selection and then
// selects again rewrites each panel at most once.
// The pointer panel, the last, takes the rest of the window's width; a text longer than that is
// cut with "…" and shown whole as the panel's tooltip.
class GridStatusPanels : public QObject {
    Q_OBJECT

  public:
    GridStatusPanels(const VisibilityDocument& doc, const MatrixGridModel& grid, QTableView& view,
                     QLabel& countPanel, QLabel& pointerPanel, QObject* parent = nullptr);

    void UpdateCount();
    void UpdatePointer();
    // What a command reports, shown in the count panel in place of the count until the selection
    // changes or ClearNote is called; `detail` is its tooltip.
    void ShowNote(const QString& note, const QString& detail);
    void ClearNote();

    // The pointer panel takes the width the panels before and after it leave; call when one of
    // those after it changes its width.
    void FitPointerPanel();
    // `panel`, before the pointer panel, gives up its room while it says nothing (FitPanelToText);
    // the count panel does so from the start.
    void YieldsRoom(QLabel& panel);
    // Panels that say nothing give up their room: for a text that does not fit.
    void YieldRoom();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    enum class Source { None, Pointer, Focus };

    void ShowPointerText();

    const VisibilityDocument& doc_;
    const MatrixGridModel& grid_;
    QTableView& view_;
    const QObject* viewport_;  // compared only: it may be on its way out with the window
    QLabel& countPanel_;
    QLabel& pointerPanel_;
    const int leastPointerWidth_;
    std::vector<QLabel*> yielding_;
    QString pointerText_;  // whole, before cutting
    QString note_;
    QString countAtNote_;  // the count text when the note was shown
    QPoint pointer_;       // viewport pixels
    bool pointerInside_ = false;
    Source source_ = Source::None;
    Source sourceBeforeReset_ = Source::None;
    bool updatePending_ = false;
};

}  // namespace lumark
