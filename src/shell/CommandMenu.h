#pragma once

class QMenu;

namespace lumark {

class LumarkMain;

// The menu of every command in the window's table (WindowCommands.h), each entry with its key and
// a status tip saying what it does, each calling the same handler as its button or key. Owned by
// `window`; not yet shown.
QMenu* MakeCommandMenu(LumarkMain& window);

// Opens that menu on a right click on the grid, its column headers or its row labels, and where
// the platform makes a context menu event of the Menu key.
void ConnectCommandMenu(LumarkMain& window);

// Opens that menu for its keys: at the focused cell, or below the focused control.
void OpenCommandMenuByKey(LumarkMain& window);

}  // namespace lumark
