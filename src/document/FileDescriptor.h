#pragma once

#include <unistd.h>

#include <cerrno>
#include <limits>
#include <string>
#include <string_view>
#include <utility>

namespace lumark {

// An open file descriptor, closed when it goes; -1 holds none.
class FileDescriptor {
  public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept {
        if (this != &other) {
            Close();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() { Close(); }

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    void Close() {
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }

  private:
    int fd_ = -1;
};

// Writes all of `bytes`; false with errno set when the system refuses part of them.
inline bool WriteAllTo(int fd, std::string_view bytes) {
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

// Reads from the descriptor's position to the end; false with errno set on failure, EFBIG once
// more than `limit` bytes have come (a file that grows while it is read).
inline bool ReadAllFrom(int fd, std::string& bytes,
                        std::size_t limit = std::numeric_limits<std::size_t>::max()) {
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

}  // namespace lumark
