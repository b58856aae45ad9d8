#pragma once

class QMenu;

namespace lumark {

class LumarkMain;

// The menu of every command, each entry with its key and a status tip saying what it does, each
// calling the same handler as its button or key. Owned by `window`; not yet shown.
QMenu* MakeCommandMenu(LumarkMain& window);

// Opens that menu on a right click on the grid, its column headers or its row labels, and on
// the Menu key or Shift+F10 wherever the focus is in the window.
void ConnectCommandMenu(LumarkMain& window);

}  // namespace lumark
