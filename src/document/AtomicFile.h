#pragma once

#include <sys/types.h>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace lumark {

// Replaces the file at `path` with `bytes`: written to a temporary file in the same directory,
// flushed, then renamed over the target. On failure a LumarkError is thrown and the old file
// is intact. An existing file keeps its permissions; a symbolic link keeps pointing at the
// replaced file. A device or a pipe is written into, since it cannot be replaced.
void WriteFileAtomically(const std::string& path, std::string_view bytes);

// Writes up to `size` bytes to the descriptor; the result and errno as of POSIX write().
using WriteSystemCall = std::function<ssize_t(int fd, const void* data, std::size_t size)>;

// The same, with the system call that writes the temporary file given: lets a failure part-way
// through a write be provoked.
void WriteFileAtomically(const std::string& path, std::string_view bytes,
                         const WriteSystemCall& write);

}  // namespace lumark
