#include "StartupFile.h"

#include "FileSystem.h"
#include "PathParts.h"

namespace lumark {

std::string StartupFileProblem(const std::string& path) {
    if (!platform::Exists(path)) {
        return "does not exist";
    }
    if (!platform::IsRegularFile(path)) {
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
