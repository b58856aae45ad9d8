#include "BlockTooltips.h"

#include <QEvent>
#include <QHeaderView>
#include <QHelpEvent>
#include <QTableView>
#include <QToolTip>
#include <algorithm>

#include "BlockSummary.h"

namespace lumark {

namespace {

class SummaryTips : public QObject {
  public:
    SummaryTips(QTableView& view, const VisibilityDocument& doc)
        : QObject(&view), view_(view), doc_(doc) {
        for (QHeaderView* header : {view.horizontalHeader(), view.verticalHeader()}) {
            header->viewport()->installEventFilter(this);
        }
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::ToolTip) {
            return QObject::eventFilter(watched, event);
        }
        const bool columns = watched == view_.horizontalHeader()->viewport();
        QHeaderView* header = columns ? view_.horizontalHeader() : view_.verticalHeader();
        if (watched != header->viewport()) {
            return QObject::eventFilter(watched, event);
        }
        const auto* help = static_cast<QHelpEvent*>(event);
        const int section = header->logicalIndexAt(help->pos());
        // Column k is block k; row r (0-based) is block r + 1. The grid may still be the last
        // document's while a new one is read: only blocks of both count.
        const int block = columns ? section : section + 1;
        const int blocks = std::min({static_cast<int>(doc_.BlockCount), view_.model()->rowCount(),
                                     view_.model()->columnCount() - 1});
        if (section < 0 || block < 1 || block > blocks) {
            QToolTip::hideText();
            return true;
        }
        const int start = header->sectionViewportPosition(section);
        const QRect area = columns ? QRect(start, 0, header->sectionSize(section), header->height())
                                   : QRect(0, start, header->width(), header->sectionSize(section));
        QToolTip::showText(help->globalPos(), QString::fromStdString(BlockSummary(doc_, block)),
                           header->viewport(), area);
        return true;
    }

  private:
    QTableView& view_;
    const VisibilityDocument& doc_;
};

}  // namespace

void ShowBlockSummaryTooltips(QTableView& view, const VisibilityDocument& doc) {
    new SummaryTips(view, doc);  // owned by the view
}

}  // namespace lumark
