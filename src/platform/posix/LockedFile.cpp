#include "LockedFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <cerrno>

namespace lumark::platform {

std::optional<LockedFile> LockedFile::OpenExisting(const std::string& path) {
    // Read-write so that the file can be written on; one in a folder this process may only
    // read can still be read.
    const int flags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
    LockedFile file;
    file.writable_ = true;
    file.fd_ = FileDescriptor(::open(path.c_str(), O_RDWR | flags));
    if (!file.fd_.valid() && (errno == EACCES || errno == EROFS)) {
        file.writable_ = false;
        file.fd_ = FileDescriptor(::open(path.c_str(), O_RDONLY | flags));
    }
    struct stat opened {};
    if (!file.fd_.valid() || ::fstat(file.fd_.get(), &opened) != 0 || !S_ISREG(opened.st_mode) ||
        ::flock(file.fd_.get(), LOCK_EX | LOCK_NB) != 0) {
        return std::nullopt;
    }
    return file;
}

LockedFile LockedFile::Create(const std::string& path) {
    LockedFile file;
    file.writable_ = true;
    file.fd_ = FileDescriptor(
        ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (file.fd_.valid() && ::flock(file.fd_.get(), LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        file.fd_.Close();
        errno = error;
    }
    return file;
}

std::optional<FileIdentity> LockedFile::Identity() const {
    return IdentityOfOpen(fd_.get());
}

}  // namespace lumark::platform
