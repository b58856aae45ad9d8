#include "RelationMerge.h"

#include "BlockRanges.h"

namespace lumark {

namespace {

// Whether `viewer` sees `seen` in `doc`; an element of a block the document lacks is not seen.
bool Sees(const VisibilityDocument& doc, int viewer, int seen) {
    return viewer <= doc.BlockCount && seen <= doc.BlockCount && doc.IsVisible(viewer, seen);
}

bool OneWay(const VisibilityDocument& doc, int viewer, int seen) {
    return Sees(doc, viewer, seen) && !Sees(doc, seen, viewer);
}

// The three-way rule for one value: the side that moved away from `base`, else what both hold.
template <typename Value>
MergeSide Pick(const Value& base, const Value& ours, const Value& theirs, bool& conflict) {
    conflict = false;
    if (ours == theirs) {
        return MergeSide::Both;
    }
    if (theirs == base) {
        return MergeSide::Ours;
    }
    if (ours == base) {
        return MergeSide::Theirs;
    }
    conflict = true;
    return MergeSide::Both;
}

template <typename Value>
const Value& Chosen(MergeSide side, const Value& ours, const Value& theirs) {
    return side == MergeSide::Theirs ? theirs : ours;
}

// The changes of the side that kept the base's count to blocks the other side removed, each a
// conflict, by the block whose view changed: a removed block's own view, or whether a kept
// block sees removed ones.
void RemovalConflicts(const VisibilityDocument& base, const VisibilityDocument& ours,
                      const VisibilityDocument& theirs, int kept, RelationMerge& merge) {
    const bool oursRemoved = ours.BlockCount == kept;
    const VisibilityDocument& changer = oursRemoved ? theirs : ours;
    const std::string removedBy = oursRemoved ? "ours" : "theirs";
    const std::string changedBy = oursRemoved ? "theirs" : "ours";
    const int count = base.BlockCount;
    for (int viewer = 1; viewer <= count; ++viewer) {
        std::vector<bool> changed(static_cast<std::size_t>(count));
        bool any = false;
        for (int seen = viewer > kept ? 1 : kept + 1; seen <= count; ++seen) {
            const bool change = Sees(base, viewer, seen) != Sees(changer, viewer, seen);
            changed[static_cast<std::size_t>(seen - 1)] = change;
            any = any || change;
        }
        if (!any) {
            continue;
        }
        const std::string block = "block " + std::to_string(viewer - 1) + ": ";
        merge.Conflicts.push_back(
            viewer > kept ? block + "removed by " + removedBy + ", changed by " + changedBy
                          : block + changedBy + " changed whether it sees " +
                                BlockRangesText(changed) + ", removed by " + removedBy);
    }
}

}  // namespace

RelationMerge MergeRelations(const VisibilityDocument& base, const VisibilityDocument& ours,
                             const VisibilityDocument& theirs) {
    RelationMerge merge;
    bool conflict = false;
    merge.BlockCountFrom = Pick(base.BlockCount, ours.BlockCount, theirs.BlockCount, conflict);
    if (conflict) {
        merge.Conflicts.push_back("block count: base " + std::to_string(base.BlockCount) +
                                  ", ours " + std::to_string(ours.BlockCount) + ", theirs " +
                                  std::to_string(theirs.BlockCount));
    }
    merge.LayoutFrom = Pick(base.VersionText, ours.VersionText, theirs.VersionText, conflict);
    if (conflict) {
        merge.Conflicts.push_back("layout: base " + base.VersionText + ", ours " +
                                  ours.VersionText + ", theirs " + theirs.VersionText);
    }
    if (!merge.Conflicts.empty()) {
        return merge;
    }
    const int count = Chosen(merge.BlockCountFrom, ours.BlockCount, theirs.BlockCount);
    if (count < base.BlockCount && merge.BlockCountFrom != MergeSide::Both) {
        RemovalConflicts(base, ours, theirs, count, merge);
        if (!merge.Conflicts.empty()) {
            return merge;
        }
    }

    VisibilityDocument& merged = merge.Merged;
    merged.VersionText = Chosen(merge.LayoutFrom, ours.VersionText, theirs.VersionText);
    merged.BlockCount = static_cast<std::int16_t>(count);
    for (int viewer = 1; viewer <= count; ++viewer) {
        for (int seen = 1; seen <= count; ++seen) {
            const bool was = Sees(base, viewer, seen);
            const bool our = Sees(ours, viewer, seen);
            const bool their = Sees(theirs, viewer, seen);
            // Two values only: where the sides differ, one of them kept the base's.
            merge.FromOurs += our != was && their == was;
            merge.FromTheirs += their != was && our == was;
            if (our == their ? our : !was) {
                merged.SetElement(viewer, seen, True16);
            }
        }
    }
    for (int viewer = 1; viewer <= count; ++viewer) {
        for (int seen = 1; seen <= count; ++seen) {
            if (OneWay(merged, viewer, seen) && !OneWay(ours, viewer, seen) &&
                !OneWay(theirs, viewer, seen)) {
                merge.NewOneWay.emplace_back(viewer, seen);
            }
        }
    }
    return merge;
}

}  // namespace lumark
