// The crash test's slow disk, linked into its child editor where the linker can wrap the
// system's calls (--wrap=write,--wrap=fdatasync): for the recovery record's files, a write is
// split in two with a pause between and a flush waits, as on a slow disk, and the shared page
// says which of the two is under way, so that the test can kill the editor in the middle of
// one.
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "CrashPhase.h"

extern "C" ssize_t __real_write(int fd, const void* bytes, size_t count);
extern "C" int __real_fdatasync(int fd);

namespace {

void Pause(long ns) {
    const timespec pause{0, ns};
    ::nanosleep(&pause, nullptr);
}

bool IsRecordFile(int fd) {
    const std::string& folder = lumark::crash::recordFolder;
    if (folder.empty()) {
        return false;
    }
    char link[64];
    char target[4096];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t length = ::readlink(link, target, sizeof target - 1);
    return length > 0 &&
           std::string(target, static_cast<std::size_t>(length)).rfind(folder + "/", 0) == 0;
}

void SetPhase(int value) {
    if (lumark::crash::phase != nullptr) {
        *lumark::crash::phase = value;
    }
}

}  // namespace

extern "C" ssize_t __wrap_write(int fd, const void* bytes, size_t count) {
    if (count < 2 || !IsRecordFile(fd)) {
        return __real_write(fd, bytes, count);
    }
    SetPhase(1);
    const size_t half = count / 2;
    const ssize_t first = __real_write(fd, bytes, half);
    if (first <= 0) {
        SetPhase(0);
        return first;
    }
    Pause(2000000);
    const ssize_t second = __real_write(fd, static_cast<const char*>(bytes) + first,
                                        count - static_cast<size_t>(first));
    SetPhase(0);
    return second < 0 ? first : first + second;
}

extern "C" int __wrap_fdatasync(int fd) {
    SetPhase(2);
    Pause(5000000);
    const int result = __real_fdatasync(fd);
    SetPhase(0);
    return result;
}
