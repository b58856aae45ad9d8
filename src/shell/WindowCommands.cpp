#include "WindowCommands.h"

#include <QKeySequence>
#include <QPushButton>
#include <QShortcut>
#include <stdexcept>

#include "CommandMenu.h"
#include "DocumentSession.h"
#include "EditHistory.h"
#include "LumarkMain.h"

namespace lumark {

namespace {

// Builds one entry, naming each part as it is given.
class Entry {
  public:
    Entry(const char* id, std::vector<const char*> keys, TakenBy taker = TakenBy::Window) {
        command_.Id = id;
        command_.Keys = std::move(keys);
        command_.Taker = taker;
    }
    Entry& Help(const char* effect) {
        command_.Help = effect;
        return *this;
    }
    Entry& Menu(int slot, const char* text, const char* tip = nullptr) {
        command_.MenuSlot = slot;
        command_.MenuText = text;
        if (tip != nullptr) {
            command_.Tip = tip;
        }
        return *this;
    }
    Entry& Button(QPushButton* LumarkMain::*button, const char* tip, const char* description) {
        command_.Button = button;
        command_.Tip = tip;
        command_.Description = description;
        return *this;
    }
    Entry& Undoable() {
        command_.Undoable = true;
        return *this;
    }
    Entry& Runs(void (*run)(LumarkMain&), Needs need = Needs::Nothing) {
        command_.Run = run;
        command_.Need = need;
        return *this;
    }
    operator WindowCommand() const { return command_; }

