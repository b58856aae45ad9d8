#include "GridKeys.h"

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

}  // namespace

void ConnectGridKeys(LumarkMain& window) {
    QObject::connect(
        window.ListView, &MatrixGridView::GridSpacePressed, &window,
        [&window](Qt::KeyboardModifiers modifiers) { SpacePressed(window, modifiers); });
}

}  // namespace lumark
