#pragma once

#include <QObject>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "BlockSelection.h"
#include "EditHistory.h"
#include "FileState.h"
#include "RecoveryKeeper.h"
#include "VisibilityDocument.h"

class QFileSystemWatcher;
class QTimer;

namespace lumark {

class MatrixGridModel;
class UserDialogs;

// The life of the one open document: opening, saving, the close decision, the edit history and
// whether the window holds changes its file does not. The window wires its controls to these
// operations and shows what they report; questions go through the dialog interface.
class DocumentSession : public QObject {
    Q_OBJECT

  public:
    // `settingsFilePath` holds "LastDir". `backupFolder` is where a save in place keeps the old
    // bytes when the file's own folder cannot be written; empty for nowhere else.
    DocumentSession(UserDialogs& dialogs, std::string settingsFilePath,
                    std::string backupFolder = {}, QObject* parent = nullptr);
    ~DocumentSession() override;

    VisibilityDocument& Document() { return doc_; }
    const VisibilityDocument& Document() const { return doc_; }
    // The grid: rebuilt for every document, showing the document and the selection.
    MatrixGridModel& Grid() { return *grid_; }
    // The selected blocks: none after a load, kept across a reload.
    BlockSelection& Selection() { return selection_; }
    EditHistory& History() { return *history_; }
    const std::string& FilePath() const { return filePath_; }

    // Recovery of unsaved edits after a crash (RecoveryKeeper.h): records kept in `folder` from
    // now on, and offered before a file is read; a session without them keeps none.
    void KeepRecoveryRecords(const std::string& folder);
    // At a start with no file: offers the records of Lumarks no longer running.
    void OfferRecoveryRecords();
    RecoveryKeeper& Recovery() { return *recovery_; }
    // Puts `record` in place as the window last had it: the document and the undo history as
    // they stood, the file's state at the step where it was saved, and the file followed as
    // after Open ("LastDir", the caption, the watch). The history's listener hears the clear
    // of the old history, not the recovered steps: the record already holds them.
    void PutRecoveredHistory(const RecoveredRecord& record);

  private:
    // Never null. Built and destroyed without touching the rest of the session.
    std::unique_ptr<RecoveryKeeper> recovery_ = std::make_unique<RecoveryKeeper>(*this);

  public:
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

    // The file on disk. What Lumark last read or wrote is remembered (identity and a hash of
    // the bytes); the file and its folder are watched, and CheckDisk also runs when the window
    // is activated and before every write, since watchers miss changes on some file systems.
    // Lumark's own writes are never taken for outside changes.
    //
    // CheckDisk: a file whose bytes changed is reloaded at once when the window holds no
    // unsaved changes, else only after the "Changed on disk" question; either way the reload is
    // one undo step. A file that does not read is left alone until it changes again. While a
    // modal box is open the check waits, and changes in quick succession give one check.
    void CheckDisk();
    // The file's state on disk for the status bar: "Reloaded: changed on disk", "Changed on
    // disk; cannot be read yet", "Deleted on disk", "Read-only" or empty.
    const std::string& DiskState() const { return diskState_; }

  signals:
    // Another document, or the same one read again, now fills the grid: the version panel and
    // the focus follow it.
    void DocumentReplaced();
    // The session now stands for the file at FilePath(): the caption follows.
    void FileFollowed();
    // DiskState() changed.
    void DiskStateChanged();

  private:
    // "Save Visibility now ?": false for Cancel; Yes writes the document to its file first and
    // throws when that fails.
    bool AskToSaveChanges();
    // Before the document is replaced: false when the user cancels.
    bool MayReplaceDocument();
    // Writes the document to `path` and makes that the saved state; the message of a failure
    // ends with `whenFailed`. False, with nothing written, when the file changed on disk and
    // the user keeps it.
    bool WriteDocumentTo(const std::string& path, const char* whenFailed);
    // Before writing over the open file: true unless another program changed its bytes since
    // Lumark last read or wrote them and the user keeps that version.
    bool MayReplaceChangedFile();
    // What Lumark now knows to be on disk, read or written: `doc` holds `state`'s bytes.
    void RememberDisk(const std::optional<FileState>& state, const VisibilityDocument& doc);
    // The file's bytes changed to `fresh`: it replaces the document as one undo step, and that
    // is the state on disk.
    void ReloadFromDisk(const VisibilityDocument& fresh, const FileState& state);
    // Asks whether to reload a file changed on disk while the window holds unsaved changes.
    bool AskToReload(const VisibilityDocument& fresh);
    void SetDiskState(std::string text);
    // The file and its folder, watched again: a rename over the file drops its watch.
    void Watch();
    // The window now stands for `path`: "LastDir" and the caption follow it.
    void FollowFile(const std::string& path);

    UserDialogs& dialogs_;
    const std::string settingsFilePath_;
    VisibilityDocument doc_;
    BlockSelection selection_;
    // Goes before the document and the selection it watches.
    std::unique_ptr<MatrixGridModel> grid_;
    std::unique_ptr<EditHistory> history_;
    std::string filePath_;
    bool touched_ = false;

    const std::string backupFolder_;
    std::optional<FileState> disk_;  // as last read or written; none for an adopted document
    VisibilityDocument diskDocument_;
    std::optional<FileIdentity> unreadable_;  // a version on disk that did not read
    std::optional<std::uint64_t> keptOver_;   // bytes on disk the user chose not to load
    std::string diskState_;
    QFileSystemWatcher* watcher_;
    QTimer* checkSoon_;
    bool checking_ = false;
};

}  // namespace lumark
