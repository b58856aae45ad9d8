#include "MatrixGridModel.h"

#include <QBrush>
#include <QColor>

#include "GridAccessibility.h"
#include "GridTint.h"
#include "HeaderMarks.h"
#include "LumarkError.h"
#include "MatrixGrid.h"

namespace lumark {

namespace {

// The red of SelectedColour (red in the low byte), made once: painting asks per cell.
const QVariant& SelectedBrush() {
    static const QVariant brush = QBrush(QColor(static_cast<int>(SelectedColour & 0xFFu),
                                                static_cast<int>((SelectedColour >> 8) & 0xFFu),
                                                static_cast<int>((SelectedColour >> 16) & 0xFFu)));
    return brush;
}

}  // namespace

MatrixGridModel::MatrixGridModel(VisibilityDocument& doc, BlockSelection& selection,
                                 QObject* parent)
    : ListViewModel(parent), doc_(doc), selection_(selection) {
    doc_.Watch(this);
    selection_.SetListener([this](std::int16_t block) { SelectionChanged(block); });
    // A cell's tint follows its mirror too: announce the mirror with the change.
    connect(this, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& topLeft, const QModelIndex& bottomRight,
                   const QList<int>& roles) {
                // Only a text change can change a tint; colours and tints themselves cannot.
                if (roles.isEmpty() || roles.contains(Qt::DisplayRole)) {
                    AnnounceMirrorTint(*this, topLeft, bottomRight);
                }
            });
}

MatrixGridModel::~MatrixGridModel() {
    doc_.Watch(nullptr);
    selection_.SetListener({});
}

QString MatrixGridModel::SubItemText(int row, int subItem) const {
    if (!IsBlockCell(row, subItem)) {
        return ListViewModel::SubItemText(row, subItem);
    }
    return MatrixCellText(doc_, row, subItem);
}

std::uint32_t MatrixGridModel::SubItemForeColour(int row, int subItem) const {
    if (!IsBlockCell(row, subItem)) {
        return ListViewModel::SubItemForeColour(row, subItem);
    }
    return SelectedBlock(selection_, static_cast<std::int16_t>(subItem)) ? SelectedColour
                                                                         : NormalColour;
}

void MatrixGridModel::ElementChanged(const ElementChange& change) {
    // Off the diagonal the text shows only seen or not; a diagonal cell's text stays, but what
    // it says to assistive technology changes.
    if (!IsBlockCell(change.Row, change.Column) ||
        (change.Column != change.Row && (change.Before == True16) == (change.After == True16))) {
        return;
    }
    MarkChanged(change.Row - 1, change.Column, true);
}

void MatrixGridModel::SelectionChanged(std::int16_t block) {
    if (!IsBlockCell(1, block)) {
        return;
    }
    MarkChanged(0, block, false);
    MarkChanged(ListItemCount() - 1, block, false);
    Refresh();
}

QVariant MatrixGridModel::data(const QModelIndex& index, int role) const {
    if (role == Qt::AccessibleTextRole) {
        return CellAccessibleText(doc_, *this, index);
    }
    if (role == Qt::BackgroundRole) {
        return index.isValid() ? CellTint(doc_, index.row() + 1, index.column()) : QVariant();
    }
    if (!index.isValid() || !IsBlockCell(index.row() + 1, index.column())) {
        return ListViewModel::data(index, role);
    }
    const bool selected = SelectedBlock(selection_, static_cast<std::int16_t>(index.column()));
    switch (role) {
        case Qt::DisplayRole:
            return MatrixCellText(doc_, index.row() + 1, index.column());
        case Qt::ForegroundRole:
            return selected ? SelectedBrush() : QVariant();  // else the view's own text colour
        case ForeColourRole:
            return QVariant::fromValue(selected ? SelectedColour : NormalColour);
        default:
            return {};
    }
}

QVariant MatrixGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role == Qt::AccessibleTextRole && orientation == Qt::Horizontal) {
        return HeaderAccessibleText(*this, section);
    }
    const QVariant mark = HeaderMark(*this, section, orientation, role);
    return mark.isValid() ? mark : ListViewModel::headerData(section, orientation, role);
}

Qt::ItemFlags MatrixGridModel::flags(const QModelIndex& index) const {
    if (index.isValid() && index.column() == 0) {
        return Qt::ItemNeverHasChildren;
    }
    return ListViewModel::flags(index);
}

}  // namespace lumark
