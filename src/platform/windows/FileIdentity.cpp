#include "FileIdentity.h"

#include <io.h>

#include <vector>

#include "WideText.h"

namespace lumark {

namespace {

using platform::windows::OpenFile;

// The volume's serial number and the file index tell one file from another, as device and
// inode do elsewhere; the times are kept at their full 100 ns resolution.
std::optional<FileIdentity> IdentityOfHandle(HANDLE handle) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle, &info)) {
        return std::nullopt;
    }
    FileIdentity identity;
    identity.Device = info.dwVolumeSerialNumber;
    identity.Inode = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    identity.Size = static_cast<std::int64_t>(
        (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow);
    identity.ModifiedNs = platform::windows::NanosecondsSinceEpoch(info.ftLastWriteTime);
    return identity;
}

constexpr DWORD ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

}  // namespace

std::optional<FileIdentity> IdentityOf(const std::string& path) {
    // Folders open only with backup semantics.
    const HANDLE handle = OpenFile(path, FILE_READ_ATTRIBUTES, ShareAll, OPEN_EXISTING,
                                   FILE_FLAG_BACKUP_SEMANTICS, 0);
    if (handle == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    const std::optional<FileIdentity> identity = IdentityOfHandle(handle);
    CloseHandle(handle);
    return identity;
}

namespace platform {

std::optional<FileIdentity> IdentityOfOpen(int fd) {
    return IdentityOfHandle(reinterpret_cast<HANDLE>(::_get_osfhandle(fd)));
}

std::optional<FileIdentity> ReadIdentifiedFile(
    const std::string& path, const std::function<void(const char*, std::size_t)>& take) {
    const HANDLE handle =
        OpenFile(path, GENERIC_READ, ShareAll, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN);
    if (handle == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    std::optional<FileIdentity> identity;
    if (GetFileType(handle) == FILE_TYPE_DISK) {
        identity = IdentityOfHandle(handle);
    }
    std::vector<char> buffer(1 << 16);
    while (identity) {
        DWORD got = 0;
        if (!ReadFile(handle, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) {
            identity.reset();
        } else if (got == 0) {
            break;
        } else {
            take(buffer.data(), got);
        }
    }
    CloseHandle(handle);
    return identity;
}

}  // namespace platform

}  // namespace lumark
