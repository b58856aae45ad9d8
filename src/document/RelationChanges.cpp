#include "RelationChanges.h"

#include <algorithm>

#include "BlockRanges.h"

namespace lumark {

namespace {

// The block count and the layout, where they changed.
std::vector<std::string> HeaderChanges(const VisibilityDocument& before,
                                       const VisibilityDocument& after) {
    std::vector<std::string> changes;
    if (before.BlockCount != after.BlockCount) {
        changes.push_back("blocks: " + std::to_string(before.BlockCount) + " -> " +
                          std::to_string(after.BlockCount));
    }
    if (before.VersionText != after.VersionText) {
        changes.push_back("layout: " + before.VersionText + " -> " + after.VersionText);
    }
    return changes;
}

}  // namespace

std::vector<std::string> RelationChanges(const VisibilityDocument& before,
                                         const VisibilityDocument& after) {
    std::vector<std::string> changes = HeaderChanges(before, after);
    const int common = std::min(before.BlockCount, after.BlockCount);
    for (int viewer = 1; viewer <= common; ++viewer) {
        for (int seen = 1; seen <= common; ++seen) {
            const bool was = before.IsVisible(viewer, seen);
            if (was != after.IsVisible(viewer, seen)) {
                changes.push_back("block " + std::to_string(viewer - 1) +
                                  (was ? " no longer sees " : " now sees ") +
                                  std::to_string(seen - 1));
            }
        }
    }
    return changes;
}

std::vector<std::string> RelationChangesByBlock(const VisibilityDocument& before,
                                                const VisibilityDocument& after, bool& changed) {
    std::vector<std::string> changes = HeaderChanges(before, after);
    const int common = std::min(before.BlockCount, after.BlockCount);
    // Ranges over the larger ring: with a count changed, the common blocks' last and first are
    // no neighbours, so no range runs across the seam.
    const auto ring = static_cast<std::size_t>(std::max(before.BlockCount, after.BlockCount));
    int blocks = 0;
    int added = 0;
    int removed = 0;
    for (int viewer = 1; viewer <= common; ++viewer) {
        std::vector<bool> now(ring);
        std::vector<bool> noLonger(ring);
        int gained = 0;
        int lost = 0;
        for (int seen = 1; seen <= common; ++seen) {
            const bool was = before.IsVisible(viewer, seen);
            if (was != after.IsVisible(viewer, seen)) {
                (was ? noLonger : now)[static_cast<std::size_t>(seen - 1)] = true;
                ++(was ? lost : gained);
            }
        }
        if (gained + lost == 0) {
            continue;
        }
        ++blocks;
        added += gained;
        removed += lost;
        std::string line = "block " + std::to_string(viewer - 1) + ":";
        if (gained > 0) {
            line += " now sees " + BlockRangesText(now);
        }
        if (lost > 0) {
            line +=
                std::string(gained > 0 ? ";" : "") + " no longer sees " + BlockRangesText(noLonger);
        }
        changes.push_back(line);
    }
    changed = !changes.empty();
    changes.push_back(std::to_string(blocks) + " blocks changed, " + std::to_string(added) +
                      " added, " + std::to_string(removed) + " removed");
    return changes;
}

}  // namespace lumark
