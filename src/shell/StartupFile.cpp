#include "StartupFile.h"

#include <sys/stat.h>

#include "PathParts.h"

namespace lumark {

std::string StartupFileProblem(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return "does not exist";
    }
    if (!S_ISREG(info.st_mode)) {
        return "is not a regular file";
    }
    // Hidden files are left out of the lookup, as in the file dialog's listing.
    if (SplitPath(path).Name.substr(0, 1) == ".") {
        return "is a hidden file";
    }
    return {};
}

std::string StartupFileMessage(const std::string& path, const std::string& problem) {
    return "The file named on the command line was not opened:\n" + path + "\n" + problem + ".";
}

}  // namespace lumark
