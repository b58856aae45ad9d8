#include "GridKeys.h"

#include <QEvent>
#include <QKeyEvent>
#include <QModelIndex>

#include "GridInteraction.h"
#include "LumarkMain.h"
#include "MatrixGridView.h"

namespace lumark {

namespace {

void SpacePressed(LumarkMain& window, Qt::KeyboardModifiers modifiers) {
    MatrixGridView& view = *window.ListView;
    const QModelIndex focused = view.currentIndex();
    if (!focused.isValid()) {
        return;
    }
    const Qt::KeyboardModifiers held = modifiers & ~Qt::KeypadModifier;
    if (held == Qt::NoModifier) {
        // The click handlers act on the last pointer position: put it on the cell.
        view.scrollTo(focused);
        window.Interaction().PointerAt(view.visualRect(focused).center());
        window.ListView_Click();
    } else if (held == Qt::ControlModifier) {
        window.ColumnClickWithCtrl(focused.column(), false);
    } else if (held == (Qt::ControlModifier | Qt::ShiftModifier)) {
        window.ColumnClickWithCtrl(focused.column(), true);
    }
}

// Keys the table would otherwise take for itself: plus and minus for a keyboard search, Shift
// and an arrow for moving the focus.
class CommandKeys : public QObject {
  public:
    explicit CommandKeys(LumarkMain& window) : QObject(window.ListView), window_(window) {}

  protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) {
            return false;
        }
        const auto* key = static_cast<QKeyEvent*>(event);
        // Plus needs Shift on many layouts; only Ctrl, Alt and Meta make it another key.
        const Qt::KeyboardModifiers held =
            key->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
        if (held == Qt::NoModifier && key->key() == Qt::Key_Plus) {
            window_.cmdIncrease_Click();
            return true;
        }
        if (held == Qt::NoModifier && key->key() == Qt::Key_Minus) {
            window_.cmdDecrease_Click();
            return true;
        }
        if ((key->key() == Qt::Key_Right || key->key() == Qt::Key_Left) &&
            (key->modifiers() & ~Qt::KeypadModifier) == Qt::ShiftModifier) {
            return Extend(key->key() == Qt::Key_Right ? 1 : -1);
        }
        return false;
    }

  private:
    // Only from a diagonal cell; elsewhere Shift and an arrow move the focus as they always did.
    bool Extend(int step) {
        MatrixGridView& view = *window_.ListView;
        const QModelIndex focused = view.currentIndex();
        if (!focused.isValid() || focused.column() != focused.row() + 1) {
            return false;
        }
        const std::int16_t to =
            window_.ExtendSelection_Key(static_cast<std::int16_t>(focused.column()), step);
        const QModelIndex diagonal = view.model()->index(to - 1, to);
        view.selectionModel()->setCurrentIndex(diagonal, QItemSelectionModel::NoUpdate);
        view.scrollTo(diagonal);
        return true;
    }

    LumarkMain& window_;
};

}  // namespace

void ConnectGridKeys(LumarkMain& window) {
    window.ListView->installEventFilter(new CommandKeys(window));
    QObject::connect(
        window.ListView, &MatrixGridView::GridSpacePressed, &window,
        [&window](Qt::KeyboardModifiers modifiers) { SpacePressed(window, modifiers); });
}

}  // namespace lumark
