#include "FileState.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <xxhash.h>

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

std::uint64_t HashBytes(std::string_view bytes) {
    return XXH3_64bits(bytes.data(), bytes.size());
}

std::optional<FileIdentity> IdentityOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return IdentityFrom(info);
}

std::optional<FileState> ReadFileState(const std::string& path) {
    // Non-blocking, so that a FIFO put in the file's place cannot hang the window.
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat info {};
    if (file.get() < 0 || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    XXH3_state_t* const state = XXH3_createState();
    if (state == nullptr) {
        return std::nullopt;
    }
    XXH3_64bits_reset(state);
    std::vector<char> buffer(1 << 16);
    bool failed = false;
    for (;;) {
        const ssize_t got = ::read(file.get(), buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            failed = got < 0;
            break;
        }
        XXH3_64bits_update(state, buffer.data(), static_cast<std::size_t>(got));
    }
    const std::uint64_t hash = XXH3_64bits_digest(state);
    XXH3_freeState(state);
    if (failed) {
        return std::nullopt;
    }
    return FileState{IdentityFrom(info), hash};
}

}  // namespace lumark
