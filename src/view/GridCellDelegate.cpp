#include "GridCellDelegate.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QWidget>

namespace lumark {

void GridCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    if (!opt.icon.isNull() || (opt.features & (QStyleOptionViewItem::HasCheckIndicator |
                                               QStyleOptionViewItem::WrapText))) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    const QWidget* widget = opt.widget;
    const QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    // What the style draws for a plain item, without asking it to lay out the text to find
    // where the text goes: with no icon or check box the text takes the whole cell.
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &opt, painter, widget);
    if (opt.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(opt);
        focus.rect = opt.rect;
        focus.state |= QStyle::State_KeyboardFocusChange | QStyle::State_Item;
        focus.backgroundColor = opt.palette.color(
            (opt.state & QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled,
            (opt.state & QStyle::State_Selected) ? QPalette::Highlight : QPalette::Window);
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
    }
    // A cell cut by the viewport's left edge, at the row labels, shows no text: its last digits
    // would read as part of the label's number.
    if (opt.text.isEmpty() || opt.rect.left() < 0) {
        return;
    }
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    const QRect textRect = opt.rect.adjusted(margin, 0, -margin, 0);
    if (textRect.isEmpty()) {
        return;
    }
    const QPalette::ColorGroup group = !(opt.state & QStyle::State_Enabled)  ? QPalette::Disabled
                                       : !(opt.state & QStyle::State_Active) ? QPalette::Inactive
                                                                             : QPalette::Normal;
    const QPalette::ColorRole role =
        (opt.state & QStyle::State_Selected) ? QPalette::HighlightedText : QPalette::Text;
    const QString& text = opt.text;

    const QStaticText& laidOut = LaidOut(text, opt.font);
    const QSizeF size = laidOut.size();
    qreal x = textRect.left();
    if (opt.displayAlignment & Qt::AlignRight) {
        x = textRect.right() + 1 - size.width();
    } else if (opt.displayAlignment & Qt::AlignHCenter) {
        x = textRect.left() + (textRect.width() - size.width()) / 2;
    }
    qreal y = textRect.top() + (textRect.height() - size.height()) / 2;
    if (opt.displayAlignment & Qt::AlignTop) {
        y = textRect.top();
    } else if (opt.displayAlignment & Qt::AlignBottom) {
        y = textRect.bottom() + 1 - size.height();
    }
    painter->save();
    painter->setFont(opt.font);
    painter->setPen(opt.palette.color(group, role));
    if (size.width() > textRect.width()) {
        painter->setClipRect(textRect, Qt::IntersectClip);
    }
    painter->drawStaticText(QPointF(x, y), laidOut);
    painter->restore();
}

const QStaticText& GridCellDelegate::LaidOut(const QString& text, const QFont& font) const {
    if (font != font_) {
        font_ = font;
        texts_.clear();
    }
    auto found = texts_.find(text);
    if (found == texts_.end()) {
        QStaticText laidOut(text);
        laidOut.setTextFormat(Qt::PlainText);
        laidOut.prepare(QTransform(), font);
        found = texts_.insert(text, laidOut);
    }
    return *found;
}

}  // namespace lumark
