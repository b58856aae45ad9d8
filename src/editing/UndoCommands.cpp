#include "UndoCommands.h"

#include <utility>

#include "MatrixGrid.h"

namespace lumark {

namespace {

// Steps of cell clicks share an id, so that QUndoStack offers a double click to the click's step.
constexpr int CellClickId = 1;

}  // namespace

RecordedEdit::RecordedEdit(VisibilityDocument& doc, const QString& text,
                           std::vector<ElementChange> changes, Kind kind)
    : doc_(doc), changes_(std::move(changes)), kind_(kind) {
    setText(text);
}

void RecordedEdit::undo() {
    ReplayElementChanges(doc_, changes_, Replay::Undo);
    applied_ = false;
}

void RecordedEdit::redo() {
    if (applied_) {
        return;  // pushed after the action itself made the changes
    }
    ReplayElementChanges(doc_, changes_, Replay::Redo);
    applied_ = true;
}

int RecordedEdit::id() const {
    return kind_ == Kind::Action ? -1 : CellClickId;
}

bool RecordedEdit::mergeWith(const QUndoCommand* other) {
    const auto* next = dynamic_cast<const RecordedEdit*>(other);
    if (kind_ != Kind::CellClick || next == nullptr || next->kind_ != Kind::DoubleClick) {
        return false;
    }
    std::vector<ElementChange> both = changes_;
    both.insert(both.end(), next->changes_.begin(), next->changes_.end());
    changes_ = NetChanges(both);
    kind_ = Kind::Action;  // one double click per click
    setObsolete(changes_.empty());
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
