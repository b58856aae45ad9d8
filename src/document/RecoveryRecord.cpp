#include "RecoveryRecord.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>

#include "LumarkError.h"
#include "RecoveryFormat.h"
#include "RecoveryNames.h"

namespace lumark {

std::optional<RecoveryClaim> RecoveryClaim::Take(const std::string& recordPath) {
    // Read-write so that a recovered record can be written on; a record in a folder this
    // process may only read can still be recovered.
    const int flags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
    FileDescriptor fd(::open(recordPath.c_str(), O_RDWR | flags));
    if (!fd.valid() && (errno == EACCES || errno == EROFS)) {
        fd = FileDescriptor(::open(recordPath.c_str(), O_RDONLY | flags));
    }
    struct stat opened {};
    if (!fd.valid() || ::fstat(fd.get(), &opened) != 0 || !S_ISREG(opened.st_mode) ||
        ::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
        return std::nullopt;
    }
    // The lock is on what was opened: a writer may have removed or replaced the record since
    // (removing it unlocks the old file), and that one must not be taken for a dead process's.
    struct stat named {};
    if (::stat(recordPath.c_str(), &named) != 0 || named.st_dev != opened.st_dev ||
        named.st_ino != opened.st_ino) {
        return std::nullopt;
    }
    return RecoveryClaim(recordPath, std::move(fd));
}

RecoveredRecord RecoveryClaim::Read() {
    std::string bytes;
    if (::lseek(fd_.get(), 0, SEEK_SET) != 0 || !ReadAllFrom(fd_.get(), bytes)) {
        throw LumarkError::FileOperation("cannot read", path_, std::strerror(errno));
    }
    try {
        RecoveryFormat::ParsedRecord parsed = RecoveryFormat::Parse(bytes);
        validLength_ = parsed.ValidLength;
        return std::move(parsed.Record);
    } catch (const LumarkError& error) {
        throw LumarkError(path_, 0, error.what());
    }
}

std::int64_t RecoveryClaim::UpdatedNs() const {
    struct stat info {};
    if (::fstat(fd_.get(), &info) != 0) {
        return 0;
    }
    return static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 +
           static_cast<std::int64_t>(info.st_mtim.tv_nsec);
}

bool RecoveryClaim::Remove() {
    const bool removed = ::unlink(path_.c_str()) == 0 || errno == ENOENT;
    fd_.Close();
    return removed;
}

std::vector<RecordSummary> ListRecoveryRecords(const std::string& folder) {
    std::vector<RecordSummary> records;
    DIR* const directory = ::opendir(folder.c_str());
    if (directory == nullptr) {
        return records;
    }
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(directory)) {
        names.emplace_back(entry->d_name);
    }
    ::closedir(directory);
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        const std::string path = folder + "/" + name;
        if (RecoveryNames::IsTemporary(name)) {
            if (std::optional<RecoveryClaim> left = RecoveryClaim::Take(path)) {
                left->Remove();  // a rewrite that its writer did not finish
            }
            continue;
        }
        if (!RecoveryNames::IsRecord(name)) {
            continue;
        }
        std::optional<RecoveryClaim> claim = RecoveryClaim::Take(path);
        if (!claim) {
            continue;
        }
        RecordSummary summary;
        summary.RecordPath = path;
        summary.UpdatedNs = claim->UpdatedNs();
        try {
            const RecoveredRecord record = claim->Read();
            summary.StepCount = record.History.Steps().size();
            summary.FilePath = record.File.Path;
        } catch (const LumarkError& error) {
            summary.Problem = error.Problem();
        }
        records.push_back(std::move(summary));
    }
    std::stable_sort(
        records.begin(), records.end(),
        [](const RecordSummary& a, const RecordSummary& b) { return a.UpdatedNs < b.UpdatedNs; });
    return records;
}

}  // namespace lumark
