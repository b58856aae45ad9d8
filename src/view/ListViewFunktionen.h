#pragma once

#include <cstdint>

#include "BlockSelection.h"
#include "ListViewModel.h"

namespace lumark {

static_assert(NormalColour == SystemWindowTextColour);

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
