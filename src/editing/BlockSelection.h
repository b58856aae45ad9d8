#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace lumark {

// Which blocks are selected, and whether a column header has been clicked yet (until then
// nothing clears the selection). Standard C++ only, so the editing rules can read it anywhere.
class BlockSelection {
  public:
    // Hears each block whose selection changed.
    using Listener = std::function<void(std::int16_t block)>;

    // False for a block outside 1..300.
    bool Selected(std::int16_t block) const {
        return InRange(block) && selected_[static_cast<std::size_t>(block)] != 0;
    }
    // Blocks outside 1..300 are ignored.
    void Set(std::int16_t block, bool selected);
    // The selected blocks, ascending.
    std::vector<std::int16_t> Blocks() const;
    int Count() const { return count_; }
    // Every block unselected.
    void Clear();
    // Blocks past `blockCount` unselected, for a document that has fewer.
    void KeepUpTo(std::int16_t blockCount);

    void SetListener(Listener listener) { listener_ = std::move(listener); }

    // Set by every column-header click and every range or list selection, never cleared.
    bool ColumnSelectionMade = false;

  private:
    static bool InRange(std::int16_t block) { return block >= 1 && block <= MaxBlock; }

    static constexpr std::int16_t MaxBlock = 300;
    std::vector<char> selected_ = std::vector<char>(MaxBlock + 1, 0);
    int count_ = 0;
    Listener listener_;
};

// Colours as the grid shows them; the selection is what is drawn in exactly this red.
constexpr std::uint32_t SelectedColour = 255;
constexpr std::uint32_t NormalColour = 0x80000008u;

// Whether block `block` (1-based) is a selected block.
bool SelectedBlock(const BlockSelection& selection, std::int16_t block);

namespace ListViewFunktionen {

// Colours the column of block `column - 1`: exactly SelectedColour selects it, any other colour
// unselects it. Columns below 2 show no block and change nothing.
void SetListViewForeColor(BlockSelection& selection, std::uint32_t colour, std::int32_t column);

}  // namespace ListViewFunktionen
}  // namespace lumark
