#include "AtomicFile.h"

#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <memory>

#include "FileDescriptor.h"
#include "FileSystem.h"
#include "LumarkError.h"
#include "PathParts.h"
#include "WideText.h"

namespace lumark {

namespace {

using platform::windows::FailWithLastError;
using platform::windows::OpenFile;
using platform::windows::Wide;

[[noreturn]] void ThrowWriteError(const std::string& path, int error) {
    throw LumarkError::FileOperation("cannot write", path, platform::ErrorText(error));
}

// Bytes go through unchanged, and the file can be renamed while it is open.
constexpr DWORD TemporaryShare = FILE_SHARE_READ | FILE_SHARE_DELETE;

// A new file beside the target under a name nobody has, removed again unless it is kept.
class TemporaryFile {
  public:
    explicit TemporaryFile(const std::string& prefix) {
        static unsigned counter = 0;
        for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
            const unsigned number = (GetCurrentProcessId() * 7919u) ^ GetTickCount() ^ ++counter;
            const std::string candidate = prefix + std::to_string(number % 1000000);
            const HANDLE handle = OpenFile(candidate, GENERIC_READ | GENERIC_WRITE, TemporaryShare,
                                           CREATE_NEW, FILE_ATTRIBUTE_NORMAL, 0);
            if (handle != INVALID_HANDLE_VALUE) {
                path_ = candidate;
                fd_ = platform::windows::DescriptorFor(handle, _O_RDWR);
                return;
            }
            if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) {
                break;
            }
        }
        FailWithLastError();
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        if (fd_ >= 0) {
            ::_close(fd_);
        }
        if (!kept_ && !path_.empty()) {
            DeleteFileW(Wide(path_).c_str());
        }
    }

    bool created() const { return !path_.empty() && (fd_ >= 0 || closed_); }
    int fd() const { return fd_; }
    const std::string& path() const { return path_; }

    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        closed_ = true;
        return ::_close(fd) == 0;
    }
    void Keep() { kept_ = true; }

  private:
    std::string path_;
    int fd_ = -1;
    bool closed_ = false;
    bool kept_ = false;
};

