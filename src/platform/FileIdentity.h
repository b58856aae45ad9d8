#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace lumark {

// What identifies one version of a file on disk without reading it. On Windows the device is
// the volume's serial number and the inode the file index.
struct FileIdentity {
    std::uint64_t Device = 0;
    std::uint64_t Inode = 0;
    std::int64_t Size = 0;
    std::int64_t ModifiedNs = 0;  // modification time, nanoseconds since the epoch

    friend bool operator==(const FileIdentity& a, const FileIdentity& b) {
        return a.Device == b.Device && a.Inode == b.Inode && a.Size == b.Size &&
               a.ModifiedNs == b.ModifiedNs;
    }
    friend bool operator!=(const FileIdentity& a, const FileIdentity& b) { return !(a == b); }
};

// The identity of the file `path` names (links followed); nothing when it cannot be had.
std::optional<FileIdentity> IdentityOf(const std::string& path);

namespace platform {

// The identity of the file open under the descriptor.
std::optional<FileIdentity> IdentityOfOpen(int fd);

// Reads the regular file `path` whole through one handle, handing each piece read to `take`;
// its identity as opened, or nothing when it does not exist, is no regular file or cannot be
// read. Opening never waits (a pipe put in the file's place cannot hang the caller).
std::optional<FileIdentity> ReadIdentifiedFile(
    const std::string& path, const std::function<void(const char*, std::size_t)>& take);

}  // namespace platform

}  // namespace lumark
