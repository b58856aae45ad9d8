#pragma once

#include <QString>
#include <QUndoStack>
#include <functional>

#include "ListViewModel.h"
#include "VisibilityDocument.h"

namespace lumark {

// Undo and redo of what the user's actions changed in the relation. Each action that changed at
// least one element becomes one step holding just those elements; selections are no steps.
// Actions set UnsavedChanges as they always do, and a new step away from the saved state sets it
// too; a step back or forward sets it from whether the history then stands where the document
// was last opened or saved.
class EditHistory {
  public:
    EditHistory(VisibilityDocument& doc, ListViewModel& grid);

    // Runs `action` and makes what it changed one step named `text`. An action that changed
    // nothing adds no step. One that fails part-way keeps what it changed as a step, and the
    // error goes on to the caller.
    void Record(const QString& text, const std::function<void()>& action);
    // A cell click: the step is named after the cell edit it made.
    void RecordCellClick(const std::function<void()>& action);
    // The cell action of a double click, which follows its first click: both become one step,
    // and none at all when together they changed nothing.
    void RecordDoubleClick(const std::function<void()>& action);

    // One step back or forward; false, and nothing touched, when there is none.
    bool Undo();
    bool Redo();
    // The document now matches its file.
    void MarkSaved();
    // Another document: no steps, matching its file.
    void Clear();

    const QUndoStack& Steps() const { return stack_; }

    // "Increase (+) on 3 blocks": a command's caption and how many blocks are selected now.
    QString SelectedBlocksText(const QString& caption) const;
    // The keys, for tooltips and the About box.
    static QString KeysText();

  private:
    enum class StepKind { Action, CellClick, DoubleClick };
    // Redo when `forward`, else undo; the flag then says whether this is the saved state.
    bool Step(bool forward);
    void Run(StepKind kind, const QString& text, const std::function<void()>& action);

    VisibilityDocument& doc_;
    ListViewModel& grid_;
    QUndoStack stack_;
    // The last step pushed came from a cell click, and nothing has happened since.
    bool clickStepOnTop_ = false;
};

}  // namespace lumark
