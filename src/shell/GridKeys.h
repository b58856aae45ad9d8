#pragma once

namespace lumark {

class LumarkMain;

// Editing the grid without a mouse. Space acts as a click on the focused cell, Ctrl+Space as a
// click on its column's header, Ctrl+Shift+Space as a Ctrl+click on that header (adds the
// block). Other combinations with Space do nothing. Plus and minus, on the main keyboard or the
// keypad, are Increase (+) and Decrease (-); Shift+Right and Shift+Left on a diagonal cell
// extend the selection to the next block and move the focus to its diagonal.
void ConnectGridKeys(LumarkMain& window);

}  // namespace lumark
