#pragma once

#include <cstdint>

#include "ListViewModel.h"

namespace lumark {

// The selection lives only in the grid's text colours: a block is selected when the diagonal
// cell of its column is drawn in exactly this red.
constexpr std::uint32_t SelectedColour = 255;
constexpr std::uint32_t NormalColour = SystemWindowTextColour;

// Whether block `block` (1-based) is a selected block: its diagonal cell reads back as exactly
// SelectedColour. Throws LumarkError when the grid has no such cell.
bool SelectedBlock(const ListViewModel& grid, std::int16_t block);

namespace ListViewFunktionen {

// Colours cells of any list-view model. column 0: the item text and every sub-item; 1: the
// item text only; k >= 2: sub-item k - 1. row < 1: every item; a row past the last: none.
// Always ends with Refresh(), which repaints at most once per event-loop turn. A sub-item that
// does not exist is an error (LumarkError): cells coloured before it keep their colour and the
// refresh is skipped.
void SetListViewForeColor(ListViewModel& listView, std::uint32_t colour, std::int32_t column,
                          std::int32_t row);

}  // namespace ListViewFunktionen
}  // namespace lumark
