#include "FileDescriptor.h"

#include <unistd.h>

#include <cerrno>

namespace lumark {

void FileDescriptor::Close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

bool WriteAllTo(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
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

bool ReadAllFrom(int fd, std::string& bytes, std::size_t limit) {
    char chunk[64 * 1024];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return got == 0;
        }
        bytes.append(chunk, static_cast<std::size_t>(got));
        if (bytes.size() > limit) {
            errno = EFBIG;
            return false;
        }
    }
}

namespace platform {

bool SeekTo(int fd, std::int64_t offset) {
    return ::lseek(fd, static_cast<off_t>(offset), SEEK_SET) == static_cast<off_t>(offset);
}

bool TruncateTo(int fd, std::int64_t size) {
    return ::ftruncate(fd, static_cast<off_t>(size)) == 0 && ::lseek(fd, 0, SEEK_END) >= 0;
}

bool SyncData(int fd) {
    return ::fdatasync(fd) == 0;
}

}  // namespace platform

}  // namespace lumark
