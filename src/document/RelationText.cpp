#include "RelationText.h"

#include <vector>

#include "BlockRanges.h"

namespace lumark {

std::string RelationText(const VisibilityDocument& doc) {
    const int count = doc.BlockCount;
    std::string text = "layout " + doc.VersionText + ", " + std::to_string(count) + " blocks\n";
    std::vector<bool> sees(static_cast<std::size_t>(count));
    for (int viewer = 1; viewer <= count; ++viewer) {
        for (int seen = 1; seen <= count; ++seen) {
            sees[static_cast<std::size_t>(seen - 1)] = doc.IsVisible(viewer, seen);
        }
        text += "block " + std::to_string(viewer - 1) + ": " + BlockRangesText(sees) + '\n';
    }
    return text;
}

}  // namespace lumark
