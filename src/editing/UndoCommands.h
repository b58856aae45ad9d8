#pragma once

#include <QUndoCommand>
#include <vector>

#include "MatrixEdits.h"
#include "MatrixGridModel.h"
#include "RecordedHistory.h"
#include "VisibilityDocument.h"

namespace lumark {

// A step of the edit history as its undo stack holds it.
class HistoryStep : public QUndoCommand {
  public:
    // The elements the step changed; none for a step that put another whole document in place.
    virtual const RecordedStep* Elements() const { return nullptr; }
};

// One step of the edit history: the elements an action changed, with their values before and
// after. The action has already run when the step is pushed, so its first redo does nothing.
class RecordedEdit : public HistoryStep {
  public:
    // `step`'s kind says whether it can take in the second click of a double click.
    RecordedEdit(VisibilityDocument& doc, RecordedStep step);

    void undo() override;
    void redo() override;
    int id() const override;
    // Takes in a double click's changes; when they undo the click's, the step becomes obsolete
    // and the stack drops it.
    bool mergeWith(const QUndoCommand* other) override;

    const RecordedStep* Elements() const override { return &step_; }

  private:
    VisibilityDocument& doc_;
    RecordedStep step_;
    bool applied_ = true;
};

// A step that put another whole document in place, such as the file read again from disk:
// block count and layout may differ, so the grid is rebuilt either way.
class DocumentReplacement : public HistoryStep {
  public:
    DocumentReplacement(VisibilityDocument& doc, MatrixGridModel& grid, const QString& text,
                        VisibilityDocument before, VisibilityDocument after);

    void undo() override;
    void redo() override;

  private:
    VisibilityDocument& doc_;
    MatrixGridModel& grid_;
    VisibilityDocument before_;
    VisibilityDocument after_;
};

}  // namespace lumark
