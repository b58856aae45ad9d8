#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "RelationMerge.h"

namespace lumark {
namespace {

// A relation of up to 10 blocks written by hand: one group of digits per block, the blocks it
// sees, "01 012 12 3" for 4 blocks.
VisibilityDocument Doc(const std::string& sees, const std::string& layout = "1.2") {
    VisibilityDocument doc;
    doc.VersionText = layout;
    int block = 1;
    for (const char c : sees + ' ') {
        if (c == ' ') {
            doc.BlockCount = static_cast<std::int16_t>(block++);
        } else if (c != '-') {  // "-" sees nothing
            doc.MarkVisible(block, c - '0');
        }
    }
    return doc;
}

// The same form back, with the layout in front.
std::string Text(const VisibilityDocument& doc) {
    std::string text = doc.VersionText;
    for (int viewer = 1; viewer <= doc.BlockCount; ++viewer) {
        text += ' ';
        const std::size_t size = text.size();
        for (int seen = 1; seen <= doc.BlockCount; ++seen) {
            text += doc.IsVisible(viewer, seen) ? std::to_string(seen - 1) : "";
        }
        text += text.size() == size ? "-" : "";
    }
    return text;
}

constexpr MergeSide Both = MergeSide::Both;
constexpr MergeSide Ours = MergeSide::Ours;
constexpr MergeSide Theirs = MergeSide::Theirs;

TEST(MergeRelations, ElementByElementWithCountLayoutAndConflicts) {
    const std::string base = "01 012 12 3";
    const struct {
        const char* what;
        VisibilityDocument ours, theirs;
        std::string merged;  // or the conflicts, joined by "; "
        int fromOurs, fromTheirs;
        MergeSide count, layout;
        std::vector<std::pair<int, int>> newOneWay;  // 1-based
    } cases[] = {
        {"nothing changed", Doc(base), Doc(base), "1.2 01 012 12 3", 0, 0, Both, Both, {}},
        {"ours adds", Doc("012 012 12 3"), Doc(base), "1.2 012 012 12 3", 1, 0, Both, Both, {}},
        {"theirs removes", Doc(base), Doc("01 01 12 3"), "1.2 01 01 12 3", 0, 1, Both, Both, {}},
        {"each changes another element",
         Doc("012 012 12 3"),
         Doc("01 01 12 3"),
         "1.2 012 01 12 3",
         1,
         1,
         Both,
         Both,
         {}},
        {"both make the same change",
         Doc("01 012 12 03"),
         Doc("01 012 12 03"),
         "1.2 01 012 12 03",
         0,
         0,
         Both,
         Both,
         {}},
        {"ours adds a block, theirs edits",
         Doc("01 012 12 3 04"),
         Doc("01 01 12 3"),
         "1.2 01 01 12 3 04",
         2,
         1,
         Ours,
         Both,
         {}},
        {"both add the block, each with its own view",
         Doc("01 012 12 3 04"),
         Doc("01 012 12 3 34"),
         "1.2 01 012 12 3 034",
         1,
         1,
         Both,
         Both,
         {}},
        {"ours removes a block theirs left alone",
         Doc("01 012 12"),
         Doc(base),
         "1.2 01 012 12",
         0,
         0,
         Ours,
         Both,
         {}},
        {"both remove the block, theirs edits",
         Doc("01 012 12"),
         Doc("01 012 2"),
         "1.2 01 012 2",
         0,
         1,
         Both,
         Both,
         {}},
        {"theirs takes the old layout",
         Doc("012 012 12 3"),
         Doc(base, "1.000000"),
         "1.000000 012 012 12 3",
         1,
         0,
         Both,
         Theirs,
         {}},
        {"ours removes what theirs made see",
         Doc("01 012 12"),
         Doc("01 012 12 13"),
         "block 3: removed by ours, changed by theirs",
         0,
         0,
         Ours,
         Both,
         {}},
        {"theirs removes what ours made seen",
         Doc("01 0123 12 3"),
         Doc("01 012 12"),
         "block 1: ours changed whether it sees 3, removed by theirs",
         0,
         0,
         Theirs,
         Both,
         {}},
        {"both change the count",
         Doc("01 012 12"),
         Doc("01 012 12 3 4"),
         "block count: base 4, ours 3, theirs 5",
         0,
         0,
         Both,
         Both,
         {}},
        {"both change the layout",
         Doc(base, "1.000000"),
         Doc(base, "1.3"),
         "layout: base 1.2, ours 1.000000, theirs 1.3",
         0,
         0,
         Both,
         Both,
         {}},
    };
    for (const auto& c : cases) {
        const RelationMerge merge = MergeRelations(Doc(base), c.ours, c.theirs);
        std::string conflicts;
        for (const std::string& conflict : merge.Conflicts) {
            conflicts += (conflicts.empty() ? "" : "; ") + conflict;
        }
        EXPECT_EQ(conflicts.empty() ? Text(merge.Merged) : conflicts, c.merged) << c.what;
        if (!conflicts.empty()) {
            continue;
        }
        EXPECT_EQ(merge.FromOurs, c.fromOurs) << c.what;
        EXPECT_EQ(merge.FromTheirs, c.fromTheirs) << c.what;
        EXPECT_EQ(merge.BlockCountFrom, c.count) << c.what;
        EXPECT_EQ(merge.LayoutFrom, c.layout) << c.what;
        EXPECT_EQ(merge.NewOneWay, c.newOneWay) << c.what;
    }
}

TEST(MergeRelations, NamesOneWayPairsNeitherSideHad) {
    // Block 0 sees 1 unseen. Ours makes the pair mutual by letting 1 see 0, theirs by letting
    // 0 stop seeing 1: each sound alone, together 1 sees 0 unseen.
    const RelationMerge merge = MergeRelations(Doc("01 1 2"), Doc("01 01 2"), Doc("0 1 2"));
    EXPECT_EQ(Text(merge.Merged), "1.2 0 01 2");
    EXPECT_EQ(merge.NewOneWay, (std::vector<std::pair<int, int>>{{2, 1}}));
    // One-way pairs a side already had are no news: ours's 0 sees 2 unseen stays.
    EXPECT_EQ(MergeRelations(Doc("01 01 2"), Doc("012 01 2"), Doc("01 01 2")).NewOneWay,
              (std::vector<std::pair<int, int>>{}));
}

}  // namespace
}  // namespace lumark
