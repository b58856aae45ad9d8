#include "ListViewModel.h"

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

ListViewModel::ListViewModel(QObject* parent) : QAbstractTableModel(parent) {
    texts_.emplace_back();
    byContent_.insert(texts_.front(), 0);
}

void ListViewModel::BeginRebuild(Rebuild kind) {
    if (rebuilding_) {
        return;
    }
    keepPlace_ = kind == Rebuild::KeepPlace;
    beginResetModel();
    rebuilding_ = true;
}

void ListViewModel::EndRebuild() {
    if (!rebuilding_) {
        return;
    }
    rebuilding_ = false;
    ForgetChanges();
    endResetModel();
    keepPlace_ = false;
}

void ListViewModel::ClearListItems() {
    const bool own = !rebuilding_;
    BeginRebuild();
    rows_ = 0;
    itemKeys_.clear();
    text_.clear();  // keeps the storage for the next rebuild
    colour_.clear();
    ownTexts_.clear();
    if (own) {
        EndRebuild();
    }
}

void ListViewModel::ClearColumnHeaders() {
    const bool own = !rebuilding_;
    BeginRebuild();
    headers_.clear();
    if (rows_ > 0) {
        // Items keep their own text and colour; their sub-items are gone with the columns.
        const std::size_t stride = text_.size() / static_cast<std::size_t>(rows_);
        std::unordered_map<std::size_t, QString> ownTexts;
        for (std::size_t r = 0; r < static_cast<std::size_t>(rows_); ++r) {
            text_[r] = text_[r * stride];
            colour_[r] = colour_[r * stride];
            if (text_[r] == OwnText) {
                ownTexts[r] = ownTexts_[r * stride];
            }
        }
        text_.resize(static_cast<std::size_t>(rows_));
        colour_.resize(static_cast<std::size_t>(rows_));
        ownTexts_ = std::move(ownTexts);
    }
    if (own) {
        EndRebuild();
    }
}

void ListViewModel::AddColumnHeader(const QString& key, const QString& text, int widthTwips) {
    const bool own = !rebuilding_;
    BeginRebuild();
    const std::size_t oldStride = Stride();
    headers_.push_back(Header{key, text, widthTwips});
    const std::size_t newStride = Stride();
    if (newStride != oldStride && rows_ > 0) {
        std::vector<TextId> newText(static_cast<std::size_t>(rows_) * newStride, 0);
        std::vector<std::uint32_t> newColour(newText.size(), SystemWindowTextColour);
        std::unordered_map<std::size_t, QString> ownTexts;
        for (std::size_t r = 0; r < static_cast<std::size_t>(rows_); ++r) {
            for (std::size_t c = 0; c < oldStride; ++c) {
                newText[r * newStride + c] = text_[r * oldStride + c];
                newColour[r * newStride + c] = colour_[r * oldStride + c];
                if (text_[r * oldStride + c] == OwnText) {
                    ownTexts[r * newStride + c] = ownTexts_[r * oldStride + c];
                }
            }
        }
        text_ = std::move(newText);
        colour_ = std::move(newColour);
        ownTexts_ = std::move(ownTexts);
    }
    if (own) {
        EndRebuild();
    }
}

void ListViewModel::ReserveListItems(int items) {
    const std::size_t cells = static_cast<std::size_t>(std::max(items, 0)) * Stride();
    text_.reserve(cells);
    colour_.reserve(cells);
}

void ListViewModel::AddListItem(int position, const QString& key, const QString& text) {
    if (position < 1 || position > rows_ + 1) {
        throw LumarkError("list item position " + std::to_string(position) + " is out of range");
    }
    const bool own = !rebuilding_;
    BeginRebuild();
    const std::size_t stride = Stride();
    const std::size_t at = static_cast<std::size_t>(position - 1) * stride;
    if (at < text_.size() && !ownTexts_.empty()) {
        // Cells below move down one row; so do the texts they keep of their own.
        std::unordered_map<std::size_t, QString> ownTexts;
        for (auto& [cell, own] : ownTexts_) {
            ownTexts[cell >= at ? cell + stride : cell] = std::move(own);
        }
        ownTexts_ = std::move(ownTexts);
    }
    text_.insert(text_.begin() + static_cast<std::ptrdiff_t>(at), stride, TextId{0});
    colour_.insert(colour_.begin() + static_cast<std::ptrdiff_t>(at), stride,
                   SystemWindowTextColour);
    SetTextAt(at, text);
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
    return static_cast<std::size_t>(row - 1) * Stride() + static_cast<std::size_t>(column);
}

const QString& ListViewModel::TextAt(std::size_t cell) const {
    const TextId id = text_[cell];
    return id == OwnText ? ownTexts_.at(cell) : texts_[id];
}

