#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "FileState.h"
#include "LockedFile.h"
#include "RecordedHistory.h"

namespace lumark {

// A recovery record keeps the edits of one document that are not saved yet, with their undo
// history, so that a crash loses none of them. Records live in one folder, each in a file of
// its own, tied to the process that writes it by a lock held while it runs.

// What a record says of the visibility file: its path (bytes), its identity and hash as last
// read or written, and its layout.
struct RecordedFile {
    std::string Path;
    FileState State;
    std::string VersionText;
};

// A record as read back: the file and the history down to the base copy of the relation.
struct RecoveredRecord {
    RecordedFile File;
    RecordedHistory History;
};

// A record that no running process holds, as the folder lists it.
struct RecordSummary {
    std::string RecordPath;
    std::int64_t UpdatedNs = 0;  // when it was last brought up to date (its modification time)
    std::size_t StepCount = 0;   // steps in its history, done or undone
    std::string FilePath;        // the visibility file, when it can be read
    std::string Problem;         // why it cannot be read; empty when it can
};

// The records in `folder` that no running process holds, oldest first. Each is read whole to
// tell whether it can be recovered. Temporary files left by a writer that died are removed.
// A folder that does not exist or cannot be read has no records.
std::vector<RecordSummary> ListRecoveryRecords(const std::string& folder);

// A record taken by this process to be recovered: while the claim lives, it holds the record's
// lock, so no other process lists or takes it. Dropping the claim keeps the record for later.
class RecoveryClaim {
  public:
    // Nothing when a running process holds the record, or it is gone or no plain file.
    static std::optional<RecoveryClaim> Take(const std::string& recordPath);

    // The record read whole. One that is damaged, torn before its last entry, of an unknown
    // version or whose steps do not fit its blocks is a LumarkError naming the record and the
    // reason; none of it is loaded. A torn or damaged last entry is a write that a kill cut
    // short: it is left out.
    RecoveredRecord Read();
    // Deletes the record; false when the system refuses.
    bool Remove();

    const std::string& Path() const { return path_; }
    // When the record was last brought up to date (its modification time), nanoseconds since
    // the epoch; 0 when unknown.
    std::int64_t UpdatedNs() const;

  private:
    friend class RecoveryWriter;
    RecoveryClaim(std::string path, platform::LockedFile file)
        : path_(std::move(path)), file_(std::move(file)) {}

    std::string path_;
    platform::LockedFile file_;
    std::optional<std::size_t> validLength_;  // once read: the bytes up to the last whole entry
};

}  // namespace lumark
