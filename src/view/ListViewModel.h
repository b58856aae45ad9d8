#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <cstdint>
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
// Texts and colours are stored flat (one shared QString and one colour per cell). Changes made
// outside a rebuild are collected and announced as one ranged dataChanged per event-loop turn,
// so a bulk edit costs one repaint.
class ListViewModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    static constexpr int ForeColourRole = Qt::UserRole + 1;  // the raw colour value
    static constexpr int WidthTwipsRole = Qt::UserRole + 2;  // header width in twips
    static constexpr int KeyRole = Qt::UserRole + 3;         // header or item key

    explicit ListViewModel(QObject* parent = nullptr);

    // Structural changes between BeginRebuild and EndRebuild are announced as one reset.
    void BeginRebuild();
    void EndRebuild();

    void ClearListItems();
    void ClearColumnHeaders();
    void AddColumnHeader(const QString& key, const QString& text, int widthTwips);
    // Inserts a list item at 1-based `position`.
    void AddListItem(int position, const QString& key, const QString& text);

    int ColumnHeaderCount() const { return static_cast<int>(headers_.size()); }
    int ListItemCount() const { return rows_; }
    QString ColumnHeaderKey(int position) const;
    QString ColumnHeaderText(int position) const;
    int ColumnHeaderWidth(int position) const;
    QString ListItemKey(int row) const;

    QString ItemText(int row) const { return text_[Cell(row, 0)]; }
    QString SubItemText(int row, int subItem) const { return text_[Cell(row, subItem)]; }
    void SetSubItemText(int row, int subItem, const QString& text);

    std::uint32_t ItemForeColour(int row) const { return colour_[Cell(row, 0)]; }
    std::uint32_t SubItemForeColour(int row, int subItem) const {
        return colour_[Cell(row, subItem)];
    }
    void SetItemForeColour(int row, std::uint32_t colour);
    void SetSubItemForeColour(int row, int subItem, std::uint32_t colour);

    // The list view's Refresh: announce pending changes and ask the views to repaint.
    void Refresh();

    // QAbstractTableModel
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

  signals:
    // Views repaint on this; emitted at most once per event-loop turn.
    void RefreshRequested();

  private:
    struct Header {
        QString Key;
        QString Text;
        int WidthTwips = 0;
    };

    int Columns() const { return static_cast<int>(headers_.size()); }
    // Checked: a row or sub-item that does not exist is an error, as in the list view.
    std::size_t Cell(int row, int column) const;
    void MarkChanged(int row0, int column0);
    void ScheduleFlush();
    void Flush();

    std::vector<Header> headers_;
    std::vector<QString> itemKeys_;
    int rows_ = 0;
    std::vector<QString> text_;          // rows_ x Columns(), row-major
    std::vector<std::uint32_t> colour_;  // same layout
    bool rebuilding_ = false;
    bool flushPending_ = false;
    bool refreshPending_ = false;
    // Bounding box of the cells changed since the last announcement (0-based), empty if top >
    // bottom.
    int top_ = 1, left_ = 1, bottom_ = 0, right_ = 0;
};

}  // namespace lumark
