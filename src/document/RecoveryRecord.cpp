#include "RecoveryRecord.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "FileSystem.h"
#include "LumarkError.h"
#include "RecoveryFormat.h"
#include "RecoveryNames.h"

namespace lumark {

std::optional<RecoveryClaim> RecoveryClaim::Take(const std::string& recordPath) {
    std::optional<platform::LockedFile> file = platform::LockedFile::OpenExisting(recordPath);
    if (!file) {
        return std::nullopt;
    }
    // The lock is on what was opened: a writer may have removed or replaced the record since
    // (removing it unlocks the old file), and that one must not be taken for a dead process's.
    const std::optional<FileIdentity> opened = file->Identity();
    const std::optional<FileIdentity> named = IdentityOf(recordPath);
    if (!opened || !named || named->Device != opened->Device || named->Inode != opened->Inode) {
        return std::nullopt;
    }
    return RecoveryClaim(recordPath, std::move(*file));
}

RecoveredRecord RecoveryClaim::Read() {
    std::string bytes;
    if (!platform::SeekTo(file_.fd(), 0) || !ReadAllFrom(file_.fd(), bytes)) {
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
    const std::optional<FileIdentity> identity = file_.Identity();
    return identity ? identity->ModifiedNs : 0;
}

bool RecoveryClaim::Remove() {
    const bool removed = platform::RemoveFile(path_) || errno == ENOENT;
    file_.Close();
    return removed;
}

std::vector<RecordSummary> ListRecoveryRecords(const std::string& folder) {
    std::vector<RecordSummary> records;
    std::vector<std::string> names;
    if (!platform::ListFolder(folder, names)) {
        return records;
    }
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
