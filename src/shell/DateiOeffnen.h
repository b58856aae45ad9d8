#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "PathStyle.h"
#include "UserDialogs.h"

namespace lumark::DateiOeffnen {

// Size of the name buffers, the closing NUL included: a chosen path that does not fit counts
// as a cancel. Linux paths may be far longer than Windows' MAX_PATH.
constexpr std::size_t NameBufferSize = HostPathStyle == PathStyle::Windows ? 260 : 4096;

// Flag bits of the dialog request.
constexpr std::int32_t FlagReadOnly = 0x1;
constexpr std::int32_t FlagHideReadOnly = 0x4;
constexpr std::int32_t FlagEnableHook = 0x20;
constexpr std::int32_t FlagEnableTemplate = 0x40;
constexpr std::int32_t FlagAllowMultiSelect = 0x200;
constexpr std::int32_t FlagFileMustExist = 0x1000;

struct FileOpenRequest {
    std::string FileName;
    std::string FileTitle;
    std::string Filter;
    std::string DialogTitle;
    std::int32_t FilterIndex = 0;
    std::int16_t ReadOnly = 0;
};

// The chosen full path, or the empty text when the dialog is cancelled.
std::string ShowFileOpenDialog(UserDialogs& dialogs, const std::string& title,
                               const std::string& filter);

std::int16_t RunFileOpenRequest(UserDialogs& dialogs, FileOpenRequest& request);

// Builds the dialog request, shows it through `dialogs` and returns -1 when a file was chosen.
std::int16_t CallGetOpenFileName(UserDialogs& dialogs, std::string& fileName,
                                 std::string& fileTitle, std::int16_t fileMustExist,
                                 std::int16_t multiSelect, std::int16_t& readOnly,
                                 std::int16_t hideReadOnly, std::string& filter,
                                 std::int32_t& filterIndex, const std::string& initialDir,
                                 const std::string& dialogTitle, const std::string& defaultExt,
                                 std::int32_t ownerWindow, std::int32_t& flags);

// The dialog flags from the option Booleans (-1 / 0) and the extra flags, without the hook
// and template bits 0x20 and 0x40.
std::int32_t DialogFlags(std::int16_t fileMustExist, std::int16_t multiSelect,
                         std::int16_t readOnly, std::int16_t hideReadOnly, std::int32_t extraFlags);

// Every "|" and ":" becomes a NUL; two NULs are appended.
std::string ConvertFilter(const std::string& filter);

// The index-th (1-based) pair of a converted filter: description, NUL, pattern.
std::string GetFilterPair(const std::string& convertedFilter, std::int32_t index);

// The pairs of a converted filter as the dialog shows them, up to the first empty
// description. With the Posix style the pattern "*.*" becomes "*", so that files without an
// extension are offered too.
std::vector<FileDialogFilter> FilterPairs(const std::string& convertedFilter,
                                          PathStyle style = HostPathStyle);

void TrimRequestNames(FileOpenRequest& request);

std::string CutAtNul(const std::string& text);

}  // namespace lumark::DateiOeffnen
