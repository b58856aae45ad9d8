#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lumark {

// What identifies one version of a file on disk without reading it.
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

// A version of a file as last read or written: its identity and a hash of its bytes, so that
// a touch or a copy of the same bytes is told apart from a change.
struct FileState {
    FileIdentity Identity;
    std::uint64_t Hash = 0;
};

// XXH3, 64 bits: a well-tested non-cryptographic hash, about 20 µs for a 400 KB file.
std::uint64_t HashBytes(std::string_view bytes);

// The identity of the file `path` names (links followed); nothing when it cannot be had.
std::optional<FileIdentity> IdentityOf(const std::string& path);

// The file's identity and the hash of its bytes, read through one descriptor; nothing when it
// does not exist or cannot be read.
std::optional<FileState> ReadFileState(const std::string& path);

}  // namespace lumark
