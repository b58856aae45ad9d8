#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "LockedFile.h"
#include "RecordedHistory.h"
#include "RecoveryFormat.h"
#include "RecoveryRecord.h"

namespace lumark {

// Keeps the recovery record of one document with unsaved changes up to date. Each Append
// writes its entry at once (a kill of the process keeps it), and Flush makes what was
// written durable; callers flush at most about once a second.
//
// The writer never throws for a failure of the system and never stops an edit: each call
// returns false when the record could not be brought up to date, and Problem() then says why
// ("cannot write in FOLDER: No space left on device"), for the caller to show once as
// "No recovery copy: <reason>". The history is still followed in memory, and the next Flush
// writes the record whole again, which clears the problem when it succeeds. A step that does
// not fit the history (a fault of the caller's) removes the record for good, since it would
// no longer show the document. A new record gets its name at once and is made durable, name
// and all, by the first Flush.
//
// Compaction: when the kept steps take more than 64 copies of the bit-packed relation
// (about 720 KB), Flush folds the oldest done steps into the base copy until they take at
// most half that; a file grown to more than twice its content plus 64 KB (undos, redos,
// steps dropped by a push after undos) is written anew as well. Both are safe rewrites: a new
// file, flushed, renamed over the record.
class RecoveryWriter {
  public:
    // Starts a record in `folder` (created when missing) with `history`, usually no steps on
    // the relation as it matches the file.
    RecoveryWriter(const std::string& folder, RecordedFile file, RecordedHistory history);
    // Goes on writing the record recovered under `claim`, whose content `record` is.
    RecoveryWriter(RecoveryClaim claim, RecoveredRecord record);
    // The record stays: it is removed only by Remove.
    ~RecoveryWriter() = default;
    RecoveryWriter(RecoveryWriter&&) = default;
    RecoveryWriter& operator=(RecoveryWriter&&) = default;

    // A step pushed onto the edit history, an undo and a redo, as the history did them.
    bool AppendPush(RecordedStep step);
    bool AppendUndo();
    bool AppendRedo();
    // Makes the record durable; compacts it, or writes it whole after a failure, when due.
    bool Flush();
    // Deletes the record. Nothing is written after it, and every call returns false.
    void Remove();

    // Why the record is not up to date; empty when it is.
    const std::string& Problem() const { return problem_; }
    // A step did not fit the history: the record is gone, and only a new writer can go on.
    bool Broken() const { return broken_; }
    const std::string& RecordPath() const { return path_; }
    const RecordedHistory& History() const { return history_; }

  private:
    bool Append(RecoveryFormat::EntryType type, const std::string& payload);
    // A redo when `forward`, else an undo.
    bool AppendStep(bool forward);
    bool Rewrite(bool durable);
    bool Fail(const std::string& problem);
    bool Break(const std::string& reason);
    bool CompactionDue() const;
    void FoldOldSteps();
    std::size_t KeptBytes() const;
    std::size_t DoneBytes() const;
    void MeasureSteps();

    std::string folder_;
    std::string name_;
    std::string path_;
    RecordedFile file_;
    RecordedHistory history_;
    std::vector<std::size_t> stepBytes_;  // each kept step's size in a snapshot
    platform::LockedFile record_;
    std::size_t size_ = 0;  // the record's bytes up to its last whole entry
    bool stale_ = false;    // the file is behind the history: the next Flush writes it whole
    bool unsynced_ = false;
    bool folderUnsynced_ = false;
    bool removed_ = false;
    bool broken_ = false;  // the history refused a step: the record is gone for good
    std::string problem_;
};

}  // namespace lumark
