#pragma once

#include <QObject>
#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "EditHistory.h"
#include "RecoveryRecord.h"
#include "RecoveryWriter.h"

class QTimer;

namespace lumark {

class DocumentSession;
class UserDialogs;

// Keeps the recovery record of a session's document while it has unsaved changes, and offers
// the records of Lumarks that stopped before saving.
//
// The record follows the edit history as it hears it: each step, undo and redo is written at
// once (a kill of the process keeps it), and made durable at most once a second. It exists only
// while the history stands off the state that matches the file: it is removed when that state
// is reached again by undo or by a save, when the edits are given up and when another document
// replaces this one. Its history is the part of the edit history made of element changes
// around where it stands; a step that replaced the whole document (a reload) starts it anew.
//
// A record that cannot be written never stops an edit: the first problem of a run is reported
// once, as "No recovery copy: <reason>", and the next flush tries again.
class RecoveryKeeper : public QObject, private HistoryListener {
    Q_OBJECT

  public:
    // Keeps no records: every call does nothing.
    explicit RecoveryKeeper(DocumentSession& session);
    // Records are kept in `folder`, which is created when needed. The keeper listens to the
    // session's history from now on.
    RecoveryKeeper(DocumentSession& session, UserDialogs& dialogs, std::string folder);
    // Makes the record durable; it stays. Touches nothing of the session, which may be gone.
    ~RecoveryKeeper() override;
    RecoveryKeeper(const RecoveryKeeper&) = delete;
    RecoveryKeeper& operator=(const RecoveryKeeper&) = delete;

    // Before the file at `path` is read, or with none at a start without a file: asks about each
    // record of a process no longer running (for that file, or for any), oldest first, until one
    // is recovered. Yes puts it into the session and goes on writing it; No removes it; Cancel
    // keeps it for later. Records that cannot be read are named in one message, once a run.
    // True when one was recovered.
    bool OfferRecords(const std::optional<std::string>& path);
    // The session's document now stands for the file at `path`, as read (in `state`) or adopted,
    // with a new history: the old record goes, and the next change starts a new one.
    void StartAfresh(const std::string& path, const std::optional<FileState>& state);
    // The document was written to `path`, which now holds `state`; it is the file from now on.
    void FileWritten(const std::string& path, const std::optional<FileState>& state);
    // The edits are given up: the record goes.
    void Discard();

    const std::string& Folder() const { return folder_; }
    // The record kept now; empty when there is none.
    std::string RecordPath() const;

  signals:
    // "No recovery copy: <reason>", the first time a record cannot be written in this run.
    void ProblemMet(const QString& text);

  private:
    void StepPushed(const RecordedStep& step) override;
    void DocumentPushed() override;
    void StepUndone() override;
    void StepRedone() override;
    void Cleared() override;
    void MarkedSaved() override;

    // Takes in a recovered record and goes on writing it.
    void TakeOver(RecoveryClaim claim, RecoveredRecord record);
    // A record for the edit history as it stands now; `topKind` is the kind of the step
    // just pushed, which a double click may still merge into.
    void StartRecord(std::optional<StepKind> topKind);
    // After every change: no record at the file's state, one everywhere else (started anew when
    // `startAnew`); a flush is due within a second.
    void Settle(std::optional<StepKind> topKind, bool startAnew = false);
    void Remove();
    void Flush();
    // Says the first problem of the run.
    void Report(const std::string& problem);

    DocumentSession& session_;
    UserDialogs* const dialogs_;
    const std::string folder_;
    const bool keeping_;
    RecordedFile file_;
    std::optional<RecoveryWriter> writer_;
    QTimer* flushTimer_;
    bool problemSaid_ = false;
    bool unreadableSaid_ = false;
};

}  // namespace lumark
