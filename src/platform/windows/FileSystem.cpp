#include "FileSystem.h"

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "FileDescriptor.h"
#include "WideText.h"

namespace lumark::platform {

namespace {

using windows::FailWithLastError;
using windows::OpenFile;
using windows::Wide;

constexpr DWORD Missing = INVALID_FILE_ATTRIBUTES;

DWORD AttributesOf(const std::string& path) {
    return GetFileAttributesW(Wide(path).c_str());
}

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

// One element of a bracket expression at `p`: a character, or a range "a-z".
bool InBracket(const std::string& pattern, std::size_t& p, unsigned char c, bool& matched) {
    const bool negated = p < pattern.size() && (pattern[p] == '!' || pattern[p] == '^');
    if (negated) {
        ++p;
    }
    bool found = false;
    bool first = true;
    while (p < pattern.size() && (first || pattern[p] != ']')) {
        first = false;
        unsigned char low = static_cast<unsigned char>(pattern[p]);
        if (low == '\\' && p + 1 < pattern.size()) {
            low = static_cast<unsigned char>(pattern[++p]);
        }
        ++p;
        unsigned char high = low;
        if (p + 1 < pattern.size() && pattern[p] == '-' && pattern[p + 1] != ']') {
            high = static_cast<unsigned char>(pattern[p + 1]);
            p += 2;
        }
        found = found || (low <= c && c <= high);
    }
    if (p >= pattern.size()) {
        return false;  // no closing bracket: the '[' stands for itself
    }
    ++p;
    matched = found != negated;
    return true;
}

bool Matches(const std::string& pattern, std::size_t p, const std::string& name, std::size_t n) {
    while (p < pattern.size()) {
        const char c = pattern[p];
        if (c == '*') {
            while (p < pattern.size() && pattern[p] == '*') {
                ++p;
            }
            for (std::size_t rest = n; rest <= name.size(); ++rest) {
                if (Matches(pattern, p, name, rest)) {
                    return true;
                }
            }
            return false;
        }
        if (n == name.size()) {
            return false;
        }
        if (c == '?') {
            ++p;
        } else if (c == '[') {
            std::size_t after = p + 1;
            bool matched = false;
            if (InBracket(pattern, after, static_cast<unsigned char>(name[n]), matched)) {
                if (!matched) {
                    return false;
                }
                p = after;
            } else {
                if (name[n] != '[') {
                    return false;
                }
                ++p;
            }
        } else {
            char literal = c;
            if (c == '\\' && p + 1 < pattern.size()) {
                literal = pattern[++p];
            }
            if (name[n] != literal) {
                return false;
            }
            ++p;
        }
        ++n;
    }
    return n == name.size();
}

}  // namespace

bool Exists(const std::string& path) {
    return AttributesOf(path) != Missing;
}

bool IsFolder(const std::string& path) {
    const DWORD attributes = AttributesOf(path);
    return attributes != Missing && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsRegularFile(const std::string& path) {
    const DWORD attributes = AttributesOf(path);
    return attributes != Missing &&
           (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
}

bool MayWrite(const std::string& path) {
    const DWORD attributes = AttributesOf(path);
    return attributes != Missing && (attributes & FILE_ATTRIBUTE_READONLY) == 0;
}

bool FolderTakesNewFiles(const std::string& folder) {
    if (!IsFolder(folder)) {
        return false;
    }
    const std::string probe = folder + (IsSeparator(folder.back()) ? "" : "\\") +
                              "Lumark-write-check-" + std::to_string(ProcessId()) + ".tmp";
    // Deleted when closed, so nothing stays behind even if the program ends here.
    const HANDLE handle = OpenFile(probe, GENERIC_WRITE | DELETE, 0, CREATE_NEW,
                                   FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(handle);
    return true;
}

EntryKind EntryKindOf(const std::string& path) {
    const DWORD attributes = AttributesOf(path);
    if (attributes == Missing) {
        return EntryKind::Gone;
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return EntryKind::File;
    }
    // Junctions and links to folders are reparse points.
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ? EntryKind::LinkToFolder
                                                            : EntryKind::Folder;
}

bool ListFolder(const std::string& folder, std::vector<std::string>& names) {
    std::string pattern = folder;
    if (!pattern.empty() && !IsSeparator(pattern.back())) {
        pattern += '\\';
    }
    pattern += '*';
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileExW(Wide(pattern).c_str(), FindExInfoBasic, &found,
                                           FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) {
        return FailWithLastError();
    }
    do {
        const std::string name = windows::Utf8(found.cFileName);
        if (name != "." && name != "..") {
            names.push_back(name);
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return true;
}

bool NameMatches(const std::string& pattern, const std::string& name) {
    return Matches(pattern, 0, name, 0);
}

bool MakePrivateFolders(const std::string& folder) {
    // The folders under the user's profile are the user's alone already; new ones inherit that.
    for (std::size_t end = 0;; ++end) {
        end = folder.find_first_of("/\\", end);
        const std::string part = folder.substr(0, end);
        // A drive ("C:") or the root of one cannot be made.
        const bool root = part.empty() || part.back() == ':';
        if (!root && !CreateDirectoryW(Wide(part).c_str(), nullptr) &&
            GetLastError() != ERROR_ALREADY_EXISTS) {
            return FailWithLastError();
        }
        if (end == std::string::npos) {
            if (!IsFolder(part)) {
                errno = ENOTDIR;
                return false;
            }
            return true;
        }
    }
}

void SyncFolder(const std::string&) {
    // Renames and new names are journaled with the file they name; a folder cannot be flushed.
}

bool RenameOver(const std::string& from, const std::string& to) {
    const std::wstring source = Wide(from);
    const std::wstring target = Wide(to);
    return windows::RetryWhileShared([&] {
               return MoveFileExW(source.c_str(), target.c_str(),
                                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
           }) ||
           FailWithLastError();
}

bool RemoveFile(const std::string& path) {
    const std::wstring wide = Wide(path);
    return windows::RetryWhileShared([&] { return DeleteFileW(wide.c_str()) != 0; }) ||
           FailWithLastError();
}

std::FILE* OpenForReading(const std::string& path) {
    const HANDLE handle =
        OpenFile(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                 OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN);
    if (handle == INVALID_HANDLE_VALUE) {
        FailWithLastError();
        return nullptr;
    }
    const int fd = windows::DescriptorFor(handle, _O_RDONLY);
    if (fd < 0) {
        return nullptr;
    }
    std::FILE* const file = ::_fdopen(fd, "rb");
    if (file == nullptr) {
        ::_close(fd);
    }
    return file;
}

std::string ErrorText(int error) {
    return error == EBUSY ? "used by another program" : std::strerror(error);
}

std::string EnvironmentText(const char* name) {
    const wchar_t* const value = ::_wgetenv(Wide(name).c_str());
    return value != nullptr ? windows::Utf8(value) : "";
}

long ProcessId() {
    return static_cast<long>(GetCurrentProcessId());
}

ReadResult ReadSmallFile(const std::string& path, std::string& bytes, std::size_t limit) {
    const HANDLE handle =
        OpenFile(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                 OPEN_EXISTING, 0);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ReadResult::Missing
                                                                              : ReadResult::Failed;
    }
    LARGE_INTEGER size{};
    const bool small = GetFileType(handle) == FILE_TYPE_DISK && GetFileSizeEx(handle, &size) &&
                       static_cast<unsigned long long>(size.QuadPart) <= limit;
    const FileDescriptor fd(small ? windows::DescriptorFor(handle, _O_RDONLY) : -1);
    if (!small) {
        CloseHandle(handle);
    }
    bool read = fd.valid();
    if (read) {
        bytes.clear();
        read = ReadAllFrom(fd.get(), bytes, limit);
    }
    return read ? ReadResult::Read : ReadResult::Failed;
}

}  // namespace lumark::platform