std::uint16_t ListViewModel::TextNumber(const QString& text) {
    const auto address = reinterpret_cast<std::uintptr_t>(text.constData());
    Recent& recent = recent_[((address >> 4) ^ (address >> 14)) % recent_.size()];
    // The table's own copy keeps the data alive, so an equal address and size is the same text.
    if (recent.Data == text.constData() && recent.Size == text.size()) {
        return recent.Id;
    }
    TextId id = OwnText;
    const auto equal = byContent_.constFind(text);
    if (equal != byContent_.constEnd()) {
        id = *equal;
    } else if (texts_.size() < MaxSharedTexts) {
        id = static_cast<TextId>(texts_.size());
        texts_.push_back(text);
        byContent_.insert(text, id);
    }
    if (id != OwnText && texts_[id].isSharedWith(text)) {
        recent = Recent{text.constData(), text.size(), id};
    }
    return id;
}

void ListViewModel::SetTextAt(std::size_t cell, const QString& text) {
    const TextId id = TextNumber(text);
    if (text_[cell] == OwnText && id != OwnText) {
        ownTexts_.erase(cell);
    }
    text_[cell] = id;
    if (id == OwnText) {
        ownTexts_[cell] = text;
    }
}

void ListViewModel::SetSubItemText(int row, int subItem, const QString& text) {
    if (subItem < 1) {
        throw LumarkError("sub-item " + std::to_string(subItem) + " does not exist");
    }
    const std::size_t cell = Cell(row, subItem);
    if (text_[cell] != OwnText && texts_[text_[cell]].isSharedWith(text)) {
        return;  // cells share their texts, so rewriting the same one is common and a no-op
    }
    SetTextAt(cell, text);
    MarkChanged(row - 1, subItem, true);
}

void ListViewModel::SetItemForeColour(int row, std::uint32_t colour) {
    colour_[Cell(row, 0)] = colour;
    MarkChanged(row - 1, 0, false);
}

void ListViewModel::SetSubItemForeColour(int row, int subItem, std::uint32_t colour) {
    if (subItem < 1) {
        throw LumarkError("sub-item " + std::to_string(subItem) + " does not exist");
    }
    colour_[Cell(row, subItem)] = colour;
    MarkChanged(row - 1, subItem, false);
}

void ListViewModel::Refresh() {
    refreshPending_ = true;
    ScheduleFlush();
}

void ListViewModel::MarkChanged(int row0, int column0, bool text) {
    if (rebuilding_) {
        return;  // the reset announces everything
    }
    const auto column = static_cast<std::size_t>(column0);
    if (column >= changedTop_.size()) {
        changedTop_.resize(column + 1, 1);
        changedBottom_.resize(column + 1, 0);
        changedText_.resize(column + 1, 0);
    }
    changedText_[column] |= text ? 1 : 0;
    int& top = changedTop_[column];
    int& bottom = changedBottom_[column];
    if (top > bottom) {
        top = bottom = row0;
        changedColumns_.push_back(column0);
    } else {
        top = std::min(top, row0);
        bottom = std::max(bottom, row0);
    }
    ScheduleFlush();
}

void ListViewModel::ForgetChanges() {
    for (const int column : changedColumns_) {
        changedTop_[static_cast<std::size_t>(column)] = 1;
        changedBottom_[static_cast<std::size_t>(column)] = 0;
        changedText_[static_cast<std::size_t>(column)] = 0;
    }
    changedColumns_.clear();
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
    // Neighbouring columns with the same changed rows make one rectangle.
    std::vector<int> columns;
    columns.swap(changedColumns_);
    std::sort(columns.begin(), columns.end());
    struct Range {
        int top, left, bottom, right;
        bool text;
    };
    std::vector<Range> ranges;
    for (const int column : columns) {
        const auto c = static_cast<std::size_t>(column);
        const int top = changedTop_[c];
        const int bottom = changedBottom_[c];
        const bool text = changedText_[c] != 0;
        changedTop_[c] = 1;
        changedBottom_[c] = 0;
        changedText_[c] = 0;
        if (!ranges.empty() && ranges.back().right == column - 1 && ranges.back().top == top &&
            ranges.back().bottom == bottom && ranges.back().text == text) {
            ranges.back().right = column;
        } else {
            ranges.push_back(Range{top, column, bottom, column, text});
        }
    }
    for (const Range& range : ranges) {
        if (range.bottom < rows_ && range.right < columnCount()) {
            // A colour-only change says so: what depends on the texts can skip it.
            emit dataChanged(index(range.top, range.left), index(range.bottom, range.right),
                             range.text ? QList<int>{Qt::DisplayRole, Qt::ForegroundRole}
                                        : QList<int>{Qt::ForegroundRole});
        }
    }
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
            return TextAt(cell);
        case Qt::ForegroundRole: {
            const std::uint32_t colour = colour_[cell];
            if (colour == SystemWindowTextColour) {
                return {};  // the view's own text colour
            }
            if (colour & 0x80000000u) {
                return BrushFor(colour);  // follows the palette; no caller sets these
            }
            if (colour != brushColour_ || !brush_.isValid()) {
                brushColour_ = colour;
                brush_ = BrushFor(colour);
            }
            return brush_;
        }
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
