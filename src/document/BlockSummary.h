#pragma once

#include <string>
#include <vector>

#include "VisibilityDocument.h"

namespace lumark {

// What block `block` (1-based matrix index, shown as block - 1) sees and is seen by:
// "block 250: sees 230-270 (41), seen by 230-270 (41), 0 one-way", or with one-way links
// ", 2 one-way out (7, 9), 1 one-way in (12)", each list cut after 5 numbers.
std::string BlockSummary(const VisibilityDocument& doc, int block);

// The counts behind a block's summary; `block` is the 1-based matrix index.
struct BlockFigures {
    int Sees = 0;        // blocks it sees, itself included when its diagonal is set
    int SeenBy = 0;      // blocks that see it, likewise
    int Back = 0;        // the unbroken run of blocks it sees behind it along the ring
    int Ahead = 0;       // the same ahead; both stop short of the block itself
    int OneWayOut = 0;   // blocks it sees that do not see it
    int OneWayIn = 0;    // blocks that see it unseen
    bool Holes = false;  // what it sees, itself added, is not one run around it
};
BlockFigures FiguresOf(const VisibilityDocument& doc, int block);

}  // namespace lumark
