#pragma once

namespace lumark {

class LumarkMain;

// Editing the grid without a mouse. Space acts as a click on the focused cell, Ctrl+Space as a
// click on its column's header, Ctrl+Shift+Space as a Ctrl+click on that header (adds the
// block). Other combinations with Space do nothing.
void ConnectGridKeys(LumarkMain& window);

}  // namespace lumark
