#pragma once

#include <QFont>
#include <QHash>
#include <QStaticText>
#include <QStyledItemDelegate>

namespace lumark {

// Paints grid cells as the style does, but lays out each distinct text once: a grid shows a few
// hundred texts in hundreds of cells per paint, and laying out every cell's text afresh was most
// of the cost of painting. Cells with icons, check boxes or wrapped text are left to the style.
// A cell cut at the viewport's left edge is drawn without its text.
class GridCellDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

  private:
    const QStaticText& LaidOut(const QString& text, const QFont& font) const;

    mutable QFont font_;
    mutable QHash<QString, QStaticText> texts_;
};

}  // namespace lumark
