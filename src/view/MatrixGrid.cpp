#include "MatrixGrid.h"

#include <QString>
#include <array>

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

void FillMatrixGrid(MatrixGridModel& grid, GridPlace place) {
    const VisibilityDocument& doc = grid.Document();
    grid.BeginRebuild(place == GridPlace::Kept ? ListViewModel::Rebuild::KeepPlace
                                               : ListViewModel::Rebuild::Afresh);
    // Inside the rebuild: the reset announces the selection with everything else.
    if (place == GridPlace::Kept) {
        grid.Selection().KeepUpTo(doc.BlockCount);
    } else {
        grid.Selection().Clear();
    }
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
    grid.EndRebuild();  // report view: shown once every header and row is in place
}

QString MatrixCellText(const VisibilityDocument& doc, int row, int column) {
    if (column == row) {
        return row - 1 >= 0 && row - 1 < VisibilityMatrix::Size
                   ? Texts().Diagonal[static_cast<std::size_t>(row - 1)]
                   : QStringLiteral("(%1)").arg(row - 1);
    }
    return doc.Matrix.Get(column, row) == True16 ? NumberText(row - 1) : Texts().Hidden;
}

}  // namespace lumark
