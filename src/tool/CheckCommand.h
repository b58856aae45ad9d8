#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace lumark::tool {

// `lumark-tool check FILE...`: reads each file with the editor's reader and prints
// "FILE: ok, layout 1.2, 40 blocks" and warnings about what a save would change to `out`, or
// "FILE: error: ..." to `err`. ExitOk when every file reads, ExitFailed otherwise.
int CheckFiles(const std::vector<std::string>& paths, std::ostream& out, std::ostream& err);

}  // namespace lumark::tool
