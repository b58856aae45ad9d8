#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "MatrixGridModel.h"
#include "RecordedHistory.h"
#include "StepHistory.h"
#include "VisibilityDocument.h"

namespace lumark {

// Hears each change of the history once it is made, so that a record kept elsewhere (the
// recovery record) can follow. A step comes as pushed: a double click's step, of its kind, has
// by then been merged into the click's step when the history took it in.
class HistoryListener {
  public:
    virtual void StepPushed(const RecordedStep& step) = 0;
    // A step that put another whole document in place was pushed.
    virtual void DocumentPushed() = 0;
    virtual void StepUndone() = 0;
    virtual void StepRedone() = 0;
    virtual void Cleared() = 0;
    virtual void MarkedSaved() = 0;

  protected:
    ~HistoryListener() = default;
};

// A step of the window's history: the elements an action changed, or, for a step that put
// another whole document in place, both documents.
struct EditStep : RecordedStep {
    struct Documents {
        VisibilityDocument Before;
        VisibilityDocument After;
    };
    std::unique_ptr<const Documents> Replaced;
};

// Undo and redo of what the user's actions changed in the relation. Each action that changed at
// least one element becomes one step holding just those elements; selections are no steps.
class EditHistory : public QObject {
    Q_OBJECT

  public:
    EditHistory(VisibilityDocument& doc, MatrixGridModel& grid);

    // Runs `action` and makes what it changed one step named `text`. An action that changed
    // nothing adds no step. One that fails part-way keeps what it changed as a step, and the
    // error goes on to the caller.
    void Record(const QString& text, const std::function<void()>& action);
    // A cell click: the step is named after the cell edit it made.
    void RecordCellClick(const std::function<void()>& action);
    // The cell action of a double click, which follows its first click: both become one step,
    // and none at all when together they changed nothing.
    void RecordDoubleClick(const std::function<void()>& action);

    // Puts `replacement` in place of the whole document as one step named `text`.
    void Replace(const QString& text, const VisibilityDocument& replacement);

    // One step back or forward; false, and nothing touched, when there is none.
    bool Undo();
    bool Redo();
    // The document now matches its file.
    void MarkSaved();
    // The history stands where the document last matched its file.
    bool AtSavedState() const { return steps_.AtSavedState(); }
    // Another document: no steps, matching its file.
    void Clear();
    // Puts `recorded` in place of the history, with the document standing at its base: its
    // steps done and undone back to where it stood, the file's state where it was saved (none
    // when it was not among them). Returns the relation in that state, or the base. The
    // listener is not told: it is where the history came from.
    VisibilityMatrix PutRecorded(const RecordedHistory& recorded);
    // Tells `listener` of every change from now on; nullptr for nobody.
    void SetListener(HistoryListener* listener) { listener_ = listener; }

    // Where the history stands among its steps, as the buttons and the menu ask it.
    bool CanUndo() const { return steps_.CanUndo(); }
    bool CanRedo() const { return steps_.CanRedo(); }
    int Count() const { return static_cast<int>(steps_.Steps().size()); }
    // How many steps are done.
    int Index() const { return static_cast<int>(steps_.Position()); }
    QString Text(int index) const;
    // The text of the step an undo or a redo would take; empty when there is none.
    QString UndoText() const { return CanUndo() ? Text(Index() - 1) : QString(); }
    QString RedoText() const { return CanRedo() ? Text(Index()) : QString(); }

    // The steps of element changes around where the history stands, each as a finished action,
    // up to a step that put another whole document in place on either side; how many of them
    // are done, and after which the document matches its file, if it does within them.
    struct ElementSteps {
        std::vector<RecordedStep> Steps;
        std::size_t Position = 0;
        std::optional<std::size_t> SavedPosition;
    };
    ElementSteps ElementStepsAround() const;

    // "Increase (+) on 3 blocks": a command's caption and how many blocks are selected now.
    QString SelectedBlocksText(const QString& caption) const;

  signals:
    // After every push, undo, redo and clear: where the history stands may differ.
    void Changed();

  private:
    // Redo when `forward`, else undo.
    bool Step(bool forward);
    void Run(StepKind kind, const QString& text, const std::function<void()>& action);
    // Does `step` on the document, or undoes it.
    void Apply(const EditStep& step, bool forward);
    // Takes in a step already done.
    void Push(EditStep step);

    VisibilityDocument& doc_;
    MatrixGridModel& grid_;
    StepHistory<EditStep> steps_;
    // The last step pushed came from a cell click, and nothing has happened since.
    bool clickStepOnTop_ = false;
    HistoryListener* listener_ = nullptr;
};

}  // namespace lumark
