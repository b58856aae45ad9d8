#pragma once

#include <windows.h>

#include <string>

// Helpers of the Windows side: text conversions at the edge of the system, and the errno
// values by which the rest of the program tells failures apart.
namespace lumark::platform::windows {

std::wstring Wide(const std::string& utf8);
std::string Utf8(const wchar_t* text);

// The errno value for a Win32 error; EBUSY for a file that another program holds open.
int ErrnoFrom(DWORD error);
// Sets errno from GetLastError() and returns false, for failures reported as false.
bool FailWithLastError();

// Runs `attempt` until it succeeds or fails for another reason than a sharing or lock
// violation, waiting between tries for about `waitMs` in all: virus scanners and indexers
// hold files for a moment. False with GetLastError() as the last try left it.
template <typename Attempt>
bool RetryWhileShared(Attempt attempt, DWORD waitMs = 1000) {
    constexpr DWORD StepMs = 100;
    for (DWORD waited = 0;; waited += StepMs) {
        if (attempt()) {
            return true;
        }
        const DWORD error = GetLastError();
        if ((error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION) ||
            waited >= waitMs) {
            SetLastError(error);
            return false;
        }
        Sleep(StepMs);
    }
}

// CreateFileW through RetryWhileShared; INVALID_HANDLE_VALUE with GetLastError() set.
HANDLE OpenFile(const std::string& path, DWORD access, DWORD share, DWORD disposition, DWORD flags,
                DWORD waitMs = 1000);

// A C runtime descriptor that owns `handle` (closing it closes the handle); -1 with the
// handle closed and errno set when none can be had.
int DescriptorFor(HANDLE handle, int flags);

// Nanoseconds since the Unix epoch of a Windows file time.
long long NanosecondsSinceEpoch(const FILETIME& time);

}  // namespace lumark::platform::windows
