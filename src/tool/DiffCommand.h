#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "VisibilityDocument.h"

namespace lumark::tool {

// What changed from `before` to `after`, one line each: "blocks: 10 -> 12" when the block
// counts differ, "layout: 1.000000 -> 1.2" when the layouts do, then every pair of the blocks
// both have whose visibility differs, by viewing block, then by block seen, in the file's
// 0-based numbers: "block 7 now sees 12", "block 7 no longer sees 12".
std::vector<std::string> RelationChanges(const VisibilityDocument& before,
                                         const VisibilityDocument& after);

// `lumark-tool diff A B`: prints the changes from A to B to `out`. As diff does, returns
// ExitOk when there are none, ExitDifferent when it printed some and ExitDiffTrouble when a
// file cannot be read (named on `err`).
int DiffFiles(const std::string& before, const std::string& after, std::ostream& out,
              std::ostream& err);

}  // namespace lumark::tool
