#include "EditHistory.h"

#include <memory>

#include "MatrixEdits.h"
#include "UndoCommands.h"

namespace lumark {

namespace {

// Users and the file count blocks from 0.
QString CellEditText(const std::optional<CellEdit>& edit) {
    if (!edit) {
        return QStringLiteral("Cell click");
    }
    const int block = edit->Column - 1;
    const int seen = edit->Row - 1;
    return edit->Operation == CellEdit::Kind::Toggle
               ? QStringLiteral("Toggle block %1 sees %2").arg(block).arg(seen)
               : QStringLiteral("Edge of block %1 at %2").arg(block).arg(seen);
}

}  // namespace

EditHistory::EditHistory(VisibilityDocument& doc, MatrixGridModel& grid) : doc_(doc), grid_(grid) {}

void EditHistory::Record(const QString& text, const std::function<void()>& action) {
    Run(StepKind::Action, text, action);
}

void EditHistory::RecordCellClick(const std::function<void()>& action) {
    Run(StepKind::CellClick, QString(), action);
}

void EditHistory::RecordDoubleClick(const std::function<void()>& action) {
    Run(clickStepOnTop_ ? StepKind::DoubleClick : StepKind::CellClick, QString(), action);
}

void EditHistory::Run(StepKind kind, const QString& text, const std::function<void()>& action) {
    MatrixChangeRecorder recorder(doc_);
    const auto push = [&] {
        const bool pushed = !recorder.Changes().empty();
        clickStepOnTop_ = pushed && kind == StepKind::CellClick;
        if (!pushed) {
            return;
        }
        const QString name =
            kind == StepKind::Action ? text : CellEditText(recorder.FirstCellEdit());
        RecordedStep step{name.toStdString(), kind, recorder.TakeChanges()};
        if (listener_ != nullptr) {
            stack_.push(new RecordedEdit(doc_, step));
            listener_->StepPushed(step);
        } else {
            stack_.push(new RecordedEdit(doc_, std::move(step)));
        }
    };
    try {
        action();
    } catch (...) {
        push();  // what changed before the failure stays changed, and undoable
        throw;
    }
    push();
}

void EditHistory::Replace(const QString& text, const VisibilityDocument& replacement) {
    clickStepOnTop_ = false;
    // Pushing runs the step's redo, which puts the replacement in.
    stack_.push(new DocumentReplacement(doc_, grid_, text, doc_, replacement));
    if (listener_ != nullptr) {
        listener_->DocumentPushed();
    }
}

bool EditHistory::Undo() {
    return Step(false);
}

bool EditHistory::Redo() {
    return Step(true);
}

bool EditHistory::Step(bool forward) {
    clickStepOnTop_ = false;
    if (forward ? !stack_.canRedo() : !stack_.canUndo()) {
        return false;
    }
    forward ? stack_.redo() : stack_.undo();
    if (listener_ != nullptr) {
        forward ? listener_->StepRedone() : listener_->StepUndone();
    }
    return true;
}

void EditHistory::MarkSaved() {
    clickStepOnTop_ = false;
    stack_.setClean();
    if (listener_ != nullptr) {
        listener_->MarkedSaved();
    }
}

VisibilityMatrix EditHistory::PutRecorded(const RecordedHistory& recorded) {
    clickStepOnTop_ = false;
    stack_.clear();
    const std::vector<RecordedStep>& steps = recorded.Steps();
    const std::optional<std::size_t>& saved = recorded.SavedPosition();
    VisibilityMatrix onDisk = doc_.Matrix;
    for (std::size_t done = 0; done <= steps.size(); ++done) {
        if (saved == done) {
            stack_.setClean();
            onDisk = doc_.Matrix;
        }
        if (done < steps.size()) {
            // Joined on the way in: a double click is never offered to a recovered click.
            RecordedStep step{steps[done].Text, StepKind::Action, steps[done].Changes};
            ReplayElementChanges(doc_, step.Changes, Replay::Redo);
            stack_.push(new RecordedEdit(doc_, std::move(step)));
        }
    }
    for (std::size_t done = steps.size(); done > recorded.Position(); --done) {
        stack_.undo();
    }
    if (!saved) {
        stack_.resetClean();
    }
    return onDisk;
}

const RecordedStep* EditHistory::ElementStep(int index) const {
    // Every step on the stack is one of the history's own.
    const auto* step = static_cast<const HistoryStep*>(stack_.command(index));
    return step != nullptr ? step->Elements() : nullptr;
}

EditHistory::ElementSteps EditHistory::ElementStepsAround() const {
    const int index = stack_.index();
    int low = index;
    while (low > 0 && ElementStep(low - 1) != nullptr) {
        --low;
    }
    int high = index;
    while (high < stack_.count() && ElementStep(high) != nullptr) {
        ++high;
    }
    ElementSteps around;
    for (int i = low; i < high; ++i) {
        const RecordedStep& step = *ElementStep(i);
        around.Steps.push_back({step.Text, StepKind::Action, step.Changes});
    }
    around.Position = static_cast<std::size_t>(index - low);
    const int clean = stack_.cleanIndex();
    if (clean >= low && clean <= high) {
        around.SavedPosition = static_cast<std::size_t>(clean - low);
    }
    return around;
}

void EditHistory::Clear() {
    clickStepOnTop_ = false;
    stack_.clear();
    if (listener_ != nullptr) {
        listener_->Cleared();
    }
}

QString EditHistory::SelectedBlocksText(const QString& caption) const {
    int selected = 0;
    for (std::int16_t b = 1; b <= doc_.BlockCount; ++b) {
        selected += SelectedBlock(grid_.Selection(), b) ? 1 : 0;
    }
    return selected == 1 ? caption + QStringLiteral(" on 1 block")
                         : caption + QStringLiteral(" on %1 blocks").arg(selected);
}

QString EditHistory::KeysText() {
    return QStringLiteral("Undo: Ctrl+Z    Redo: Ctrl+Shift+Z or Ctrl+Y");
}

}  // namespace lumark
