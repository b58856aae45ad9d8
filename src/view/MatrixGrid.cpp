#include "MatrixGrid.h"

#include <QString>
#include <array>
#include <vector>

#include "ListViewFunktionen.h"
#include "LumarkModule.h"

namespace lumark {

namespace {

// Every cell shows one of these texts; cells share them instead of owning a copy.
struct CellTexts {
    std::array<QString, VisibilityMatrix::Size> Number;
    std::array<QString, VisibilityMatrix::Size> Diagonal;
    QString Hidden = QStringLiteral("  ---");

    CellTexts() {
        for (int i = 0; i < VisibilityMatrix::Size; ++i) {
            Number[static_cast<std::size_t>(i)] = QString::number(i);
            Diagonal[static_cast<std::size_t>(i)] = QStringLiteral("(%1)").arg(i);
        }
    }
};

const CellTexts& Texts() {
    static const CellTexts texts;
    return texts;
}

// Block numbers are index - 1; an index beyond the shared texts still gets its own text.
QString NumberText(int number) {
    return number >= 0 && number < VisibilityMatrix::Size
               ? Texts().Number[static_cast<std::size_t>(number)]
               : QString::number(number);
}

}  // namespace

void FillMatrixGrid(const VisibilityDocument& doc, ListViewModel& grid, GridPlace place) {
    std::vector<std::int16_t> selected;
    if (place == GridPlace::Kept) {
        const int columns = grid.ColumnHeaderCount();
        for (std::int16_t b = 1; b <= doc.BlockCount && b < columns && b <= grid.ListItemCount();
             ++b) {
            if (SelectedBlock(grid, b)) {
                selected.push_back(b);
            }
        }
    }
    grid.BeginRebuild(place == GridPlace::Kept ? ListViewModel::Rebuild::KeepPlace
                                               : ListViewModel::Rebuild::Afresh);
    grid.ClearListItems();
    grid.ClearColumnHeaders();
    grid.AddColumnHeader(QString(), QString(), 0);
    for (std::int16_t i = 1; i <= doc.BlockCount; ++i) {
        grid.AddColumnHeader(QStringLiteral("B%1").arg(i), NumberText(i - 1),
                             MatrixColumnWidthTwips);
    }
    grid.ReserveListItems(doc.BlockCount);
    for (std::int16_t i = 1; i <= doc.BlockCount; ++i) {
        grid.AddListItem(i, QStringLiteral("Z%1").arg(i), NumberText(i - 1));
    }
    for (std::int16_t c = 1; c <= doc.BlockCount; ++c) {
        for (std::int16_t r = 1; r <= doc.BlockCount; ++r) {
            std::int16_t column = c;
            std::int16_t row = r;
            RefreshMatrixCell(doc, grid, column, row);
        }
    }
    // Coloured inside the rebuild: the reset announces them with everything else.
    for (const std::int16_t b : selected) {
        for (std::int16_t r = 1; r <= doc.BlockCount; ++r) {
            grid.SetSubItemForeColour(r, b, SelectedColour);
        }
    }
    grid.EndRebuild();  // report view: shown once every cell holds its text
}

void RefreshMatrixCell(const VisibilityDocument& doc, ListViewModel& grid, std::int16_t& column,
                       std::int16_t& row) {
    if (column == 0 || row == 0) {
        return;
    }
    column = LumarkModule::WrapBlockIndex(column, doc.BlockCount);
    row = LumarkModule::WrapBlockIndex(row, doc.BlockCount);
    const std::int16_t element = doc.Matrix.Get(column, row);
    grid.SetSubItemText(row, column, element == True16 ? NumberText(row - 1) : Texts().Hidden);
    if (column == row) {
        grid.SetSubItemText(row, column,
                            row - 1 >= 0 && row - 1 < VisibilityMatrix::Size
                                ? Texts().Diagonal[static_cast<std::size_t>(row - 1)]
                                : QStringLiteral("(%1)").arg(row - 1));
    }
}

}  // namespace lumark
