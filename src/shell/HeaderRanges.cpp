#include "HeaderRanges.h"

#include <QEvent>
#include <QHeaderView>
#include <QMouseEvent>

#include "LumarkMain.h"
#include "MatrixGridView.h"

namespace lumark {

namespace {

// Watches the header's viewport, which receives its mouse events before the header does.
class HeaderRangeFilter : public QObject {
  public:
    HeaderRangeFilter(LumarkMain& window, QHeaderView& header)
        : QObject(&header), window_(window), header_(header) {}

  protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick &&
            type != QEvent::MouseButtonRelease) {
            return false;
        }
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton) {
            return false;
        }
        const int section = header_.logicalIndexAt(mouse->position().toPoint());
        const bool add = mouse->modifiers().testFlag(Qt::ControlModifier);
        if (type != QEvent::MouseButtonRelease) {
            pressed_ = section;
            // A Shift+click never reaches the header, so it is no plain click as well. The label
            // column's header keeps its own meaning, Select All.
            shiftPress_ = section > 0 && mouse->modifiers().testFlag(Qt::ShiftModifier);
            return shiftPress_;
        }
        const int pressed = pressed_;
        const bool shiftPress = shiftPress_;
        pressed_ = -1;
        shiftPress_ = false;
        if (shiftPress) {
            window_.HeaderRange_Click(section > 0 ? section : pressed, add);
            return true;
        }
        if (pressed >= 0 && section >= 0 && section != pressed) {
            window_.HeaderDrag(pressed, section, add);
        }
        return false;  // the header ends its press; a release on the pressed header is a click
    }

  private:
    LumarkMain& window_;
    QHeaderView& header_;
    int pressed_ = -1;
    bool shiftPress_ = false;
};

}  // namespace

void ConnectHeaderRanges(LumarkMain& window) {
    QHeaderView& header = *window.ListView->horizontalHeader();
    header.viewport()->installEventFilter(new HeaderRangeFilter(window, header));
}

}  // namespace lumark
