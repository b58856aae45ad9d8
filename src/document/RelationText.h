#pragma once

#include <string>

#include "VisibilityDocument.h"

namespace lumark {

// The relation as lines to read and to compare with a text diff: "layout 1.2, 300 blocks",
// then for each block "block 7: 5-9, 12", the blocks it sees in the form a typed selection
// reads. Nothing else goes in, so the same relation always gives the same text.
std::string RelationText(const VisibilityDocument& doc);

}  // namespace lumark
