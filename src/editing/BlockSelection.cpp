#include "BlockSelection.h"

namespace lumark {

void BlockSelection::Set(std::int16_t block, bool selected) {
    if (!InRange(block) || Selected(block) == selected) {
        return;
    }
    selected_[static_cast<std::size_t>(block)] = selected ? 1 : 0;
    count_ += selected ? 1 : -1;
    if (listener_) {
        listener_(block);
    }
}

std::vector<std::int16_t> BlockSelection::Blocks() const {
    std::vector<std::int16_t> blocks;
    blocks.reserve(static_cast<std::size_t>(count_));
    for (std::int16_t b = 1; b <= MaxBlock && static_cast<int>(blocks.size()) < count_; ++b) {
        if (Selected(b)) {
            blocks.push_back(b);
        }
    }
    return blocks;
}

void BlockSelection::Clear() {
    KeepUpTo(0);
}

void BlockSelection::KeepUpTo(std::int16_t blockCount) {
    for (std::int16_t b = MaxBlock; b > blockCount && count_ > 0; --b) {
        Set(b, false);
    }
}

bool SelectedBlock(const BlockSelection& selection, std::int16_t block) {
    return selection.Selected(block);
}

namespace ListViewFunktionen {

void SetListViewForeColor(BlockSelection& selection, std::uint32_t colour, std::int32_t column) {
    if (column >= 2 && column <= 301) {
        selection.Set(static_cast<std::int16_t>(column - 1), colour == SelectedColour);
    }
}

}  // namespace ListViewFunktionen
}  // namespace lumark
