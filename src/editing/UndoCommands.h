#pragma once

#include <QUndoCommand>
#include <vector>

#include "MatrixEdits.h"
#include "MatrixGridModel.h"
#include "VisibilityDocument.h"

namespace lumark {

// One step of the edit history: the elements an action changed, with their values before and
// after. The action has already run when the step is pushed, so its first redo does nothing.
class RecordedEdit : public QUndoCommand {
  public:
    // A cell click's step can take in the second click of a double click.
    enum class Kind { Action, CellClick, DoubleClick };

    RecordedEdit(VisibilityDocument& doc, const QString& text, std::vector<ElementChange> changes,
                 Kind kind);

    void undo() override;
    void redo() override;
    int id() const override;
    // Takes in a double click's changes; when they undo the click's, the step becomes obsolete
    // and the stack drops it.
    bool mergeWith(const QUndoCommand* other) override;

    const std::vector<ElementChange>& Changes() const { return changes_; }

  private:
    VisibilityDocument& doc_;
    std::vector<ElementChange> changes_;
    Kind kind_;
    bool applied_ = true;
};

// A step that put another whole document in place, such as the file read again from disk:
// block count and layout may differ, so the grid is rebuilt either way.
class DocumentReplacement : public QUndoCommand {
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
