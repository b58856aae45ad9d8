#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace lumark::tool {

// Whether `path` names a folder (a link to one included).
bool IsFolder(const std::string& path);

// The files below `folder` whose names match the shell pattern `glob`, in sorted path order:
// each folder's entries by name, a subfolder's files where its name sorts. Links to files are
// taken, links to folders are not followed, so that a loop of links cannot hold the walk.
// A folder that cannot be read is named on `err` and sets `failed`; the walk goes on.
std::vector<std::string> FilesBelow(const std::string& folder, const std::string& glob,
                                    std::ostream& err, bool& failed);

}  // namespace lumark::tool
