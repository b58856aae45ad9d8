#include "UndoCommands.h"

#include <utility>

#include "MatrixGrid.h"

namespace lumark {

namespace {

// Steps of cell clicks share an id, so that QUndoStack offers a double click to the click's step.
constexpr int CellClickId = 1;

}  // namespace

RecordedEdit::RecordedEdit(VisibilityDocument& doc, RecordedStep step)
    : doc_(doc), step_(std::move(step)) {
    setText(QString::fromStdString(step_.Text));
}

void RecordedEdit::undo() {
    ReplayElementChanges(doc_, step_.Changes, Replay::Undo);
    applied_ = false;
}

void RecordedEdit::redo() {
    if (applied_) {
        return;  // pushed after the action itself made the changes
    }
    ReplayElementChanges(doc_, step_.Changes, Replay::Redo);
    applied_ = true;
}

int RecordedEdit::id() const {
    return step_.Kind == StepKind::Action ? -1 : CellClickId;
}

bool RecordedEdit::mergeWith(const QUndoCommand* other) {
    // Only the steps of clicks share an id, and the stack offers only a step of the same id.
    const auto& next = static_cast<const RecordedEdit&>(*other);
    if (!JoinsStep(step_.Kind, next.step_.Kind)) {
        return false;
    }
    setObsolete(!JoinSteps(step_, next.step_));
    return true;
}

DocumentReplacement::DocumentReplacement(VisibilityDocument& doc, MatrixGridModel& grid,
                                         const QString& text, VisibilityDocument before,
                                         VisibilityDocument after)
    : doc_(doc), grid_(grid), before_(std::move(before)), after_(std::move(after)) {
    setText(text);
}

// The same file in another version: the user stays where they were.
void DocumentReplacement::undo() {
    doc_ = before_;
    FillMatrixGrid(grid_, GridPlace::Kept);
}

void DocumentReplacement::redo() {
    doc_ = after_;
    FillMatrixGrid(grid_, GridPlace::Kept);
}

}  // namespace lumark
