#include "FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "FileDescriptor.h"

namespace lumark::platform {

bool Exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

bool IsFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool IsRegularFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool MayWrite(const std::string& path) {
    return ::access(path.c_str(), W_OK) == 0;
}

bool FolderTakesNewFiles(const std::string& folder) {
    return IsFolder(folder) && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

EntryKind EntryKindOf(const std::string& path) {
    struct stat own {};
    if (::lstat(path.c_str(), &own) != 0) {
        return EntryKind::Gone;
    }
    if (S_ISDIR(own.st_mode)) {
        return EntryKind::Folder;
    }
    struct stat target {};
    if (S_ISLNK(own.st_mode) && ::stat(path.c_str(), &target) == 0 && S_ISDIR(target.st_mode)) {
        return EntryKind::LinkToFolder;
    }
    return EntryKind::File;
}

bool ListFolder(const std::string& folder, std::vector<std::string>& names) {
    DIR* const dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return false;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") {
            names.push_back(name);
        }
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return true;
}

bool NameMatches(const std::string& pattern, const std::string& name) {
    return ::fnmatch(pattern.c_str(), name.c_str(), 0) == 0;
}

bool MakePrivateFolders(const std::string& folder) {
    for (std::size_t end = folder.find('/', 1);; end = folder.find('/', end + 1)) {
        const std::string part = folder.substr(0, end);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            return false;
        }
        if (end == std::string::npos) {
            struct stat info {};
            if (::stat(part.c_str(), &info) != 0) {
                return false;
            }
            if (!S_ISDIR(info.st_mode)) {
                errno = ENOTDIR;
                return false;
            }
            return true;
        }
    }
}

void SyncFolder(const std::string& folder) {
    const FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.valid()) {
        ::fsync(fd.get());
    }
}

bool RenameOver(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str()) == 0;
}

bool RemoveFile(const std::string& path) {
    return ::unlink(path.c_str()) == 0;
}

std::FILE* OpenForReading(const std::string& path) {
    return std::fopen(path.c_str(), "rb");
}

std::string ErrorText(int error) {
    return std::strerror(error);
}

std::string EnvironmentText(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

long ProcessId() {
    return static_cast<long>(::getpid());
}

ReadResult ReadSmallFile(const std::string& path, std::string& bytes, std::size_t limit) {
    // Non-blocking, so that opening a pipe returns at once instead of waiting for a writer.
    const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.valid()) {
        return errno == ENOENT ? ReadResult::Missing : ReadResult::Failed;
    }
    struct stat info {};
    bool read = ::fstat(fd.get(), &info) == 0 && S_ISREG(info.st_mode) &&
                static_cast<std::size_t>(info.st_size) <= limit;
    if (read) {
        bytes.clear();
        read = ReadAllFrom(fd.get(), bytes, limit);  // false if it grew meanwhile
    }
    return read ? ReadResult::Read : ReadResult::Failed;
}

}  // namespace lumark::platform
