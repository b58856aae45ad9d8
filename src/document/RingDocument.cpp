#include "RingDocument.h"

#include <algorithm>

#include "LumarkError.h"

namespace lumark {

VisibilityDocument MakeRingDocument(int blocks, int distance, const std::string& version) {
    if (blocks < 0 || blocks > VisibilityMatrix::MaxBlocks) {
        throw LumarkError("a ring holds 0 to 300 blocks, not " + std::to_string(blocks));
    }
    VisibilityDocument doc;
    doc.VersionText = version;
    doc.BlockCount = static_cast<std::int16_t>(blocks);
    // Past half the ring every block is already seen from both sides.
    const int reach = std::clamp(distance, 0, blocks / 2);
    for (int block = 1; block <= blocks; ++block) {
        for (int step = -reach; step <= reach; ++step) {
            const int seen = ((block - 1 + step) % blocks + blocks) % blocks + 1;
            doc.SetElement(block, seen, True16);
        }
    }
    return doc;
}

}  // namespace lumark
