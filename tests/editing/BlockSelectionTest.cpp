#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "BlockSelection.h"

using namespace lumark;

namespace {

std::set<int> Selected(const BlockSelection& selection) {
    std::set<int> blocks;
    for (std::int16_t b = -2; b <= 305; ++b) {
        if (SelectedBlock(selection, b)) {
            blocks.insert(b);
        }
    }
    return blocks;
}

}  // namespace

// Colouring a block's column selects it only in exactly the selection's red.
TEST(BlockSelection, OnlyExactlyRedSelects) {
    // (colour given to column 6 after it was red, still selected)
    const std::pair<std::uint32_t, bool> cases[] = {
        {SelectedColour, true}, {NormalColour, false}, {254, false}, {0x800000FFu, false},
        {0x00FF00u, false},     {0xFF0000u, false},    {0, false},
    };
    for (const auto& [colour, selected] : cases) {
        BlockSelection selection;
        ListViewFunktionen::SetListViewForeColor(selection, SelectedColour, 6);
        ListViewFunktionen::SetListViewForeColor(selection, colour, 6);
        EXPECT_EQ(Selected(selection), selected ? std::set<int>{5} : std::set<int>{}) << colour;
    }
}

// Columns 0 and 1 show no block; blocks run 1..300.
TEST(BlockSelection, OnlyBlockColumnsAndBlocksCount) {
    BlockSelection selection;
    for (const std::int32_t column : {-1, 0, 1, 302, 400}) {
        ListViewFunktionen::SetListViewForeColor(selection, SelectedColour, column);
    }
    selection.Set(0, true);
    selection.Set(301, true);
    EXPECT_EQ(Selected(selection), std::set<int>{});
    EXPECT_EQ(selection.Count(), 0);
    ListViewFunktionen::SetListViewForeColor(selection, SelectedColour, 2);
    ListViewFunktionen::SetListViewForeColor(selection, SelectedColour, 301);
    EXPECT_EQ(Selected(selection), (std::set<int>{1, 300}));
}

TEST(BlockSelection, ClearingAndKeepingTellEachChangedBlockOnce) {
    // (blocks a shorter document keeps, what stays selected of 2, 5, 6 and 300)
    const std::pair<std::int16_t, std::vector<std::int16_t>> cases[] = {
        {300, {2, 5, 6, 300}}, {299, {2, 5, 6}}, {5, {2, 5}}, {1, {}}, {0, {}}};
    for (const auto& [blocks, kept] : cases) {
        BlockSelection selection;
        for (const std::int16_t b : {6, 300, 2, 5, 5}) {
            selection.Set(b, true);
        }
        std::vector<std::int16_t> told;
        selection.SetListener([&](std::int16_t block) { told.push_back(block); });
        selection.KeepUpTo(blocks);
        EXPECT_EQ(selection.Blocks(), kept) << blocks;
        EXPECT_EQ(selection.Count(), static_cast<int>(kept.size())) << blocks;
        EXPECT_EQ(told.size() + kept.size(), 4u) << blocks;
        selection.Clear();
        EXPECT_EQ(told.size(), 4u) << blocks;
        EXPECT_TRUE(selection.Blocks().empty());
    }
}
