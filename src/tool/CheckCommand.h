#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace lumark::tool {

struct CheckOptions {
    bool mutual = false;                  // warn about pairs seen one way only
    std::string name = "visibility.txt";  // the files looked for below a folder
};

// `lumark-tool check FILE|FOLDER...`: reads each file with the editor's reader and prints
// "FILE: ok, layout 1.2, 40 blocks" and warnings about what a save would change to `out`, or
// "FILE: error: ..." to `err`. A folder stands for the files below it named `options.name`,
// and one with none is an error. ExitOk when every file reads, ExitFailed otherwise.
int CheckFiles(const std::vector<std::string>& paths, const CheckOptions& options,
               std::ostream& out, std::ostream& err);

}  // namespace lumark::tool
