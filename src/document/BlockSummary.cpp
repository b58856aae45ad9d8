#include "BlockSummary.h"

#include <algorithm>

#include "BlockRanges.h"
#include "LumarkError.h"
#include "RelationPicture.h"

namespace lumark {

namespace {

// What the block sees, and what sees it, as 0-based numbers.
struct Links {
    std::vector<bool> Sees, SeenBy, OneWayOut, OneWayIn;
    int SeesCount = 0, SeenByCount = 0, OutCount = 0, InCount = 0;
};

Links LinksOf(const VisibilityDocument& doc, int block) {
    if (block < 1 || block > doc.BlockCount) {
        throw LumarkError("no block " + std::to_string(block - 1) + " among " +
                          std::to_string(doc.BlockCount));
    }
    const auto n = static_cast<std::size_t>(doc.BlockCount);
    Links links{std::vector<bool>(n), std::vector<bool>(n), std::vector<bool>(n),
                std::vector<bool>(n)};
    for (std::size_t i = 0; i < n; ++i) {
        const int other = static_cast<int>(i) + 1;
        const RelationKind kind = KindOf(doc, block, other);
        const bool itself = kind == RelationKind::Diagonal && doc.IsVisible(block, block);
        const bool out = kind == RelationKind::SeesOnly;
        const bool in = kind == RelationKind::SeenOnly;
        const bool both = kind == RelationKind::Mutual || itself;
        links.Sees[i] = both || out;
        links.SeenBy[i] = both || in;
        links.OneWayOut[i] = out;
        links.OneWayIn[i] = in;
        links.SeesCount += both || out;
        links.SeenByCount += both || in;
        links.OutCount += out;
        links.InCount += in;
    }
    return links;
}

}  // namespace

std::string BlockSummary(const VisibilityDocument& doc, int block) {
    constexpr int ListedNumbers = 5;
    const Links links = LinksOf(doc, block);
    std::string text = "block " + std::to_string(block - 1) + ": sees " +
                       BlockRangesText(links.Sees) + " (" + std::to_string(links.SeesCount) +
                       "), seen by " + BlockRangesText(links.SeenBy) + " (" +
                       std::to_string(links.SeenByCount) + ")";
    if (links.OutCount == 0 && links.InCount == 0) {
        return text + ", 0 one-way";
    }
    if (links.OutCount > 0) {
        text += ", " + std::to_string(links.OutCount) + " one-way out (" +
                BlockRangesText(links.OneWayOut, ListedNumbers) + ")";
    }
    if (links.InCount > 0) {
        text += ", " + std::to_string(links.InCount) + " one-way in (" +
                BlockRangesText(links.OneWayIn, ListedNumbers) + ")";
    }
    return text;
}

BlockFigures FiguresOf(const VisibilityDocument& doc, int block) {
    const Links links = LinksOf(doc, block);
    const int n = doc.BlockCount;
    BlockFigures figures;
    figures.Sees = links.SeesCount;
    figures.SeenBy = links.SeenByCount;
    figures.OneWayOut = links.OutCount;
    figures.OneWayIn = links.InCount;
    // Ring steps on 0-based numbers; the runs end at the first unseen block or at the block.
    const int self = block - 1;
    const auto seen = [&](int number) { return links.Sees[static_cast<std::size_t>(number)]; };
    for (int j = (self + n - 1) % n; j != self && seen(j); j = (j + n - 1) % n) {
        ++figures.Back;
    }
    for (int j = (self + 1) % n; j != self && seen(j); j = (j + 1) % n) {
        ++figures.Ahead;
    }
    const int others = links.SeesCount - (seen(self) ? 1 : 0);
    figures.Holes = others != std::min(n - 1, figures.Back + figures.Ahead);
    return figures;
}

}  // namespace lumark
