#include "CommandMenu.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>
#include <algorithm>
#include <vector>

#include "LumarkMain.h"
#include "MatrixGridView.h"
#include "WindowCommands.h"

namespace lumark {

namespace {

const char* const MenuName = "CommandMenu";

// Where a menu opened from the keyboard appears: at the focused cell when the grid has the
// focus and the cell is in view, else below the focused control.
QPoint KeyboardMenuPosition(LumarkMain& window) {
    MatrixGridView& grid = *window.ListView;
    QWidget* focus = QApplication::focusWidget();
    if (focus == &grid || focus == grid.viewport()) {
        const QRect cell = grid.visualRect(grid.currentIndex());
        if (cell.isValid() && grid.viewport()->rect().contains(cell.center())) {
            return grid.viewport()->mapToGlobal(cell.center());
        }
        return grid.viewport()->mapToGlobal(grid.viewport()->rect().center());
    }
    if (focus != nullptr && window.isAncestorOf(focus)) {
        return focus->mapToGlobal(QPoint(0, focus->height()));
    }
    return window.mapToGlobal(window.rect().center());
}

// Right clicks on the grid and its headers; the Menu key where the platform makes a context menu
// event of it, which reaches the window when the focused control has no menu of its own.
class ContextMenuFilter : public QObject {
  public:
    ContextMenuFilter(LumarkMain& window, bool keyboardOnly)
        : QObject(&window), window_(window), keyboardOnly_(keyboardOnly) {}

  protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        if (event->type() != QEvent::ContextMenu) {
            return false;
        }
        const auto* menuEvent = static_cast<QContextMenuEvent*>(event);
        const bool keyboard = menuEvent->reason() == QContextMenuEvent::Keyboard;
        if (keyboardOnly_ && !keyboard) {
            return false;  // a right click on a button or the frame: no menu there
        }
        window_.ShowCommandMenu(keyboard ? KeyboardMenuPosition(window_) : menuEvent->globalPos());
        return true;
    }

  private:
    LumarkMain& window_;
    const bool keyboardOnly_;
};

}  // namespace

QMenu* MakeCommandMenu(LumarkMain& window) {
    auto* menu = new QMenu(&window);
    menu->setObjectName(QString::fromLatin1(MenuName));
    std::vector<const WindowCommand*> entries;
    for (const WindowCommand& command : WindowCommands()) {
        if (command.MenuText != nullptr) {
            entries.push_back(&command);
        }
    }
    std::sort(entries.begin(), entries.end(),
              [](const auto* a, const auto* b) { return a->MenuSlot < b->MenuSlot; });
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const WindowCommand* entry = entries[i];
        if (i > 0 && entry->MenuSlot / 10 != entries[i - 1]->MenuSlot / 10) {
            menu->addSeparator();
        }
        // The key is only shown: the window's own shortcuts take it, wherever the focus is.
        const QString text = QString::fromUtf8(entry->MenuText);
        QAction* action = menu->addAction(
            entry->Keys.empty() ? text
                                : text + QLatin1Char('\t') + QLatin1String(entry->Keys.front()));
        const QString tip = WithKeys(entry->Tip);
        action->setStatusTip(tip);
        action->setToolTip(tip);
        QObject::connect(action, &QAction::triggered, &window,
                         [&window, run = entry->Run] { run(window); });
        action->setEnabled(Available(*entry, window));
    }
    menu->setToolTipsVisible(true);
    return menu;
}

void LumarkMain::ShowCommandMenu(QPoint globalPos) {
    // The Menu key can arrive both as a key and as a context menu event: one menu for both.
    const auto* open = findChild<QMenu*>(QString::fromLatin1(MenuName), Qt::FindDirectChildrenOnly);
    if (open != nullptr && open->isVisible()) {
        return;
    }
    QMenu* menu = MakeCommandMenu(*this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(globalPos);
}

void OpenCommandMenuByKey(LumarkMain& window) {
    window.ShowCommandMenu(KeyboardMenuPosition(window));
}

void ConnectCommandMenu(LumarkMain& window) {
    auto* onGrid = new ContextMenuFilter(window, false);
    window.ListView->viewport()->installEventFilter(onGrid);
    window.ListView->horizontalHeader()->viewport()->installEventFilter(onGrid);
    window.ListView->verticalHeader()->viewport()->installEventFilter(onGrid);
    window.installEventFilter(new ContextMenuFilter(window, true));
}

}  // namespace lumark
