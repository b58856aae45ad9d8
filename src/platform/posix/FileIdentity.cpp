#include "FileIdentity.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "FileDescriptor.h"

namespace lumark {

namespace {

FileIdentity IdentityFrom(const struct stat& info) {
    FileIdentity identity;
    identity.Device = static_cast<std::uint64_t>(info.st_dev);
    identity.Inode = static_cast<std::uint64_t>(info.st_ino);
    identity.Size = static_cast<std::int64_t>(info.st_size);
    identity.ModifiedNs = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 +
                          static_cast<std::int64_t>(info.st_mtim.tv_nsec);
    return identity;
}

}  // namespace

std::optional<FileIdentity> IdentityOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return IdentityFrom(info);
}

namespace platform {

std::optional<FileIdentity> IdentityOfOpen(int fd) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        return std::nullopt;
    }
    return IdentityFrom(info);
}

std::optional<FileIdentity> ReadIdentifiedFile(
    const std::string& path, const std::function<void(const char*, std::size_t)>& take) {
    // Non-blocking, so that a FIFO put in the file's place cannot hang the window.
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat info {};
    if (file.get() < 0 || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    std::vector<char> buffer(1 << 16);
    for (;;) {
        const ssize_t got = ::read(file.get(), buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return std::nullopt;
        }
        if (got == 0) {
            return IdentityFrom(info);
        }
        take(buffer.data(), static_cast<std::size_t>(got));
    }
}

}  // namespace platform

}  // namespace lumark