  private:
    WindowCommand command_;
};

std::vector<WindowCommand> MakeTable() {
    constexpr TakenBy Focused = TakenBy::Focused;
    return {
        Entry("Load", {"Ctrl+O"})
            .Help("Load")
            .Button(&LumarkMain::Loadcmd, "Open a visibility file ({Load})",
                    "Opens a visibility file. Key: {Load}")
            .Runs([](LumarkMain& w) { w.Loadcmd_Click(); }),
        Entry("Save", {"Ctrl+S"})
            .Help("Save")
            .Button(&LumarkMain::Savecmd,
                    "Write the changes back to the open file ({Save}); Save As: {SaveAs}",
                    "Writes the open file back after asking. Key: {Save}")
            .Runs([](LumarkMain& w) { w.Savecmd_Click(); }),
        Entry("SaveAs", {"Ctrl+Shift+S"})
            .Help("Save As")
            .Menu(61, "Save As\u2026", "Write the document, in its layout, to a file you pick")
            .Runs([](LumarkMain& w) { w.SaveAs(); }, Needs::Document),
        Entry("Close", {"Ctrl+W", "Ctrl+Q"}).Help("Close").Runs([](LumarkMain& w) { w.close(); }),
        Entry("Undo", {"Ctrl+Z"})
            .Help("Undo")
            .Menu(51, "Undo", "Take back the last edit")
            .Runs([](LumarkMain& w) { w.Undo_Activated(); }, Needs::UndoStep),
        Entry("Redo", {"Ctrl+Shift+Z", "Ctrl+Y"})
            .Help("Redo")
            .Menu(52, "Redo", "Do the edit taken back again")
            .Runs([](LumarkMain& w) { w.Redo_Activated(); }, Needs::RedoStep),
        Entry("SelectAll", {"Ctrl+A", "Ctrl+Shift+A"})
            .Help("Select all blocks")
            .Menu(13, "Select All")
            .Button(&LumarkMain::cmdSelAll, "Select every block ({SelectAll})",
                    "Selects every block column. In the grid: {SelectAll}")
            .Runs([](LumarkMain& w) { w.cmdSelAll_Click(); }),
        Entry("SelectBlocks", {"Ctrl+B"})
            .Help("Select blocks by a list such as 100-140, 290-5 or 3, 7, 10-12")
            .Menu(11, "Select blocks\u2026",
                  "Select the blocks of a list such as 100-140, 290-5 or 3, 7, 10-12")
            .Runs([](LumarkMain& w) { w.SelectBlocks_Key(); }, Needs::Document),
        Entry("SelectNone", {"Esc"})
            .Help("Select no block")
            .Menu(12, "Select none", "Select no block")
            .Runs([](LumarkMain& w) { w.SelectNone_Key(); }),
        Entry("SetDistance", {"Ctrl+D"})
            .Help("Set an exact view distance")
            .Menu(21, "Set distance\u2026",
                  "Each selected block sees exactly the number of blocks on each side that you "
                  "enter, and no other")
            .Runs([](LumarkMain& w) { w.SetDistance_Key(); }, Needs::Document),
        Entry("Cross", {"Ctrl+M"})
            .Help("Cross Fw & Bw")
            .Menu(31, "Cross Fw && Bw")
            .Button(&LumarkMain::XCheckcmd,
                    "Make visibility mutual: whenever a block sees another, that one sees it "
                    "back ({Cross})",
                    "Makes visibility mutual: whenever a block sees another, the other is made "
                    "to see it too")
            .Undoable()
            .Runs([](LumarkMain& w) { w.XCheckcmd_Click(1); }),
        Entry("RemoveOneWay", {"Ctrl+Shift+M"})
            .Help("Remove one-way")
            .Menu(32, "Remove one-way",
                  "Blocks seen only one way are seen neither way: the counterpart of Cross Fw "
                  "& Bw")
            .Runs([](LumarkMain& w) { w.RemoveOneWay_Key(); }, Needs::Document),
        Entry("GoToBlock", {"Ctrl+G"})
            .Help("Go to block")
            .Menu(41, "Go to block\u2026", "Scroll the grid to a block you name")
            .Runs([](LumarkMain& w) { w.GoToBlock_Key(); }, Needs::Document),
        Entry("Overview", {"F2"})
            .Help("Overview of the whole relation")
            .Menu(42, "Overview", "Show the whole relation at once in a small window")
            .Runs([](LumarkMain& w) { w.Overview_Key(); }, Needs::Document),
        // The grid's own keys (MatrixGridView, GridKeys.cpp).
        Entry("ClickCell", {"Space"}, Focused).Help("Click the focused cell"),
        Entry("SelectColumn", {"Ctrl+Space"}, Focused).Help("Select its block"),
        Entry("AddColumn", {"Ctrl+Shift+Space"}, Focused).Help("Add its block to the selection"),
        Entry("Increase", {"+"}, Focused)
            .Help("Increase, Decrease the selected blocks' view")
            .Menu(22, "Increase (+)")
            .Button(&LumarkMain::cmdIncrease,
                    "Each selected block also sees the nearest unseen block on each side "
                    "({Increase} in the grid)",
                    "Each selected block sees one more block on each side")
            .Undoable()
            .Runs([](LumarkMain& w) { w.cmdIncrease_Click(); }),
        Entry("Decrease", {"-"}, Focused)
            .Menu(23, "Decrease (-)")
            .Button(&LumarkMain::cmdDecrease,
                    "Each selected block stops seeing its farthest seen block on each side "
                    "({Decrease} in the grid)",
                    "Each selected block sees one block fewer on each side")
            .Undoable()
            .Runs([](LumarkMain& w) { w.cmdDecrease_Click(); }),
        Entry("SetMinimum", {})
            .Menu(24, "Set Minimum")
            .Button(&LumarkMain::cmdSetMinimum,
                    "Each selected block sees at least the number of nearest blocks on each side "
                    "that you enter",
                    "Asks for a number; each selected block then sees at least that many blocks "
                    "on each side")
            .Undoable()
            .Runs([](LumarkMain& w) { w.cmdSetMinimum_Click(); }),
        Entry("ExtendSelection", {"Shift+Right/Left on a diagonal cell"}, Focused)
            .Help("Extend the selection"),
        Entry("CommandMenu", {"Menu", "Shift+F10"})
            .Help("Every command, with its key")
            .Runs([](LumarkMain& w) { OpenCommandMenuByKey(w); }),
        Entry("NextControl", {"Tab", "Shift+Tab"}, Focused).Help("Next, previous control"),
        Entry("MoveInGrid", {"Arrows", "Page Up/Down", "Home/End"}, Focused)
            .Help("Move in the grid"),
        Entry("About", {"F1"}).Help("This box").Runs([](LumarkMain& w) { w.ShowAbout(); }),
    };
}

QString Joined(const std::vector<const char*>& keys, const char* between) {
    QString text;
    for (const char* key : keys) {
        text +=
            (text.isEmpty() ? QString() : QString::fromLatin1(between)) + QString::fromLatin1(key);
    }
    return text;
}

}  // namespace

const std::vector<WindowCommand>& WindowCommands() {
    static const std::vector<WindowCommand> table = MakeTable();
    return table;
}

const WindowCommand& WindowCommandById(std::string_view id) {
    for (const WindowCommand& command : WindowCommands()) {
        if (id == command.Id) {
            return command;
        }
    }
    throw std::logic_error("no window command " + std::string(id));
}

QString WithKeys(const char* text) {
    QString filled = QString::fromUtf8(text);
    for (const WindowCommand& command : WindowCommands()) {
        if (!command.Keys.empty()) {
            filled.replace(QStringLiteral("{%1}").arg(QLatin1String(command.Id)),
                           QString::fromLatin1(command.Keys.front()));
        }
    }
    return filled;
}

QString HistoryKeysText() {
    return QStringLiteral("Undo: ") + Joined(WindowCommandById("Undo").Keys, " or ") +
           QStringLiteral("    Redo: ") + Joined(WindowCommandById("Redo").Keys, " or ");
}

bool Available(const WindowCommand& command, LumarkMain& window) {
    switch (command.Need) {
        case Needs::Nothing:
            return true;
        case Needs::Document:
            return !window.Session().FilePath().empty();
        case Needs::UndoStep:
            return window.History().CanUndo();
        case Needs::RedoStep:
            return window.History().CanRedo();
    }
    return false;
}

std::vector<KeyListRow> KeyListRows() {
    std::vector<KeyListRow> rows;
    for (const WindowCommand& command : WindowCommands()) {
        if (command.Keys.empty()) {
            continue;
        }
        const std::string keys = Joined(command.Keys, ", ").toStdString();
        if (*command.Help == '\0' && !rows.empty()) {
            rows.back().Action += " and " + keys;
        } else {
            rows.push_back({keys, command.Help});
        }
    }
    return rows;
}

void ConnectWindowCommands(LumarkMain& window) {
    for (const WindowCommand& command : WindowCommands()) {
        if (command.Taker == TakenBy::Window && command.Run != nullptr) {
            for (const char* key : command.Keys) {
                auto* shortcut = new QShortcut(
                    QKeySequence::fromString(QLatin1String(key), QKeySequence::PortableText),
                    &window);
                shortcut->setContext(Qt::WindowShortcut);
                QObject::connect(shortcut, &QShortcut::activated, &window,
                                 [&window, run = command.Run] { run(window); });
            }
        }
        if (command.Button != nullptr) {
            QPushButton* button = window.*command.Button;
            button->setToolTip(
                WithKeys(command.Tip) +
                (command.Undoable ? QStringLiteral("\n") + HistoryKeysText() : QString()));
            button->setAccessibleDescription(WithKeys(command.Description));
        }
    }
}

}  // namespace lumark
