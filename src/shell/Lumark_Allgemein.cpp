#include "Lumark_Allgemein.h"

#ifdef _WIN32
#include <QDir>

#include "PathText.h"
#else
#include <vector>

#include "FileSystem.h"
#endif

namespace lumark::Lumark_Allgemein {

namespace {

constexpr auto SeparatorOf = PathSeparator;

// Shorter paths cannot hold a drive, a separator and a name beside each other.
constexpr std::size_t MinimumPathLength = 5;

}  // namespace

std::string ExtractDirectory(const std::string& path, PathStyle style) {
    if (path.size() < MinimumPathLength) {
        return {};
    }
    const std::size_t separator = path.rfind(SeparatorOf(style));
    // A separator in the first place only names the root: there is no directory to keep.
    if (separator == std::string::npos || separator == 0) {
        return {};
    }
    return path.substr(0, separator);
}

std::string StripTrailingBackslash(const std::string& path, PathStyle style) {
    if (!path.empty() && path.back() == SeparatorOf(style)) {
        return path.substr(0, path.size() - 1);
    }
    return path;
}

bool DirectoryHasFiles(const std::string& folder) {
    // An empty folder thus becomes the root: "\" on Windows (current drive), "/" elsewhere.
    const std::string listed =
        StripTrailingBackslash(folder, HostPathStyle) + SeparatorOf(HostPathStyle);
#ifdef _WIN32
    const QDir directory(PathToQString(listed));
    if (!directory.exists()) {
        return false;
    }
    // Without QDir::Hidden and QDir::System only ordinary visible files are listed.
    return !directory.entryList(QDir::Files | QDir::NoDotAndDotDot).isEmpty();
#else
    // On the bytes of the names: Qt cannot hold a name that is not valid UTF-8.
    std::vector<std::string> names;
    if (!platform::ListFolder(listed, names)) {
        return false;
    }
    for (const std::string& name : names) {
        // Hidden names do not count; a link counts by what it names.
        if (name[0] != '.' && platform::IsRegularFile(listed + name)) {
            return true;
        }
    }
    return false;
#endif
}

}  // namespace lumark::Lumark_Allgemein
