#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "VisibilityDocument.h"

namespace lumark::tool {

// `lumark-tool diff [--by-block] A B`: prints the changes from A to B to `out`. As diff does,
// returns ExitOk when there are none, ExitDifferent when there are and ExitDiffTrouble when a
// file cannot be read (named on `err`).
int DiffFiles(const std::string& before, const std::string& after, bool byBlock, std::ostream& out,
              std::ostream& err);

}  // namespace lumark::tool
