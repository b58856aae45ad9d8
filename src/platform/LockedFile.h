#pragma once

#include <optional>
#include <string>

#include "FileDescriptor.h"
#include "FileIdentity.h"

namespace lumark::platform {

// A file held with an exclusive lock (flock, LockFileEx) while it is open: no other process
// gets the lock until it is closed or the process ends, however it ends. Opened files can be
// renamed and removed while they are open on every system.
class LockedFile {
  public:
    LockedFile() = default;

    // An existing regular file, not a link, locked without waiting; read-write, or read-only
    // where writing is refused. Nothing when another process holds it or it cannot be opened.
    static std::optional<LockedFile> OpenExisting(const std::string& path);
    // A new file private to the user (emptied when it exists; a link is not followed), locked.
    // Not valid, with errno set, when it cannot be made or locked.
    static LockedFile Create(const std::string& path);

    bool valid() const { return fd_.valid(); }
    bool Writable() const { return writable_; }
    int fd() const { return fd_.get(); }
    // The identity of the file as opened.
    std::optional<FileIdentity> Identity() const;
    void Close() { fd_.Close(); }

  private:
    FileDescriptor fd_;
    bool writable_ = false;
};

}  // namespace lumark::platform
