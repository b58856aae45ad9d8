#include "FolderFiles.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "LumarkError.h"
#include "ToolOutput.h"

namespace lumark::tool {

namespace {

std::string Joined(const std::string& folder, const std::string& name) {
    return !folder.empty() && folder.back() == '/' ? folder + name : folder + "/" + name;
}

// The names in `folder` but "." and "..", sorted by their bytes.
bool Names(const std::string& folder, std::vector<std::string>& names, std::ostream& err) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        ReportFileError(err, folder,
                        LumarkError::FileOperation("cannot open", folder, std::strerror(errno)));
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

void Walk(const std::string& folder, const std::string& glob, std::vector<std::string>& files,
          std::ostream& err, bool& failed) {
    std::vector<std::string> names;
    if (!Names(folder, names, err)) {
        failed = true;
        return;
    }
    for (const std::string& name : names) {
        const std::string path = Joined(folder, name);
        struct stat own {};
        if (::lstat(path.c_str(), &own) != 0) {
            continue;  // gone since the folder was read
        }
        if (S_ISDIR(own.st_mode)) {
            Walk(path, glob, files, err, failed);
        } else if (::fnmatch(glob.c_str(), name.c_str(), 0) == 0) {
            // A link to a folder is left out; a link to a file, or one that leads nowhere,
            // is checked, so that its fault is named.
            struct stat target {};
            if (!S_ISLNK(own.st_mode) || ::stat(path.c_str(), &target) != 0 ||
                !S_ISDIR(target.st_mode)) {
                files.push_back(path);
            }
        }
    }
}

}  // namespace

bool IsFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::vector<std::string> FilesBelow(const std::string& folder, const std::string& glob,
                                    std::ostream& err, bool& failed) {
    std::vector<std::string> files;
    Walk(folder, glob, files, err, failed);
    return files;
}

}  // namespace lumark::tool
