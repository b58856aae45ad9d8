#include "FolderFiles.h"

#include <cerrno>
#include <cstring>

#include "FileSystem.h"
#include "LumarkError.h"
#include "ToolOutput.h"

namespace lumark::tool {

namespace {

std::string Joined(const std::string& folder, const std::string& name) {
    return !folder.empty() && folder.back() == '/' ? folder + name : folder + "/" + name;
}

// The names in `folder` but "." and "..", sorted by their bytes.
bool Names(const std::string& folder, std::vector<std::string>& names, std::ostream& err) {
    if (!platform::ListFolder(folder, names)) {
        ReportFileError(err, folder,
                        LumarkError::FileOperation("cannot open", folder, std::strerror(errno)));
        return false;
    }
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
        // An entry gone since the folder was read is left out, and so is a link to a folder;
        // a link to a file, or one that leads nowhere, is checked, so that its fault is named.
        const platform::EntryKind kind = platform::EntryKindOf(path);
        if (kind == platform::EntryKind::Folder) {
            Walk(path, glob, files, err, failed);
        } else if (kind == platform::EntryKind::File && platform::NameMatches(glob, name)) {
            files.push_back(path);
        }
    }
}

}  // namespace

bool IsFolder(const std::string& path) {
    return platform::IsFolder(path);
}

std::vector<std::string> FilesBelow(const std::string& folder, const std::string& glob,
                                    std::ostream& err, bool& failed) {
    std::vector<std::string> files;
    Walk(folder, glob, files, err, failed);
    return files;
}

}  // namespace lumark::tool
