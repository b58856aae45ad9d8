#pragma once

#include <string>
#include <utility>
#include <vector>

#include "VisibilityDocument.h"

namespace lumark {

// Where a merged value came from: both sides had it (changed alike or not at all), or one side
// changed it and the other did not.
enum class MergeSide { Both, Ours, Theirs };

struct RelationMerge {
    // The merged document; only meaningful when there are no conflicts.
    VisibilityDocument Merged;
    // What could not be merged, each as "block count: base 300, ours 280, theirs 290".
    std::vector<std::string> Conflicts;
    MergeSide BlockCountFrom = MergeSide::Both;
    MergeSide LayoutFrom = MergeSide::Both;
    // Elements that only that side changed, and so came from it.
    int FromOurs = 0;
    int FromTheirs = 0;
    // Merged pairs seen one way only that neither side had seen that way, as 1-based
    // (viewer, seen), by viewer, then by seen: edits that were each sound can combine into them.
    std::vector<std::pair<int, int>> NewOneWay;
};

// The three-way merge of the relations, element by element. Where the sides agree, that value;
// where only one changed it from `base`, that side's. The block count and the layout merge the
// same way; both changed to different values is a conflict, and so is a change by one side to
// an element of a block the other removed. An element that `base` does not have (a block added
// since) counts as not seen there.
RelationMerge MergeRelations(const VisibilityDocument& base, const VisibilityDocument& ours,
                             const VisibilityDocument& theirs);

}  // namespace lumark
