#include "EditHistory.h"

#include <utility>

#include "MatrixEdits.h"
#include "MatrixGrid.h"

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
            Push({step, nullptr});
            listener_->StepPushed(step);
        } else {
            Push({std::move(step), nullptr});
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

void EditHistory::Push(EditStep step) {
    steps_.Push(std::move(step));
    emit Changed();
}

void EditHistory::Apply(const EditStep& step, bool forward) {
    if (step.Replaced == nullptr) {
        ReplayElementChanges(doc_, step.Changes, forward ? Replay::Redo : Replay::Undo);
        return;
    }
    // The same file in another version: block count and layout may differ, and the user stays
    // where they were.
    doc_ = forward ? step.Replaced->After : step.Replaced->Before;
    FillMatrixGrid(grid_, GridPlace::Kept);
}

void EditHistory::Replace(const QString& text, const VisibilityDocument& replacement) {
    clickStepOnTop_ = false;
    EditStep step{
        {text.toStdString(), StepKind::Action, {}},
        std::make_unique<const EditStep::Documents>(EditStep::Documents{doc_, replacement})};
    Apply(step, true);
    Push(std::move(step));
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
    const auto apply = [this, forward](const EditStep& step) { Apply(step, forward); };
    if (!(forward ? steps_.Redo(apply) : steps_.Undo(apply))) {
        return false;
    }
    emit Changed();
    if (listener_ != nullptr) {
        forward ? listener_->StepRedone() : listener_->StepUndone();
    }
    return true;
}

void EditHistory::MarkSaved() {
    clickStepOnTop_ = false;
    steps_.MarkSaved();
    if (listener_ != nullptr) {
        listener_->MarkedSaved();
    }
}

VisibilityMatrix EditHistory::PutRecorded(const RecordedHistory& recorded) {
    clickStepOnTop_ = false;
    const std::optional<std::size_t>& saved = recorded.SavedPosition();
    VisibilityMatrix onDisk = doc_.Matrix;
    std::vector<EditStep> steps;
    steps.reserve(recorded.Steps().size());
    for (const RecordedStep& step : recorded.Steps()) {
        // Joined on the way in: a double click is never offered to a recovered click.
        steps.push_back({{step.Text, StepKind::Action, step.Changes}, nullptr});
        Apply(steps.back(), true);
        if (saved == steps.size()) {
            onDisk = doc_.Matrix;
        }
    }
    for (std::size_t done = steps.size(); done > recorded.Position(); --done) {
        Apply(steps[done - 1], false);
    }
    steps_.Place(std::move(steps), recorded.Position(), saved);
    emit Changed();
    return onDisk;
}

EditHistory::ElementSteps EditHistory::ElementStepsAround() const {
    const std::vector<EditStep>& steps = steps_.Steps();
    const std::size_t position = steps_.Position();
    std::size_t low = position;
    while (low > 0 && steps[low - 1].Replaced == nullptr) {
        --low;
    }
    std::size_t high = position;
    while (high < steps.size() && steps[high].Replaced == nullptr) {
        ++high;
    }
    ElementSteps around;
    for (std::size_t i = low; i < high; ++i) {
        around.Steps.push_back({steps[i].Text, StepKind::Action, steps[i].Changes});
    }
    around.Position = position - low;
    const std::optional<std::size_t>& saved = steps_.SavedPosition();
    if (saved && *saved >= low && *saved <= high) {
        around.SavedPosition = *saved - low;
    }
    return around;
}

void EditHistory::Clear() {
    clickStepOnTop_ = false;
    steps_.Clear();
    emit Changed();
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

QString EditHistory::Text(int index) const {
    return QString::fromStdString(steps_.Steps().at(static_cast<std::size_t>(index)).Text);
}

}  // namespace lumark
