#include "RecoveryWriter.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <numeric>
#include <random>

#include "FileSystem.h"
#include "LumarkError.h"
#include "RecoveryNames.h"

namespace lumark {

namespace {

using RecoveryFormat::EntryType;

constexpr std::size_t FoldAboveBytes = 64 * RecoveryFormat::RelationBytes;
constexpr std::size_t FoldToBytes = FoldAboveBytes / 2;
constexpr std::size_t SlackBytes = 64 * 1024;

std::uint32_t RandomNumber() {
    try {
        std::random_device device;
        return device();
    } catch (const std::exception&) {
        // No source of randomness: the clock still tells two writers of one second apart.
        return static_cast<std::uint32_t>(
            std::chrono::steady_clock::now().time_since_epoch().count());
    }
}

}  // namespace

RecoveryWriter::RecoveryWriter(const std::string& folder, RecordedFile file,
                               RecordedHistory history)
    : folder_(folder),
      name_(RecoveryNames::RecordName(platform::ProcessId(),
                                      std::chrono::duration_cast<std::chrono::seconds>(
                                          std::chrono::system_clock::now().time_since_epoch())
                                          .count(),
                                      RandomNumber())),
      path_(folder + "/" + name_),
      file_(std::move(file)),
      history_(std::move(history)) {
    MeasureSteps();
    Rewrite(false);
}

RecoveryWriter::RecoveryWriter(RecoveryClaim claim, RecoveredRecord record)
    : path_(claim.path_),
      file_(std::move(record.File)),
      history_(std::move(record.History)),
      record_(std::move(claim.file_)) {
    const std::size_t slash = path_.rfind('/');
    folder_ = slash == std::string::npos ? "." : path_.substr(0, slash);
    name_ = slash == std::string::npos ? path_ : path_.substr(slash + 1);
    MeasureSteps();
    // A write that a kill cut short is cut off, so that the next entry follows a whole one.
    if (claim.validLength_ && record_.Writable() &&
        platform::TruncateTo(record_.fd(), static_cast<std::int64_t>(*claim.validLength_))) {
        size_ = *claim.validLength_;
    } else {
        Rewrite(false);
    }
}

void RecoveryWriter::MeasureSteps() {
    stepBytes_.clear();
    for (const RecordedStep& step : history_.Steps()) {
        stepBytes_.push_back(RecoveryFormat::StepPayload(step, history_.BlockCount()).size());
    }
}

std::size_t RecoveryWriter::KeptBytes() const {
    return std::accumulate(stepBytes_.begin(), stepBytes_.end(), std::size_t{0});
}

std::size_t RecoveryWriter::DoneBytes() const {
    return std::accumulate(stepBytes_.begin(),
                           stepBytes_.begin() + static_cast<std::ptrdiff_t>(history_.Position()),
                           std::size_t{0});
}

bool RecoveryWriter::Fail(const std::string& problem) {
    problem_ = problem;
    return false;
}

bool RecoveryWriter::Break(const std::string& reason) {
    broken_ = true;
    platform::RemoveFile(path_);
    record_.Close();
    return Fail("the record no longer follows the edit history: " + reason);
}

bool RecoveryWriter::Rewrite(bool durable) {
    if (folder_.empty()) {
        return Fail("no folder to keep it in");
    }
    if (!platform::MakePrivateFolders(folder_)) {
        return Fail("cannot create " + folder_ + ": " + std::strerror(errno));
    }
    const std::string temporary = folder_ + "/" + RecoveryNames::TemporaryName(name_);
    // Locked before it gets the record's name, so that no other process ever takes it.
    platform::LockedFile fresh = platform::LockedFile::Create(temporary);
    const std::string bytes =
        RecoveryFormat::FileHeader() +
        RecoveryFormat::Entry(EntryType::Snapshot,
                              RecoveryFormat::SnapshotPayload(file_, history_));
    if (!fresh.valid() || !WriteAllTo(fresh.fd(), bytes) ||
        (durable && !platform::SyncData(fresh.fd())) || !platform::RenameOver(temporary, path_)) {
        const int error = errno;
        if (fresh.valid()) {
            fresh.Close();
            platform::RemoveFile(temporary);
        }
        stale_ = true;
        return Fail("cannot write in " + folder_ + ": " + std::strerror(error));
    }
    if (durable) {
        platform::SyncFolder(folder_);
    }
    record_ = std::move(fresh);  // closing the old file gives up its lock: it is no longer named
    size_ = bytes.size();
    stale_ = false;
    unsynced_ = !durable;
    folderUnsynced_ = !durable;
    problem_.clear();
    return true;
}

bool RecoveryWriter::Append(EntryType type, const std::string& payload) {
    if (stale_) {
        return false;  // the next Flush writes the whole history
    }
    const std::string entry = RecoveryFormat::Entry(type, payload);
    if (!WriteAllTo(record_.fd(), entry)) {
        const int error = errno;
        // Takes back a part written, so that the file still ends with a whole entry.
        platform::TruncateTo(record_.fd(), static_cast<std::int64_t>(size_));
        stale_ = true;
        return Fail("cannot write in " + folder_ + ": " + std::strerror(error));
    }
    size_ += entry.size();
    unsynced_ = true;
    return true;
}

bool RecoveryWriter::AppendPush(RecordedStep step) {
    if (removed_ || broken_) {
        return false;
    }
    const std::size_t position = history_.Position();
    const std::string payload = RecoveryFormat::StepPayload(step, history_.BlockCount());
    RecordedHistory::Pushed pushed{};
    try {
        pushed = history_.Push(std::move(step));
    } catch (const LumarkError& error) {
        return Break(error.what());
    }
    stepBytes_.resize(position);
    switch (pushed) {
        case RecordedHistory::Pushed::Added:
            stepBytes_.push_back(payload.size());
            break;
        case RecordedHistory::Pushed::Merged:
            stepBytes_.back() =
                RecoveryFormat::StepPayload(history_.Steps().back(), history_.BlockCount()).size();
            break;
        case RecordedHistory::Pushed::Dropped:
            stepBytes_.pop_back();
            break;
    }
    return Append(EntryType::Push, payload);
}

bool RecoveryWriter::AppendUndo() {
    return AppendStep(false);
}

bool RecoveryWriter::AppendRedo() {
    return AppendStep(true);
}

bool RecoveryWriter::AppendStep(bool forward) {
    if (removed_ || broken_) {
        return false;
    }
    try {
        forward ? history_.Redo() : history_.Undo();
    } catch (const LumarkError& error) {
        return Break(error.what());
    }
    return Append(forward ? EntryType::Redo : EntryType::Undo, {});
}

bool RecoveryWriter::CompactionDue() const {
    const std::size_t kept = KeptBytes();
    const std::size_t content = RecoveryFormat::HeaderSize + RecoveryFormat::EntryOverhead +
                                RecoveryFormat::RelationBytes + file_.Path.size() + kept;
    // Folding is due only when it gains something worth a rewrite.
    const bool fold = kept > FoldAboveBytes && DoneBytes() >= FoldAboveBytes / 4;
    return fold || size_ > 2 * content + SlackBytes;
}

void RecoveryWriter::FoldOldSteps() {
    std::size_t kept = KeptBytes();
    if (kept <= FoldAboveBytes) {
        return;
    }
    std::size_t count = 0;
    while (kept > FoldToBytes && count < history_.Position()) {
        kept -= stepBytes_[count++];
    }
    history_.Fold(count);
    stepBytes_.erase(stepBytes_.begin(), stepBytes_.begin() + static_cast<std::ptrdiff_t>(count));
}

bool RecoveryWriter::Flush() {
    if (removed_ || broken_) {
        return false;
    }
    if (stale_ || CompactionDue()) {
        FoldOldSteps();
        return Rewrite(true);
    }
    if (unsynced_) {
        if (!platform::SyncData(record_.fd())) {
            // What reached the disk is unknown: the next Flush writes the record whole.
            stale_ = true;
            return Fail("cannot write in " + folder_ + ": " + std::strerror(errno));
        }
        unsynced_ = false;
    }
    if (folderUnsynced_) {
        platform::SyncFolder(folder_);
        folderUnsynced_ = false;
    }
    return true;
}

void RecoveryWriter::Remove() {
    if (!removed_ && !broken_) {
        platform::RemoveFile(path_);
    }
    record_.Close();
    removed_ = true;
}

}  // namespace lumark