bool WriteAll(int fd, std::string_view bytes, const SaveSystemCalls& calls) {
    while (!bytes.empty()) {
        const std::ptrdiff_t written = calls.Write(fd, bytes.data(), bytes.size());
        if (written <= 0) {
            if (written == 0) {
                errno = EIO;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Puts the old bytes back after a failed write in place; plain calls, since the ones given
// may be the ones failing.
bool Restore(int fd, std::string_view old) {
    return platform::SeekTo(fd, 0) && WriteAllTo(fd, old) &&
           platform::TruncateTo(fd, static_cast<std::int64_t>(old.size())) &&
           platform::SyncData(fd);
}

// The target keeps its identity, attributes and every name; its old bytes are kept beside it,
// or in `backupFolder` where its own folder cannot be written, until the new ones are on disk.
void WriteInPlace(const std::string& path, std::string_view bytes, const SaveSystemCalls& calls,
                  const std::string& backupFolder, DWORD waitMs) {
    const HANDLE handle = OpenFile(path, GENERIC_READ | GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING, 0, waitMs);
    if (handle == INVALID_HANDLE_VALUE) {
        FailWithLastError();
        ThrowWriteError(path, errno);
    }
    const FileDescriptor file(platform::windows::DescriptorFor(handle, _O_RDWR));
    std::string old;
    if (!file.valid() || !ReadAllFrom(file.get(), old)) {
        ThrowWriteError(path, errno);
    }
    const std::string name(SplitPath(path, PathStyle::Windows).Name);
    auto backup = std::make_unique<TemporaryFile>(path + ".backup-");
    if (!backup->created() && errno == EACCES && !backupFolder.empty()) {
        if (platform::MakePrivateFolders(backupFolder)) {
            backup = std::make_unique<TemporaryFile>(backupFolder + "\\" + name + ".backup-");
        }
        if (!backup->created()) {
            ThrowWriteError(path, EACCES);
        }
    }
    if (!backup->created() || !WriteAll(backup->fd(), old, calls) ||
        calls.Sync(backup->fd()) != 0 || !backup->Close()) {
        ThrowWriteError(path, errno);
    }
    // From here until the new bytes are on disk the file may hold a mixture; the backup holds
    // the old bytes whole.
    if (!platform::SeekTo(file.get(), 0) || !WriteAll(file.get(), bytes, calls) ||
        !platform::TruncateTo(file.get(), static_cast<std::int64_t>(bytes.size())) ||
        calls.Sync(file.get()) != 0) {
        const int error = errno;
        if (Restore(file.get(), old)) {
            ThrowWriteError(path, error);
        }
        backup->Keep();
        throw LumarkError::FileOperation(
            "cannot write", path,
            platform::ErrorText(error) + "; the old contents are in " + backup->path());
    }
}

enum class Replaced { Yes, FolderNotWritable, TargetInUse };

// The usual way: a new file beside the target, flushed, put in its place.
Replaced ReplaceThroughTemporary(const std::string& path, bool exists, std::string_view bytes,
                                 const SaveSystemCalls& calls) {
    const PathParts parts = SplitPath(path, PathStyle::Windows);
    TemporaryFile temporary(std::string(parts.Folder) + "." + std::string(parts.Name) + ".");
    if (!temporary.created()) {
        if (exists && errno == EACCES) {
            return Replaced::FolderNotWritable;
        }
        ThrowWriteError(path, errno);
    }
    if (!WriteAll(temporary.fd(), bytes, calls) || calls.Sync(temporary.fd()) != 0 ||
        !temporary.Close()) {
        ThrowWriteError(path, errno);
    }
    if (calls.Rename(temporary.path().c_str(), path.c_str()) != 0) {
        if (exists && errno == EBUSY) {
            return Replaced::TargetInUse;
        }
        ThrowWriteError(path, errno);
    }
    temporary.Keep();
    return Replaced::Yes;
}

// ReplaceFileW keeps the target's attributes, security and streams; a new name, or a volume
// where ReplaceFileW cannot work, gets a plain move that replaces.
int ReplaceNamed(const char* from, const char* to) {
    const std::wstring source = Wide(from);
    const std::wstring target = Wide(to);
    const bool replaced = platform::windows::RetryWhileShared([&] {
        if (GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES &&
            ReplaceFileW(target.c_str(), source.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                         nullptr, nullptr)) {
            return true;
        }
        const DWORD replaceError = GetLastError();
        if (replaceError == ERROR_UNABLE_TO_REMOVE_REPLACED) {
            SetLastError(ERROR_SHARING_VIOLATION);  // held open without sharing deletion
            return false;
        }
        if (MoveFileExW(source.c_str(), target.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return true;
        }
        // The new file was made beside the target and a read-only one was refused before:
        // access denied here means the target is open elsewhere without sharing deletion.
        if (GetLastError() == ERROR_ACCESS_DENIED &&
            GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES) {
            SetLastError(ERROR_SHARING_VIOLATION);
        }
        return false;
    });
    if (!replaced) {
        FailWithLastError();
        return -1;
    }
    return 0;
}

}  // namespace

SaveSystemCalls SaveSystemCalls::Real() {
    return {[](int fd, const void* data, std::size_t size) -> std::ptrdiff_t {
                return ::_write(fd, data, static_cast<unsigned>(size));
            },
            [](int fd) { return platform::SyncData(fd) ? 0 : -1; }, &ReplaceNamed};
}

void WriteFileAtomically(const std::string& path, std::string_view bytes,
                         const SaveSystemCalls& calls, const std::string& backupFolder) {
    if (path.empty()) {
        ThrowWriteError(path, ENOENT);
    }
    const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        ThrowWriteError(path, EISDIR);
    }
    if (exists && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        throw LumarkError::FileOperation("cannot write", path, "the file is read-only");
    }
    switch (ReplaceThroughTemporary(path, exists, bytes, calls)) {
        case Replaced::Yes:
            return;
        case Replaced::FolderNotWritable:
            WriteInPlace(path, bytes, calls, backupFolder, 1000);
            return;
        case Replaced::TargetInUse:
            // Held open for writing elsewhere: written into, which sharing allows. Without
            // sharing, the wait was had already.
            WriteInPlace(path, bytes, calls, backupFolder, 0);
            return;
    }
}

}  // namespace lumark
