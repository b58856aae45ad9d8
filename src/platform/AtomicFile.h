#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace lumark {

// Replaces the file at `path` with `bytes` so that a failure or a kill at any moment leaves
// either the complete old bytes or the complete new ones. On failure a LumarkError is thrown.
//
// Normally the bytes go to a temporary file in the same directory, which gets the old file's
// mode, owner and group, is flushed to disk and renamed over the target. When a new file would
// lose something — the target has other hard links, or its owner or group cannot be given to a
// new file — the target is written in place instead: its old bytes are first copied to a
// backup beside it and flushed, then the new bytes are written and flushed, then the backup is
// removed. A symbolic link is written through (a dangling one creates the file it names) and
// stays a link; a device or a pipe is written into, since it cannot be replaced.
//
// On Windows the temporary file replaces the target with its attributes kept; a read-only
// target is refused; a target that cannot be replaced (a file that another program holds open
// for writing) is written in place with a backup. A file that another program holds open
// without sharing is tried again for about a second, then reported "used by another program".
void WriteFileAtomically(const std::string& path, std::string_view bytes);

// The system calls whose failures matter to a save, so that tests can make them fail or stop
// the process between them. Each has the result and errno of its POSIX namesake.
struct SaveSystemCalls {
    std::function<std::ptrdiff_t(int fd, const void* data, std::size_t size)> Write;
    std::function<int(int fd)> Sync;
    std::function<int(const char* from, const char* to)> Rename;

    static SaveSystemCalls Real();
};

// The same, through the given system calls.
void WriteFileAtomically(const std::string& path, std::string_view bytes,
                         const SaveSystemCalls& calls);

// The same; a file whose folder cannot be written is written in place, and when its backup
// cannot go beside it either, it goes to `backupFolder` (made private if missing).
void WriteFileAtomically(const std::string& path, std::string_view bytes,
                         const SaveSystemCalls& calls, const std::string& backupFolder);

// Writes up to `size` bytes to the descriptor; the result and errno as of POSIX write().
using WriteSystemCall = std::function<std::ptrdiff_t(int fd, const void* data, std::size_t size)>;

// The same with only the write call given.
void WriteFileAtomically(const std::string& path, std::string_view bytes,
                         const WriteSystemCall& write);

}  // namespace lumark
