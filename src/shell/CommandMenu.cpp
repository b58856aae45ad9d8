#include "CommandMenu.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeySequence>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <functional>

#include "EditHistory.h"
#include "LumarkMain.h"
#include "MatrixGridView.h"

namespace lumark {

namespace {

const char* const MenuName = "CommandMenu";

// What an entry needs before it can do anything; without it, it is shown disabled.
enum class Needs { Nothing, Document, UndoStep, RedoStep };

struct Entry {
    QString Text;  // empty: a separator
    const char* Keys;
    QString Tip;
    std::function<void(LumarkMain&)> Run;
    Needs Need = Needs::Nothing;
};

// The buttons' tooltips say what they do in their first line; the menu says the same.
QString ButtonTip(const QPushButton* button) {
    return button->toolTip().section(QLatin1Char('\n'), 0, 0);
}

std::vector<Entry> Entries(const LumarkMain& w) {
    return {
        {QString::fromUtf8("Select blocks\u2026"), "Ctrl+B",
         QStringLiteral("Select the blocks of a list such as 100-140, 290-5 or 3, 7, 10-12"),
         [](LumarkMain& m) { m.SelectBlocks_Key(); }, Needs::Document},
        {QStringLiteral("Select none"), "Esc", QStringLiteral("Select no block"),
         [](LumarkMain& m) { m.SelectNone_Key(); }},
        {QStringLiteral("Select All"), "Ctrl+A", ButtonTip(w.cmdSelAll),
         [](LumarkMain& m) { m.cmdSelAll_Click(); }},
        {},
        {QString::fromUtf8("Set distance\u2026"), "Ctrl+D",
         QStringLiteral("Each selected block sees exactly the number of blocks on each side that "
                        "you enter, and no other"),
         [](LumarkMain& m) { m.SetDistance_Key(); }, Needs::Document},
        {QStringLiteral("Increase (+)"), "+", ButtonTip(w.cmdIncrease),
         [](LumarkMain& m) { m.cmdIncrease_Click(); }},
        {QStringLiteral("Decrease (-)"), "-", ButtonTip(w.cmdDecrease),
         [](LumarkMain& m) { m.cmdDecrease_Click(); }},
        {QStringLiteral("Set Minimum"), "", ButtonTip(w.cmdSetMinimum),
         [](LumarkMain& m) { m.cmdSetMinimum_Click(); }},
        {},
        {QStringLiteral("Cross Fw && Bw"), "Ctrl+M", ButtonTip(w.XCheckcmd),
         [](LumarkMain& m) { m.XCheckcmd_Click(1); }},
        {QStringLiteral("Remove one-way"), "Ctrl+Shift+M",
         QStringLiteral("Blocks seen only one way are seen neither way: the counterpart of Cross "
                        "Fw & Bw"),
         [](LumarkMain& m) { m.RemoveOneWay_Key(); }, Needs::Document},
        {},
        {QString::fromUtf8("Go to block\u2026"), "Ctrl+G",
         QStringLiteral("Scroll the grid to a block you name"),
         [](LumarkMain& m) { m.GoToBlock_Key(); }, Needs::Document},
        {QStringLiteral("Overview"), "F2",
         QStringLiteral("Show the whole relation at once in a small window"),
         [](LumarkMain& m) { m.Overview_Key(); }, Needs::Document},
        {},
        {QStringLiteral("Undo"), "Ctrl+Z", QStringLiteral("Take back the last edit"),
         [](LumarkMain& m) { m.Undo_Activated(); }, Needs::UndoStep},
        {QStringLiteral("Redo"), "Ctrl+Shift+Z", QStringLiteral("Do the edit taken back again"),
         [](LumarkMain& m) { m.Redo_Activated(); }, Needs::RedoStep},
        {},
        {QString::fromUtf8("Save As\u2026"), "Ctrl+Shift+S",
         QStringLiteral("Write the document, in its layout, to a file you pick"),
         [](LumarkMain& m) { m.SaveAs(); }, Needs::Document},
    };
}

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
    for (const Entry& entry : Entries(window)) {
        if (entry.Text.isEmpty()) {
            menu->addSeparator();
            continue;
        }
        // The key is only shown: the window's own shortcuts take it, wherever the focus is.
        const QString keys = QString::fromLatin1(entry.Keys);
        QAction* action =
            menu->addAction(keys.isEmpty() ? entry.Text : entry.Text + QLatin1Char('\t') + keys);
        action->setStatusTip(entry.Tip);
        action->setToolTip(entry.Tip);
        const auto run = entry.Run;
        QObject::connect(action, &QAction::triggered, &window, [&window, run] { run(window); });
        switch (entry.Need) {
            case Needs::Nothing:
                break;
            case Needs::Document:
                action->setEnabled(!window.Session().FilePath().empty());
                break;
            case Needs::UndoStep:
                action->setEnabled(window.History().Steps().canUndo());
                break;
            case Needs::RedoStep:
                action->setEnabled(window.History().Steps().canRedo());
                break;
        }
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

void ConnectCommandMenu(LumarkMain& window) {
    auto* onGrid = new ContextMenuFilter(window, false);
    window.ListView->viewport()->installEventFilter(onGrid);
    window.ListView->horizontalHeader()->viewport()->installEventFilter(onGrid);
    window.ListView->verticalHeader()->viewport()->installEventFilter(onGrid);
    window.installEventFilter(new ContextMenuFilter(window, true));
    for (const QKeySequence& keys :
         {QKeySequence(Qt::Key_Menu), QKeySequence(Qt::SHIFT | Qt::Key_F10)}) {
        auto* shortcut = new QShortcut(keys, &window);
        shortcut->setContext(Qt::WindowShortcut);
        QObject::connect(shortcut, &QShortcut::activated, &window,
                         [&window] { window.ShowCommandMenu(KeyboardMenuPosition(window)); });
    }
}

}  // namespace lumark
