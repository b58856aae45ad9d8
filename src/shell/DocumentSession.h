#pragma once

#include <QObject>
#include <memory>
#include <string>

#include "EditHistory.h"
#include "VisibilityDocument.h"

namespace lumark {

class MatrixGridModel;
class UserDialogs;

// The life of the one open document: opening, saving, the close decision, the edit history and
// whether the window holds changes its file does not. The window wires its controls to these
// operations and shows what they report; questions go through the dialog interface.
class DocumentSession : public QObject {
    Q_OBJECT

  public:
    // `settingsFilePath` holds "LastDir".
    DocumentSession(UserDialogs& dialogs, std::string settingsFilePath, QObject* parent = nullptr);
    ~DocumentSession() override;

    VisibilityDocument& Document() { return doc_; }
    const VisibilityDocument& Document() const { return doc_; }
    // The grid's texts and colours: rebuilt for every document, rewritten by undo and redo.
    MatrixGridModel& Grid() { return *grid_; }
    EditHistory& History() { return *history_; }
    const std::string& FilePath() const { return filePath_; }

    // The window holds what its file does not: the history has moved off the state last read
    // or written, or the user did something that counts as a change (MarkChanged).
    bool UnsavedChanges() const { return touched_ || !history_->AtSavedState(); }
    // Any click on the grid, and a view-distance button pressed with blocks selected, mark the
    // file changed even when the relation stayed as it was.
    void MarkChanged() { touched_ = true; }

    // "Load": asks about unsaved changes, then opens the file picked in the dialog, which
    // starts in "LastDir". A cancelled dialog keeps the open file.
    void Load();
    // Opens `path` as Load does once its dialog has returned it.
    void OpenAfterAsking(const std::string& path);
    // Reads `path`: on success the document, its path and "LastDir" follow the file and the
    // history starts afresh; on failure a LumarkError is thrown and nothing has changed.
    void Open(const std::string& path);
    // Takes `doc` as the document of `path` without reading the file; the history starts
    // afresh, with this state as the saved one.
    void Adopt(const VisibilityDocument& doc, const std::string& path);
    // "Save": asks, writes the document to its file and confirms.
    void Save();
    // Writes the document, in its layout, to a file the user picks; on success the session
    // follows that file.
    void SaveAs();
    // The close decision, with the unsaved-changes prompt: false keeps the window open. A failed
    // write is thrown, and the window should then stay open too.
    bool MayClose();
    // One step back or forward in the history; false when there is none.
    bool Undo();
    bool Redo();

  signals:
    // Another document, or the same one read again, now fills the grid: the version panel and
    // the focus follow it.
    void DocumentReplaced();
    // The session now stands for the file at FilePath(): the caption follows.
    void FileFollowed();

  private:
    // "Save Visibility now ?": false for Cancel; Yes writes the document to its file first and
    // throws when that fails.
    bool AskToSaveChanges();
    // Before the document is replaced: false when the user cancels.
    bool MayReplaceDocument();
    // Writes the document to `path` and makes that the saved state; the message of a failure
    // ends with `whenFailed`.
    void WriteDocumentTo(const std::string& path, const char* whenFailed);
    // The window now stands for `path`: "LastDir" and the caption follow it.
    void FollowFile(const std::string& path);

    UserDialogs& dialogs_;
    const std::string settingsFilePath_;
    VisibilityDocument doc_;
    MatrixGridModel* grid_;
    std::unique_ptr<EditHistory> history_;
    std::string filePath_;
    bool touched_ = false;
};

}  // namespace lumark
