#include "FileDescriptor.h"

#include <io.h>

#include <algorithm>
#include <cerrno>
#include <climits>

#include "WideText.h"

namespace lumark {

void FileDescriptor::Close() {
    if (fd_ >= 0) {
        ::_close(fd_);
        fd_ = -1;
    }
}

bool WriteAllTo(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const unsigned piece = static_cast<unsigned>(std::min<std::size_t>(bytes.size(), INT_MAX));
        const int written = ::_write(fd, bytes.data(), piece);
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
        const int got = ::_read(fd, chunk, sizeof chunk);
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
    return ::_lseeki64(fd, offset, SEEK_SET) == offset;
}

bool TruncateTo(int fd, std::int64_t size) {
    if (const errno_t error = ::_chsize_s(fd, size); error != 0) {
        errno = error;
        return false;
    }
    return ::_lseeki64(fd, 0, SEEK_END) >= 0;
}

bool SyncData(int fd) {
    const HANDLE handle = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
    return FlushFileBuffers(handle) != 0 || windows::FailWithLastError();
}

}  // namespace platform

}  // namespace lumark
