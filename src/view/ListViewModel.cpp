#include "ListViewModel.h"

#include <QBrush>
#include <QColor>
#include <QGuiApplication>
#include <QPalette>
#include <algorithm>

#include "LumarkError.h"

namespace lumark {

namespace {

QBrush BrushFor(std::uint32_t colour) {
    if (colour & 0x80000000u) {
        // System colours: only the ones a list view uses for text are told apart.
        const QPalette palette = QGuiApplication::palette();
        switch (colour & 0xFFu) {
            case 5:
                return palette.brush(QPalette::Window);
            case 18:
                return palette.brush(QPalette::ButtonText);
            default:
                return palette.brush(QPalette::WindowText);
        }
    }
    return QBrush(QColor(static_cast<int>(colour & 0xFFu), static_cast<int>((colour >> 8) & 0xFFu),
                         static_cast<int>((colour >> 16) & 0xFFu)));
}

}  // namespace

ListViewModel::ListViewModel(QObject* parent) : QAbstractTableModel(parent) {}

void ListViewModel::BeginRebuild() {
    if (rebuilding_) {
        return;
    }
    beginResetModel();
    rebuilding_ = true;
}

void ListViewModel::EndRebuild() {
    if (!rebuilding_) {
        return;
    }
    rebuilding_ = false;
    top_ = left_ = 1;
    bottom_ = right_ = 0;
    endResetModel();
}

void ListViewModel::ClearListItems() {
    const bool own = !rebuilding_;
    BeginRebuild();
    rows_ = 0;
    itemKeys_.clear();
    text_.clear();
    colour_.clear();
    if (own) {
        EndRebuild();
    }
}

void ListViewModel::ClearColumnHeaders() {
    const bool own = !rebuilding_;
    BeginRebuild();
    headers_.clear();
    if (rows_ == 0) {
        text_.clear();  // keeps the storage for the next rebuild
        colour_.clear();
        if (own) {
            EndRebuild();
        }
        return;
    }
    // Items keep their own text and colour; their sub-items are gone with the columns.
    std::vector<QString> text(static_cast<std::size_t>(rows_));
    std::vector<std::uint32_t> colour(static_cast<std::size_t>(rows_), SystemWindowTextColour);
    for (int r = 0; r < rows_ && !text_.empty(); ++r) {
        const std::size_t stride = text_.size() / static_cast<std::size_t>(rows_);
        text[static_cast<std::size_t>(r)] = text_[static_cast<std::size_t>(r) * stride];
        colour[static_cast<std::size_t>(r)] = colour_[static_cast<std::size_t>(r) * stride];
    }
    text_ = std::move(text);
    colour_ = std::move(colour);
    if (own) {
        EndRebuild();
    }
}

void ListViewModel::AddColumnHeader(const QString& key, const QString& text, int widthTwips) {
    const bool own = !rebuilding_;
    BeginRebuild();
    const std::size_t oldStride = static_cast<std::size_t>(std::max(Columns(), 1));
    headers_.push_back(Header{key, text, widthTwips});
    const std::size_t newStride = static_cast<std::size_t>(std::max(Columns(), 1));
    if (newStride != oldStride && rows_ > 0) {
        std::vector<QString> newText(static_cast<std::size_t>(rows_) * newStride);
        std::vector<std::uint32_t> newColour(newText.size(), SystemWindowTextColour);
        for (std::size_t r = 0; r < static_cast<std::size_t>(rows_); ++r) {
            for (std::size_t c = 0; c < oldStride; ++c) {
                newText[r * newStride + c] = std::move(text_[r * oldStride + c]);
                newColour[r * newStride + c] = colour_[r * oldStride + c];
            }
        }
        text_ = std::move(newText);
        colour_ = std::move(newColour);
    }
    if (own) {
        EndRebuild();
    }
}

void ListViewModel::AddListItem(int position, const QString& key, const QString& text) {
    if (position < 1 || position > rows_ + 1) {
        throw LumarkError("list item position " + std::to_string(position) + " is out of range");
    }
    const bool own = !rebuilding_;
    BeginRebuild();
    const std::size_t stride = static_cast<std::size_t>(std::max(Columns(), 1));
    const auto at = static_cast<std::ptrdiff_t>(static_cast<std::size_t>(position - 1) * stride);
    if (text_.capacity() < text_.size() + stride) {
        // Rebuilds add hundreds of rows one by one; grow the flat arrays geometrically.
        const std::size_t capacity = std::max(text_.size() + stride, 2 * text_.capacity());
        text_.reserve(capacity);
        colour_.reserve(capacity);
    }
    text_.insert(text_.begin() + at, stride, QString());
    colour_.insert(colour_.begin() + at, stride, SystemWindowTextColour);
    text_[static_cast<std::size_t>(at)] = text;
    itemKeys_.insert(itemKeys_.begin() + (position - 1), key);
    ++rows_;
    if (own) {
        EndRebuild();
    }
}

QString ListViewModel::ColumnHeaderKey(int position) const {
    return headers_.at(static_cast<std::size_t>(position - 1)).Key;
}

QString ListViewModel::ColumnHeaderText(int position) const {
    return headers_.at(static_cast<std::size_t>(position - 1)).Text;
}

int ListViewModel::ColumnHeaderWidth(int position) const {
    return headers_.at(static_cast<std::size_t>(position - 1)).WidthTwips;
}

QString ListViewModel::ListItemKey(int row) const {
    return itemKeys_.at(static_cast<std::size_t>(row - 1));
}

std::size_t ListViewModel::Cell(int row, int column) const {
    if (row < 1 || row > rows_ || column < 0 || column >= std::max(Columns(), 1)) {
        throw LumarkError("list view cell (" + std::to_string(row) + ", " + std::to_string(column) +
                          ") does not exist");
    }
    return static_cast<std::size_t>(row - 1) * static_cast<std::size_t>(std::max(Columns(), 1)) +
           static_cast<std::size_t>(column);
}

void ListViewModel::SetSubItemText(int row, int subItem, const QString& text) {
    if (subItem < 1) {
        throw LumarkError("sub-item " + std::to_string(subItem) + " does not exist");
    }
    QString& cell = text_[Cell(row, subItem)];
    if (cell.isSharedWith(text)) {
        return;  // cells share their texts, so rewriting the same one is common and a no-op
    }
    cell = text;
    MarkChanged(row - 1, subItem);
}

void ListViewModel::SetItemForeColour(int row, std::uint32_t colour) {
    colour_[Cell(row, 0)] = colour;
    MarkChanged(row - 1, 0);
}

void ListViewModel::SetSubItemForeColour(int row, int subItem, std::uint32_t colour) {
    if (subItem < 1) {
        throw LumarkError("sub-item " + std::to_string(subItem) + " does not exist");
    }
    colour_[Cell(row, subItem)] = colour;
    MarkChanged(row - 1, subItem);
}

void ListViewModel::Refresh() {
    refreshPending_ = true;
    ScheduleFlush();
}

void ListViewModel::MarkChanged(int row0, int column0) {
    if (rebuilding_) {
        return;  // the reset announces everything
    }
    if (top_ > bottom_) {
        top_ = bottom_ = row0;
        left_ = right_ = column0;
    } else {
        top_ = std::min(top_, row0);
        bottom_ = std::max(bottom_, row0);
        left_ = std::min(left_, column0);
        right_ = std::max(right_, column0);
    }
    ScheduleFlush();
}

void ListViewModel::ScheduleFlush() {
    if (flushPending_) {
        return;
    }
    flushPending_ = true;
    QMetaObject::invokeMethod(
        this, [this] { Flush(); }, Qt::QueuedConnection);
}

void ListViewModel::Flush() {
    flushPending_ = false;
    if (top_ <= bottom_ && bottom_ < rows_ && right_ < columnCount()) {
        const QModelIndex topLeft = index(top_, left_);
        const QModelIndex bottomRight = index(bottom_, right_);
        top_ = left_ = 1;
        bottom_ = right_ = 0;
        emit dataChanged(topLeft, bottomRight, {Qt::DisplayRole, Qt::ForegroundRole});
    }
    top_ = left_ = 1;
    bottom_ = right_ = 0;
    if (refreshPending_) {
        refreshPending_ = false;
        emit RefreshRequested();
    }
}

int ListViewModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int ListViewModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Columns();
}

QVariant ListViewModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_ || index.column() >= Columns()) {
        return {};
    }
    const std::size_t cell = Cell(index.row() + 1, index.column());
    switch (role) {
        case Qt::DisplayRole:
            return text_[cell];
        case Qt::ForegroundRole:
            return BrushFor(colour_[cell]);
        case ForeColourRole:
            return QVariant::fromValue(colour_[cell]);
        case KeyRole:
            return index.column() == 0 ? itemKeys_[static_cast<std::size_t>(index.row())]
                                       : QVariant();
        default:
            return {};
    }
}

QVariant ListViewModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= Columns()) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    const Header& header = headers_[static_cast<std::size_t>(section)];
    switch (role) {
        case Qt::DisplayRole:
            return header.Text;
        case WidthTwipsRole:
            return header.WidthTwips;
        case KeyRole:
            return header.Key;
        default:
            return {};
    }
}

}  // namespace lumark
