#include <gtest/gtest.h>

#include <string>

#include "RelationMerge.h"

namespace lumark {
namespace {

// A relation of up to 10 blocks by hand: the layout, then for each block the digits of the
// blocks it sees ("-" for none): "1.2 01 012 12 3".
VisibilityDocument Doc(const std::string& text) {
    VisibilityDocument doc;
    const std::size_t space = text.find(' ');
    doc.VersionText = text.substr(0, space);
    int block = 0;
    for (std::size_t i = space; i < text.size(); ++i) {
        if (text[i] == ' ') {
            doc.BlockCount = static_cast<std::int16_t>(++block);
        } else if (text[i] != '-') {
            doc.MarkVisible(block, text[i] - '0');
        }
    }
    return doc;
}

// The merge in the same form, then what came from each side and the new one-way pairs as
// "viewer>seen", or the conflicts.
std::string Merged(const std::string& base, const std::string& ours, const std::string& theirs) {
    const RelationMerge merge = MergeRelations(Doc(base), Doc(ours), Doc(theirs));
    if (!merge.Conflicts.empty()) {
        return merge.Conflicts.front() + (merge.Conflicts.size() > 1 ? "; more" : "");
    }
    const VisibilityDocument& doc = merge.Merged;
    std::string text = doc.VersionText;
    for (int viewer = 1; viewer <= doc.BlockCount; ++viewer) {
        std::string sees;
        for (int seen = 1; seen <= doc.BlockCount; ++seen) {
            sees += doc.IsVisible(viewer, seen) ? std::to_string(seen - 1) : "";
        }
        text += ' ' + (sees.empty() ? "-" : sees);
    }
    const char* side[] = {"both", "ours", "theirs"};
    text += "; ours " + std::to_string(merge.FromOurs) + ", theirs " +
            std::to_string(merge.FromTheirs) + "; count " +
            side[static_cast<int>(merge.BlockCountFrom)] + ", layout " +
            side[static_cast<int>(merge.LayoutFrom)];
    for (const auto& [viewer, seen] : merge.NewOneWay) {
        text += "; new " + std::to_string(viewer - 1) + ">" + std::to_string(seen - 1);
    }
    return text;
}

TEST(MergeRelations, ElementByElementWithCountLayoutAndConflicts) {
    const char* const base = "1.2 01 012 12 3";
    const struct {
        const char *what, *base, *ours, *theirs, *merged;
    } cases[] = {
        {"each side changes an element", "", "1.2 012 012 12 3", "1.2 01 01 12 3",
         "1.2 012 01 12 3; ours 1, theirs 1; count both, layout both"},
        {"both make the same change", "", "1.2 01 012 12 03", "1.2 01 012 12 03",
         "1.2 01 012 12 03; ours 0, theirs 0; count both, layout both"},
        {"ours adds a block", "", "1.2 01 012 12 3 04", "1.2 01 01 12 3",
         "1.2 01 01 12 3 04; ours 2, theirs 1; count ours, layout both"},
        {"both add it, each with its own view", "", "1.2 01 012 12 3 04", "1.2 01 012 12 3 34",
         "1.2 01 012 12 3 034; ours 1, theirs 1; count both, layout both"},
        {"ours removes a block theirs left alone", "", "1.2 01 012 12", base,
         "1.2 01 012 12; ours 0, theirs 0; count ours, layout both"},
        {"both remove a block, theirs edits", "", "1.2 01 012 12", "1.2 01 012 2",
         "1.2 01 012 2; ours 0, theirs 1; count both, layout both"},
        {"theirs takes the old layout", "", "1.2 012 012 12 3", "1.000000 01 012 12 3",
         "1.000000 012 012 12 3; ours 1, theirs 0; count both, layout theirs"},
        // Each side makes 0 and 1 mutual its own way; together 1 sees 0 unseen.
        {"pairs one-way anew", "1.2 01 1 2", "1.2 01 01 2", "1.2 0 1 2",
         "1.2 0 01 2; ours 1, theirs 1; count both, layout both; new 1>0"},
        {"ours removes a block theirs changed", "", "1.2 01 012 12", "1.2 01 012 12 13",
         "block 3: removed by ours, changed by theirs"},
        {"theirs removes a block ours made seen", "", "1.2 01 0123 12 3", "1.2 01 012 12",
         "block 1: ours changed whether it sees 3, removed by theirs"},
        {"both change the count", "", "1.2 01 012 12", "1.2 01 012 12 3 4",
         "block count: base 4, ours 3, theirs 5"},
        {"both change the layout", "", "1.000000 01 012 12 3", "1.3 01 012 12 3",
         "layout: base 1.2, ours 1.000000, theirs 1.3"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Merged(*c.base ? c.base : base, c.ours, c.theirs), c.merged) << c.what;
    }
}

}  // namespace
}  // namespace lumark
