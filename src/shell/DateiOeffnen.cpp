#include "DateiOeffnen.h"

#include <algorithm>

#include "PathParts.h"

namespace lumark::DateiOeffnen {

namespace {

constexpr char Nul = '\0';

// Callers may hand in C++ truth values (1); the flag arithmetic needs -1 for true.
std::int32_t AsBoolean(std::int16_t value) {
    return value != 0 ? -1 : 0;
}

std::string PaddedToBuffer(std::string text) {
    text.resize(std::max(text.size(), NameBufferSize), Nul);
    return text;
}

// "*.*" only matches names with a dot on Posix systems; "*" is what the user means there.
std::string PosixPatterns(const std::string& patterns) {
    std::string result;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = patterns.find(';', start);
        const std::string pattern = patterns.substr(start, end - start);
        result += pattern == "*.*" ? "*" : pattern;
        if (end == std::string::npos) {
            return result;
        }
        result += ';';
        start = end + 1;
    }
}

std::string FileTitleOf(const std::string& path) {
    return std::string(SplitPath(path).Name);
}

}  // namespace

std::string ShowFileOpenDialog(UserDialogs& dialogs, const std::string& title,
                               const std::string& filter) {
    FileOpenRequest request;
    request.DialogTitle = title;
    request.Filter = filter;
    request.ReadOnly = -1;
    RunFileOpenRequest(dialogs, request);
    return request.FileName;
}

std::int16_t RunFileOpenRequest(UserDialogs& dialogs, FileOpenRequest& request) {
    if (request.Filter.empty()) {
        request.Filter = "All Files|*.*";
    }
    std::int32_t flags = 0;
    const std::int16_t chosen = CallGetOpenFileName(
        dialogs, request.FileName, request.FileTitle, -1, 0, request.ReadOnly, 0, request.Filter,
        request.FilterIndex, std::string(), request.DialogTitle, std::string(), -1, flags);
    TrimRequestNames(request);
    return chosen;
}

std::int16_t CallGetOpenFileName(UserDialogs& dialogs, std::string& fileName,
                                 std::string& fileTitle, std::int16_t fileMustExist,
                                 std::int16_t multiSelect, std::int16_t& readOnly,
                                 std::int16_t hideReadOnly, std::string& filter,
                                 std::int32_t& filterIndex, const std::string& /*initialDir*/,
                                 const std::string& dialogTitle, const std::string& /*defaultExt*/,
                                 std::int32_t /*ownerWindow*/, std::int32_t& flags) {
    // The chooser always starts in the current directory, picks one existing file and is
    // modal to the application, so the initial directory, default extension, owner and
    // multi-selection have nothing to steer.
    const std::int32_t requestFlags =
        DialogFlags(fileMustExist, multiSelect, readOnly, hideReadOnly, flags);
    const std::string converted = ConvertFilter(filter);
    const std::vector<FileDialogFilter> pairs = FilterPairs(converted);

    // Index 0 and index 1 both mean the first entry.
    int selected = std::max(filterIndex, 1) - 1;
    if (!pairs.empty()) {
        selected = std::min(selected, static_cast<int>(pairs.size()) - 1);
    }
    int chosenFilter = selected;
    const std::string path = dialogs.GetOpenFileName(dialogTitle, pairs, chosenFilter);

    if (path.empty() || path.size() >= NameBufferSize) {
        fileName.clear();
        fileTitle.clear();
        filter.clear();
        flags = 0;
        filterIndex = -1;
        return 0;
    }
    fileName = PaddedToBuffer(path);
    fileTitle = PaddedToBuffer(FileTitleOf(path));
    flags = requestFlags;
    filterIndex = chosenFilter + 1;
    filter = GetFilterPair(converted, filterIndex);
    if ((flags & FlagReadOnly) != 0) {
        readOnly = -1;
    }
    return -1;
}

std::int32_t DialogFlags(std::int16_t fileMustExist, std::int16_t multiSelect,
                         std::int16_t readOnly, std::int16_t hideReadOnly,
                         std::int32_t extraFlags) {
    const std::int32_t options = (AsBoolean(fileMustExist) * -FlagFileMustExist) |
                                 (AsBoolean(multiSelect) * -FlagAllowMultiSelect) |
                                 (AsBoolean(readOnly) * -FlagReadOnly) |
                                 (AsBoolean(hideReadOnly) * -FlagHideReadOnly);
    return options | (extraFlags & ~(FlagEnableHook | FlagEnableTemplate));
}

std::string ConvertFilter(const std::string& filter) {
    std::string converted = filter;
    std::replace_if(
        converted.begin(), converted.end(), [](char c) { return c == '|' || c == ':'; }, Nul);
    converted.append(2, Nul);
    return converted;
}

std::string GetFilterPair(const std::string& convertedFilter, std::int32_t index) {
    std::size_t start = 0;
    while (index >= 1 && start < convertedFilter.size()) {
        const std::size_t first = convertedFilter.find(Nul, start);
        if (first == std::string::npos) {
            return {};
        }
        std::size_t second = convertedFilter.find(Nul, first + 1);
        if (second == std::string::npos) {
            second = convertedFilter.size();
        }
        if (index == 1) {
            return convertedFilter.substr(start, second - start);
        }
        --index;
        start = second + 1;
    }
    return {};
}

std::vector<FileDialogFilter> FilterPairs(const std::string& convertedFilter, PathStyle style) {
    std::vector<FileDialogFilter> pairs;
    std::size_t start = 0;
    while (start < convertedFilter.size()) {
        const std::size_t descriptionEnd = convertedFilter.find(Nul, start);
        if (descriptionEnd == std::string::npos || descriptionEnd == start) {
            break;
        }
        std::size_t patternEnd = convertedFilter.find(Nul, descriptionEnd + 1);
        if (patternEnd == std::string::npos) {
            break;
        }
        FileDialogFilter pair{
            convertedFilter.substr(start, descriptionEnd - start),
            convertedFilter.substr(descriptionEnd + 1, patternEnd - descriptionEnd - 1)};
        if (style == PathStyle::Posix) {
            pair.Pattern = PosixPatterns(pair.Pattern);
        }
        pairs.push_back(std::move(pair));
        start = patternEnd + 1;
    }
    return pairs;
}

void TrimRequestNames(FileOpenRequest& request) {
    request.FileName = CutAtNul(request.FileName);
    request.FileTitle = CutAtNul(request.FileTitle);
}

std::string CutAtNul(const std::string& text) {
    return text.substr(0, text.find(Nul));
}

}  // namespace lumark::DateiOeffnen
