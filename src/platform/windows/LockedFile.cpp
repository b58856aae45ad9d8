#include "LockedFile.h"

#include <fcntl.h>

#include <cerrno>

#include "WideText.h"

namespace lumark::platform {

namespace {

using windows::OpenFile;

// Open files may be renamed and removed, as on POSIX systems.
constexpr DWORD ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The lock covers one byte far past any end the file will have: Windows locks keep other
// handles from the bytes they cover, and the contents must stay readable.
bool Lock(HANDLE handle) {
    OVERLAPPED where{};
    where.OffsetHigh = 0x7fffffff;
    return LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                      &where) != 0;
}

}  // namespace

std::optional<LockedFile> LockedFile::OpenExisting(const std::string& path) {
    const DWORD flags = FILE_FLAG_OPEN_REPARSE_POINT;
    LockedFile file;
    file.writable_ = true;
    HANDLE handle = OpenFile(path, GENERIC_READ | GENERIC_WRITE, ShareAll, OPEN_EXISTING, flags, 0);
    if (handle == INVALID_HANDLE_VALUE && GetLastError() == ERROR_ACCESS_DENIED) {
        file.writable_ = false;
        handle = OpenFile(path, GENERIC_READ, ShareAll, OPEN_EXISTING, flags, 0);
    }
    if (handle == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileInformationByHandle(handle, &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0 ||
        !Lock(handle)) {
        CloseHandle(handle);
        return std::nullopt;
    }
    file.fd_ = FileDescriptor(windows::DescriptorFor(handle, file.writable_ ? _O_RDWR : _O_RDONLY));
    if (!file.fd_.valid()) {
        return std::nullopt;
    }
    return file;
}

LockedFile LockedFile::Create(const std::string& path) {
    LockedFile file;
    file.writable_ = true;
    const HANDLE handle = OpenFile(path, GENERIC_READ | GENERIC_WRITE, ShareAll, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT);
    if (handle == INVALID_HANDLE_VALUE) {
        windows::FailWithLastError();
        return file;
    }
    if (!Lock(handle)) {
        windows::FailWithLastError();
        CloseHandle(handle);
        return file;
    }
    file.fd_ = FileDescriptor(windows::DescriptorFor(handle, _O_RDWR));
    return file;
}

std::optional<FileIdentity> LockedFile::Identity() const {
    return IdentityOfOpen(fd_.get());
}

}  // namespace lumark::platform
