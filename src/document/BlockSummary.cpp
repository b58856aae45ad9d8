#include "BlockSummary.h"

#include <algorithm>
#include <limits>

#include "LumarkError.h"
#include "RelationPicture.h"

namespace lumark {

namespace {

struct Run {
    int First = 0;
    int Last = 0;
    int Length = 0;
};

// The runs of `shown` in the order they are written: by first block, the run through the seam
// joined into one and written from its first block.
std::vector<Run> RunsOf(const std::vector<bool>& shown) {
    const int n = static_cast<int>(shown.size());
    std::vector<Run> runs;
    for (int i = 0; i < n;) {
        if (!shown[static_cast<std::size_t>(i)]) {
            ++i;
            continue;
        }
        const int first = i;
        while (i < n && shown[static_cast<std::size_t>(i)]) {
            ++i;
        }
        runs.push_back({first, i - 1, i - first});
    }
    if (runs.size() > 1 && runs.front().First == 0 && runs.back().Last == n - 1) {
        runs.back().Last = runs.front().Last;
        runs.back().Length += runs.front().Length;
        runs.erase(runs.begin());
    }
    return runs;
}

void AppendRun(std::string& text, const Run& run) {
    if (!text.empty()) {
        text += ", ";
    }
    text += std::to_string(run.First);
    if (run.Length > 1) {
        text += '-';
        text += std::to_string(run.Last);
    }
}

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

std::string BlockRangesText(const std::vector<bool>& shown) {
    return BlockRangesText(shown, std::numeric_limits<int>::max());
}

std::string BlockRangesText(const std::vector<bool>& shown, int maxNumbers) {
    const std::vector<Run> runs = RunsOf(shown);
    if (runs.empty()) {
        return "none";
    }
    const int n = static_cast<int>(shown.size());
    if (runs.front().Length == n) {
        return n == 1 ? "0" : "0-" + std::to_string(n - 1);
    }
    std::string text;
    int numbers = 0;
    int left = 0;
    for (const Run& run : runs) {
        left += run.Length;
    }
    for (const Run& run : runs) {
        const int written = run.Length > 1 ? 2 : 1;
        if (numbers + written > maxNumbers) {
            break;
        }
        AppendRun(text, run);
        numbers += written;
        left -= run.Length;
    }
    if (left > 0) {
        text += (text.empty() ? "" : " ") + std::string("and ") + std::to_string(left) + " more";
    }
    return text;
}

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
