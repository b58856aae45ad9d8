#include "ListViewFunktionen.h"

#include <string>

#include "LumarkError.h"

namespace lumark {

namespace ListViewFunktionen {

namespace {

void ColourItem(ListViewModel& listView, int item, std::uint32_t colour, std::int32_t column,
                int headers) {
    if (column == 0) {
        listView.SetItemForeColour(item, colour);
        for (int k = 1; k < headers; ++k) {
            listView.SetSubItemForeColour(item, k, colour);
        }
    } else if (column == 1) {
        listView.SetItemForeColour(item, colour);
    } else if (column >= 2) {
        listView.SetSubItemForeColour(item, column - 1, colour);
    } else {
        throw LumarkError("sub-item " + std::to_string(column - 1) + " does not exist");
    }
}

}  // namespace

void SetListViewForeColor(ListViewModel& listView, std::uint32_t colour, std::int32_t column,
                          std::int32_t row) {
    const int headers = listView.ColumnHeaderCount();
    const int items = listView.ListItemCount();
    if (row < 1) {
        for (int item = 1; item <= items; ++item) {
            ColourItem(listView, item, colour, column, headers);
        }
    } else if (row <= items) {
        ColourItem(listView, row, colour, column, headers);
    }
    listView.Refresh();
}

}  // namespace ListViewFunktionen
}  // namespace lumark
