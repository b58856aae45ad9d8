#pragma once

#include <QString>
#include <string>
#include <string_view>
#include <vector>

class QPushButton;

namespace lumark {

class LumarkMain;

// What a command needs before it can do anything; without it, its menu entry is disabled.
enum class Needs { Nothing, Document, UndoStep, RedoStep };

// Who takes a command's keys.
enum class TakenBy {
    Window,   // a shortcut of the whole window, wherever the focus is
    Focused,  // the focused control (the grid, or the focus chain): the keys are only shown here
};

// One command of the window: everything the shortcuts, the menu, the buttons' tooltips, their
// accessible descriptions and the F1 key list say of it. In texts, "{Id}" stands for the first
// key of the command `Id`.
struct WindowCommand {
    const char* Id;
    std::vector<const char*> Keys;  // as shown; a window's key is also read as a key sequence
    TakenBy Taker = TakenBy::Window;
    // The F1 key list's row after the keys. Empty: the keys join the row before with "and".
    const char* Help = "";
    const char* MenuText = nullptr;  // not in the menu without it
    // Place in the menu: the tens are its group, separated from the next group by a line.
    int MenuSlot = 0;
    // The menu's tip, and the first line of the button's tooltip.
    const char* Tip = "";
    QPushButton* LumarkMain::*Button = nullptr;
    const char* Description = "";  // the button's accessible description
    bool Undoable = false;         // the button's tooltip tells the keys that take it back
    void (*Run)(LumarkMain&) = nullptr;
    Needs Need = Needs::Nothing;
};

// Every command and every key the window answers, in the F1 key list's order.
const std::vector<WindowCommand>& WindowCommands();
// The command named `id`; it must exist.
const WindowCommand& WindowCommandById(std::string_view id);

// `text` with each "{Id}" replaced by that command's first key.
QString WithKeys(const char* text);
// The Undo and Redo keys, as the buttons whose edits they take back tell them.
QString HistoryKeysText();
// Whether the command can do anything in the window as it is now.
bool Available(const WindowCommand& command, LumarkMain& window);

// What the user does, and what that does.
struct KeyListRow {
    std::string Action;
    std::string Effect;
};
// The F1 key list, one row for each command with keys.
std::vector<KeyListRow> KeyListRows();

// The window-wide shortcuts, the buttons' tooltips and accessible descriptions; once.
void ConnectWindowCommands(LumarkMain& window);

}  // namespace lumark
