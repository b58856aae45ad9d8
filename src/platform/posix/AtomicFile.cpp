#include "AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "FileDescriptor.h"
#include "FileSystem.h"
#include "LumarkError.h"
#include "PathParts.h"

namespace lumark {

namespace {

// As many links as the system itself follows before it reports a loop.
constexpr int MaxLinkHops = 40;

[[noreturn]] void ThrowWriteError(const std::string& path, int error) {
    throw LumarkError::FileOperation("cannot write", path, std::strerror(error));
}

// A file created beside the target, removed again unless it is kept (renamed into place, or a
// backup that still holds the only complete old bytes).
class TemporaryFile {
  public:
    explicit TemporaryFile(std::string pathTemplate) : path_(std::move(pathTemplate)) {
        std::vector<char> name(path_.begin(), path_.end());
        name.push_back('\0');
        fd_ = ::mkstemp(name.data());
        if (fd_ >= 0) {
            path_ = name.data();
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        if (!kept_ && created()) {
            ::unlink(path_.c_str());
        }
    }

    bool created() const { return fd_ >= 0 || closed_; }
    int fd() const { return fd_; }
    const std::string& path() const { return path_; }

    // False with errno set when closing reports a late write error.
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        closed_ = true;
        return ::close(fd) == 0;
    }
    void Keep() { kept_ = true; }

  private:
    std::string path_;
    int fd_ = -1;
    bool closed_ = false;
    bool kept_ = false;
};

std::string DirectoryPartOf(const std::string& path) {
    return std::string(SplitPath(path, PathStyle::Posix).Folder);
}

std::string NamePartOf(const std::string& path) {
    return std::string(SplitPath(path, PathStyle::Posix).Name);
}

// The file that is actually written: the end of a chain of symbolic links, so the links
// survive. A dangling link names a file still to be created; a loop is an error.
std::string ResolveTarget(const std::string& path) {
    std::string current = path;
    for (int hops = 0;; ++hops) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            return current;
        }
        if (hops == MaxLinkHops) {
            ThrowWriteError(path, ELOOP);
        }
        std::vector<char> target(PATH_MAX);
        const ssize_t length = ::readlink(current.c_str(), target.data(), target.size());
        if (length < 0) {
            ThrowWriteError(path, errno);
        }
        if (static_cast<std::size_t>(length) == target.size()) {
            ThrowWriteError(path, ENAMETOOLONG);
        }
        std::string next(target.data(), static_cast<std::size_t>(length));
        // A relative link is relative to the folder that holds it.
        current = !next.empty() && next.front() == '/' ? next : DirectoryPartOf(current) + next;
    }
}

