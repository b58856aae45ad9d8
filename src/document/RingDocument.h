#pragma once

#include <cstdint>
#include <string>

#include "VisibilityDocument.h"

namespace lumark {

// A ring of `blocks` blocks (0..300) in which every block sees itself and its `distance`
// nearest blocks on each side, with the given version text ("1.2" or "1.000000").
VisibilityDocument MakeRingDocument(int blocks, int distance, const std::string& version);

}  // namespace lumark
