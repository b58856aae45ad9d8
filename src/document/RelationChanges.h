#pragma once

#include <string>
#include <vector>

#include "VisibilityDocument.h"

namespace lumark {

// What changed from `before` to `after`, one line each: "blocks: 10 -> 12" when the block
// counts differ, "layout: 1.000000 -> 1.2" when the layouts do, then every pair of the blocks
// both have whose visibility differs, by viewing block, then by block seen, in the file's
// 0-based numbers: "block 7 now sees 12", "block 7 no longer sees 12".
std::vector<std::string> RelationChanges(const VisibilityDocument& before,
                                         const VisibilityDocument& after);

// The same grouped by viewing block: the count and layout lines, then for each block whose
// view changed "block 7: now sees 12-14; no longer sees 3" (either part left out when empty),
// then the total "N blocks changed, A added, R removed". `changed` tells whether anything did.
std::vector<std::string> RelationChangesByBlock(const VisibilityDocument& before,
                                                const VisibilityDocument& after, bool& changed);

}  // namespace lumark
