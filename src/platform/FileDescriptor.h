#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <utility>

namespace lumark {

// An open file descriptor (a C runtime one on Windows), closed when it goes; -1 holds none.
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
    void Close();

  private:
    int fd_ = -1;
};

// Writes all of `bytes`; false with errno set when the system refuses part of them.
bool WriteAllTo(int fd, std::string_view bytes);

// Reads from the descriptor's position to the end; false with errno set on failure, EFBIG once
// more than `limit` bytes have come (a file that grows while it is read).
bool ReadAllFrom(int fd, std::string& bytes,
                 std::size_t limit = std::numeric_limits<std::size_t>::max());

namespace platform {

// Sets the descriptor's position; false with errno set when the system refuses.
bool SeekTo(int fd, std::int64_t offset);
// Cuts the file to `size` bytes and puts the position at its end.
bool TruncateTo(int fd, std::int64_t size);
// Makes the file's bytes durable (its times need not be).
bool SyncData(int fd);

}  // namespace platform

}  // namespace lumark
