#pragma once

#include <QAbstractTableModel>
#include <QBrush>
#include <QHash>
#include <QString>
#include <array>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace lumark {

// Fore colours as the list view takes them: RGB with red in the low byte, or, with the high bit
// set, a system colour index in the low bits.
constexpr std::uint32_t SystemWindowTextColour = 0x80000008u;

// A table model that behaves like a report-view list view: column headers (key, text, width in
// twips), list items (key, text) with sub-item texts, and a fore colour per item text and per
// sub-item that reads back exactly as it was set. Column 0 is the items' own text; column k is
// sub-item k. Rows and sub-items are 1-based in the list-view calls, as the list view counts.
//
// A grid shows a few hundred distinct texts in up to 90,000 cells, so a cell holds the number of
// its text in a table of shared texts and its colour: six bytes. Changes made outside a rebuild
// are collected per column and announced once per event-loop turn, one ranged dataChanged per
// run of neighbouring columns with the same changed rows, so a view repaints only what changed.
class ListViewModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    static constexpr int ForeColourRole = Qt::UserRole + 1;  // the raw colour value
    static constexpr int WidthTwipsRole = Qt::UserRole + 2;  // header width in twips
    static constexpr int KeyRole = Qt::UserRole + 3;         // header or item key

    explicit ListViewModel(QObject* parent = nullptr);

    // Structural changes between BeginRebuild and EndRebuild are announced as one reset.
    // KeepPlace: the same document read again, so views keep their scroll position and focus
    // across this reset (RebuildKeepsPlace says so while it is announced).
    enum class Rebuild { Afresh, KeepPlace };
    void BeginRebuild(Rebuild kind = Rebuild::Afresh);
    void EndRebuild();
    bool RebuildKeepsPlace() const { return keepPlace_; }

    void ClearListItems();
    void ClearColumnHeaders();
    void AddColumnHeader(const QString& key, const QString& text, int widthTwips);
    // Inserts a list item at 1-based `position`.
    void AddListItem(int position, const QString& key, const QString& text);
    // Sizes the storage for `items` list items at once, so adding them one by one never moves
    // the cells.
    void ReserveListItems(int items);

    int ColumnHeaderCount() const { return static_cast<int>(headers_.size()); }
    int ListItemCount() const { return rows_; }
    QString ColumnHeaderKey(int position) const;
    QString ColumnHeaderText(int position) const;
    int ColumnHeaderWidth(int position) const;
    QString ListItemKey(int row) const;

    QString ItemText(int row) const { return TextAt(Cell(row, 0)); }
    QString SubItemText(int row, int subItem) const { return TextAt(Cell(row, subItem)); }
    void SetSubItemText(int row, int subItem, const QString& text);

    std::uint32_t ItemForeColour(int row) const { return colour_[Cell(row, 0)]; }
    std::uint32_t SubItemForeColour(int row, int subItem) const {
        return colour_[Cell(row, subItem)];
    }
    void SetItemForeColour(int row, std::uint32_t colour);
    void SetSubItemForeColour(int row, int subItem, std::uint32_t colour);

    // The list view's Refresh: announce pending changes, so the views repaint what changed.
    void Refresh();

    // QAbstractTableModel
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

  signals:
    // Emitted at most once per event-loop turn, after the changes have been announced.
    void RefreshRequested();

  protected:
    // `text`: the cell's text changed, not only its colour. Announced with the next flush.
    void MarkChanged(int row0, int column0, bool text);

  private:
    struct Header {
        QString Key;
        QString Text;
        int WidthTwips = 0;
    };

    int Columns() const { return static_cast<int>(headers_.size()); }
    // Checked: a row or sub-item that does not exist is an error, as in the list view.
    std::size_t Cell(int row, int column) const;
    std::size_t Stride() const { return static_cast<std::size_t>(Columns() > 1 ? Columns() : 1); }
    const QString& TextAt(std::size_t cell) const;
    void SetTextAt(std::size_t cell, const QString& text);
    std::uint16_t TextNumber(const QString& text);
    void ForgetChanges();
    void ScheduleFlush();
    void Flush();

    // Numbers of texts; a cell whose text did not fit into the table keeps its own.
    using TextId = std::uint16_t;
    static constexpr TextId OwnText = 0xFFFF;
    static constexpr std::size_t MaxSharedTexts = 4096;

    std::vector<Header> headers_;
    std::vector<QString> itemKeys_;
    int rows_ = 0;
    std::vector<TextId> text_;           // rows_ x Stride(), row-major
    std::vector<std::uint32_t> colour_;  // same layout
    std::vector<QString> texts_;         // TextId -> text; 0 is the empty text
    // Texts mostly arrive as copies of a few shared strings: a small table indexed by their data
    // address finds them without hashing their characters.
    struct Recent {
        const QChar* Data = nullptr;
        qsizetype Size = -1;
        TextId Id = 0;
    };
    std::array<Recent, 1024> recent_{};
    QHash<QString, TextId> byContent_;
    std::unordered_map<std::size_t, QString> ownTexts_;  // cell -> text, for OwnText cells
    // The brush of the last RGB colour drawn: painting asks for it per cell, so it is made once.
    mutable std::uint32_t brushColour_ = SystemWindowTextColour;
    mutable QVariant brush_;
    bool rebuilding_ = false;
    bool keepPlace_ = false;
    bool flushPending_ = false;
    bool refreshPending_ = false;
    // Rows changed since the last announcement, per 0-based column (empty if top > bottom), and
    // the columns that have any.
    std::vector<int> changedTop_, changedBottom_;
    std::vector<char> changedText_;  // per column: a text changed, not only colours
    std::vector<int> changedColumns_;
};

}  // namespace lumark