mode_t NewFilePermissions() {
    // What open() would have given a new file. The program has one thread, so reading the
    // umask by setting it races with nobody.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool WriteAll(int fd, std::string_view bytes, const SaveSystemCalls& calls) {
    while (!bytes.empty()) {
        const ssize_t written = calls.Write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        if (written == 0) {
            errno = EIO;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Makes a new name in the folder durable.
void SyncDirectoryOf(const std::string& target) {
    const std::string directory = DirectoryPartOf(target);
    platform::SyncFolder(directory.empty() ? "." : directory);
}

// A device or a pipe (such as /dev/stdout) is written into: replacing it with a new regular
// file would destroy it. Returns false when `target` is a regular file or does not exist.
bool WriteIntoSpecialFile(const std::string& path, const std::string& target,
                          std::string_view bytes, const SaveSystemCalls& calls) {
    struct stat info {};
    if (::stat(target.c_str(), &info) != 0 || S_ISREG(info.st_mode)) {
        return false;
    }
    if (S_ISDIR(info.st_mode)) {
        ThrowWriteError(path, EISDIR);
    }
    const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        ThrowWriteError(path, errno);
    }
    const bool written = WriteAll(fd, bytes, calls);
    const int error = errno;
    if (::close(fd) != 0 || !written) {
        ThrowWriteError(path, written ? errno : error);
    }
    return true;
}

// Puts the old bytes back after a failed write in place; plain system calls, since the ones
// given may be the ones failing.
bool Restore(int fd, std::string_view old) {
    return ::lseek(fd, 0, SEEK_SET) == 0 && WriteAll(fd, old, SaveSystemCalls::Real()) &&
           ::ftruncate(fd, static_cast<off_t>(old.size())) == 0 && ::fsync(fd) == 0;
}

// Keeps the inode, and with it every link, the owner, the group and the mode. The old bytes
// are kept beside the file, or in `backupFolder` where its own folder cannot be written.
void WriteInPlace(const std::string& path, const std::string& target, std::string_view bytes,
                  const SaveSystemCalls& calls, const std::string& backupFolder) {
    const FileDescriptor file(::open(target.c_str(), O_RDWR | O_CLOEXEC));
    std::string old;
    if (file.get() < 0 || !ReadAllFrom(file.get(), old)) {
        ThrowWriteError(path, errno);
    }
    const std::string besideFile = DirectoryPartOf(target) + NamePartOf(target);
    auto backup = std::make_unique<TemporaryFile>(besideFile + ".backup-XXXXXX");
    if (!backup->created() && (errno == EACCES || errno == EROFS || errno == EPERM) &&
        !backupFolder.empty()) {
        const int besideError = errno;
        if (platform::MakePrivateFolders(backupFolder)) {
            backup = std::make_unique<TemporaryFile>(backupFolder + "/" + NamePartOf(target) +
                                                     ".backup-XXXXXX");
        }
        if (!backup->created()) {
            ThrowWriteError(path, besideError);
        }
    }
    if (!backup->created() || !WriteAll(backup->fd(), old, calls) ||
        calls.Sync(backup->fd()) != 0 || !backup->Close()) {
        ThrowWriteError(path, errno);
    }
    SyncDirectoryOf(backup->path());
    // From here until the new bytes are on disk the file may hold a mixture; the backup holds
    // the old bytes whole.
    if (::lseek(file.get(), 0, SEEK_SET) != 0 || !WriteAll(file.get(), bytes, calls) ||
        ::ftruncate(file.get(), static_cast<off_t>(bytes.size())) != 0 ||
        calls.Sync(file.get()) != 0) {
        const int error = errno;
        if (Restore(file.get(), old)) {
            ThrowWriteError(path, error);
        }
        backup->Keep();
        throw LumarkError::FileOperation(
            "cannot write", path,
            std::string(std::strerror(error)) + "; the old contents are in " + backup->path());
    }
}

// Gives the new file the old one's owner and group; false when that is not allowed.
bool TakeOverOwner(int fd, const struct stat& old, const std::string& path) {
    struct stat created {};
    if (::fstat(fd, &created) != 0) {
        ThrowWriteError(path, errno);
    }
    if (created.st_uid == old.st_uid && created.st_gid == old.st_gid) {
        return true;
    }
    if (::fchown(fd, old.st_uid, old.st_gid) == 0) {
        return true;
    }
    if (errno == EPERM || errno == EINVAL) {
        return false;
    }
    ThrowWriteError(path, errno);
}

// The usual way: a new file renamed over the old one. False, with nothing changed, when the
// new file cannot be given the old one's owner and group.
bool ReplaceThroughTemporary(const std::string& path, const std::string& target,
                             const struct stat* old, std::string_view bytes,
                             const SaveSystemCalls& calls) {
    TemporaryFile temporary(DirectoryPartOf(target) + "." + NamePartOf(target) + ".XXXXXX");
    if (!temporary.created()) {
        ThrowWriteError(path, errno);
    }
    if (old != nullptr && !TakeOverOwner(temporary.fd(), *old, path)) {
        return false;
    }
    // The mode after the owner: changing the owner may clear the set-id bits.
    const mode_t permissions = old != nullptr ? old->st_mode & 07777 : NewFilePermissions();
    if (!WriteAll(temporary.fd(), bytes, calls) || ::fchmod(temporary.fd(), permissions) != 0 ||
        calls.Sync(temporary.fd()) != 0 || !temporary.Close()) {
        ThrowWriteError(path, errno);
    }
    if (calls.Rename(temporary.path().c_str(), target.c_str()) != 0) {
        ThrowWriteError(path, errno);
    }
    temporary.Keep();
    SyncDirectoryOf(target);
    return true;
}

}  // namespace

SaveSystemCalls SaveSystemCalls::Real() {
    return {[](int fd, const void* data, std::size_t size) -> std::ptrdiff_t {
                return ::write(fd, data, size);
            },
            [](int fd) { return ::fsync(fd); },
            [](const char* from, const char* to) { return ::rename(from, to); }};
}

void WriteFileAtomically(const std::string& path, std::string_view bytes,
                         const SaveSystemCalls& calls, const std::string& backupFolder) {
    if (path.empty()) {
        ThrowWriteError(path, ENOENT);
    }
    const std::string target = ResolveTarget(path);
    if (WriteIntoSpecialFile(path, target, bytes, calls)) {
        return;
    }
    // Renaming needs only a writable folder; a file the user may not write stays untouched.
    if (::access(target.c_str(), F_OK) == 0 && ::access(target.c_str(), W_OK) != 0) {
        ThrowWriteError(path, errno);
    }
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    // A folder that cannot be written can still hold a file that can.
    const std::string folder = DirectoryPartOf(target);
    const bool folderWritable = ::access(folder.empty() ? "." : folder.c_str(), W_OK) == 0;
    if ((exists && (old.st_nlink > 1 || !folderWritable)) ||
        !ReplaceThroughTemporary(path, target, exists ? &old : nullptr, bytes, calls)) {
        WriteInPlace(path, target, bytes, calls, backupFolder);
    }
}

}  // namespace lumark
