#include "AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "LumarkError.h"

namespace lumark {

namespace {

[[noreturn]] void ThrowWriteError(const std::string& path, int error) {
    throw LumarkError("cannot write " + path + ": " + std::strerror(error));
}

// A temporary file that is removed again unless it has been renamed into place.
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
        if (!renamed_ && created()) {
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
    void MarkRenamed() { renamed_ = true; }

  private:
    std::string path_;
    int fd_ = -1;
    bool closed_ = false;
    bool renamed_ = false;
};

// The file that is actually replaced: the target of a symbolic link, so the link survives.
std::string ResolveTarget(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
        return path;
    }
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) == nullptr) {
        return path;
    }
    return resolved;
}

mode_t PermissionsFor(const std::string& target) {
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0) {
        return info.st_mode & 07777;
    }
    // A new file gets what open() would have given it. The program has one thread, so reading
    // the umask by setting it races with nobody.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

std::string TemporaryTemplate(const std::string& target) {
    const std::size_t slash = target.rfind('/');
    const std::string directory = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    return directory + "." + name + ".XXXXXX";
}

bool WriteAll(int fd, std::string_view bytes, const WriteSystemCall& write) {
    while (!bytes.empty()) {
        const ssize_t written = write(fd, bytes.data(), bytes.size());
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

// Makes the rename itself durable; a failure here leaves the new file in place, so it is
// not reported.
void SyncDirectoryOf(const std::string& target) {
    const std::size_t slash = target.rfind('/');
    const std::string directory = slash == std::string::npos ? "." : target.substr(0, slash + 1);
    const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// A device or a pipe (such as /dev/stdout) is written into: replacing it with a new regular
// file would destroy it. Returns false when `target` is a regular file or does not exist.
bool WriteIntoSpecialFile(const std::string& path, const std::string& target,
                          std::string_view bytes, const WriteSystemCall& write) {
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
    const bool written = WriteAll(fd, bytes, write);
    const int error = errno;
    if (::close(fd) != 0 || !written) {
        ThrowWriteError(path, written ? errno : error);
    }
    return true;
}

}  // namespace

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
    WriteFileAtomically(path, bytes, [](int fd, const void* data, std::size_t size) {
        return ::write(fd, data, size);
    });
}

void WriteFileAtomically(const std::string& path, std::string_view bytes,
                         const WriteSystemCall& write) {
    if (path.empty()) {
        ThrowWriteError(path, ENOENT);
    }
    const std::string target = ResolveTarget(path);
    if (WriteIntoSpecialFile(path, target, bytes, write)) {
        return;
    }
    // Renaming needs only a writable folder; a file the user may not write stays untouched.
    if (::access(target.c_str(), F_OK) == 0 && ::access(target.c_str(), W_OK) != 0) {
        ThrowWriteError(path, errno);
    }
    const mode_t permissions = PermissionsFor(target);

    TemporaryFile temporary(TemporaryTemplate(target));
    if (!temporary.created()) {
        ThrowWriteError(path, errno);
    }
    if (!WriteAll(temporary.fd(), bytes, write) || ::fsync(temporary.fd()) != 0 ||
        ::fchmod(temporary.fd(), permissions) != 0 || !temporary.Close()) {
        ThrowWriteError(path, errno);
    }
    if (::rename(temporary.path().c_str(), target.c_str()) != 0) {
        ThrowWriteError(path, errno);
    }
    temporary.MarkRenamed();
    SyncDirectoryOf(target);
}

}  // namespace lumark
