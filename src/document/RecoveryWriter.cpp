#include "RecoveryWriter.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <numeric>
#include <random>

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

// Creates `folder` and the folders above it that are missing, private to the user; false with
// errno set when one cannot be made.
bool MakeFolders(const std::string& folder) {
    for (std::size_t end = folder.find('/', 1);; end = folder.find('/', end + 1)) {
        const std::string part = folder.substr(0, end);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            return false;
        }
        if (end == std::string::npos) {
            struct stat info {};
            if (::stat(part.c_str(), &info) != 0) {
                return false;
            }
            if (!S_ISDIR(info.st_mode)) {
                errno = ENOTDIR;
                return false;
            }
            return true;
        }
    }
}

// Makes a new name in the folder durable; a failure leaves the record as written, so it is
// not reported.
void SyncFolder(const std::string& folder) {
    const FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.valid()) {
        ::fsync(fd.get());
    }
}

}  // namespace

RecoveryWriter::RecoveryWriter(const std::string& folder, RecordedFile file,
                               RecordedHistory history)
    : folder_(folder),
      name_(RecoveryNames::RecordName(static_cast<long>(::getpid()),
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
      fd_(std::move(claim.fd_)) {
    const std::size_t slash = path_.rfind('/');
    folder_ = slash == std::string::npos ? "." : path_.substr(0, slash);
    name_ = slash == std::string::npos ? path_ : path_.substr(slash + 1);
    MeasureSteps();
    // A write that a kill cut short is cut off, so that the next entry follows a whole one.
    const int mode = ::fcntl(fd_.get(), F_GETFL);
    if (claim.validLength_ && mode >= 0 && (mode & O_ACCMODE) == O_RDWR &&
        ::ftruncate(fd_.get(), static_cast<off_t>(*claim.validLength_)) == 0 &&
        ::lseek(fd_.get(), 0, SEEK_END) >= 0) {
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
    ::unlink(path_.c_str());
    fd_.Close();
    return Fail("the record no longer follows the edit history: " + reason);
}

bool RecoveryWriter::Rewrite(bool durable) {
    if (folder_.empty()) {
        return Fail("no folder to keep it in");
    }
    if (!MakeFolders(folder_)) {
        return Fail("cannot create " + folder_ + ": " + std::strerror(errno));
    }
    const std::string temporary = folder_ + "/" + RecoveryNames::TemporaryName(name_);
    FileDescriptor fd(
        ::open(temporary.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600));
    const std::string bytes =
        RecoveryFormat::FileHeader() +
        RecoveryFormat::Entry(EntryType::Snapshot,
                              RecoveryFormat::SnapshotPayload(file_, history_));
    // Locked before it gets the record's name, so that no other process ever takes it.
    if (!fd.valid() || ::flock(fd.get(), LOCK_EX | LOCK_NB) != 0 || !WriteAllTo(fd.get(), bytes) ||
        (durable && ::fdatasync(fd.get()) != 0) ||
        ::rename(temporary.c_str(), path_.c_str()) != 0) {
        const int error = errno;
        if (fd.valid()) {
            ::unlink(temporary.c_str());
        }
        stale_ = true;
        return Fail("cannot write in " + folder_ + ": " + std::strerror(error));
    }
    if (durable) {
        SyncFolder(folder_);
    }
    fd_ = std::move(fd);  // closing the old file gives up its lock: it is no longer named
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
    if (!WriteAllTo(fd_.get(), entry)) {
        const int error = errno;
        // Takes back a part written, so that the file still ends with a whole entry.
        if (::ftruncate(fd_.get(), static_cast<off_t>(size_)) == 0) {
            ::lseek(fd_.get(), static_cast<off_t>(size_), SEEK_SET);
        }
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
        if (::fdatasync(fd_.get()) != 0) {
            // What reached the disk is unknown: the next Flush writes the record whole.
            stale_ = true;
            return Fail("cannot write in " + folder_ + ": " + std::strerror(errno));
        }
        unsynced_ = false;
    }
    if (folderUnsynced_) {
        SyncFolder(folder_);
        folderUnsynced_ = false;
    }
    return true;
}

void RecoveryWriter::Remove() {
    if (!removed_ && !broken_) {
        ::unlink(path_.c_str());
    }
    fd_.Close();
    removed_ = true;
}

}  // namespace lumark
