#pragma once

namespace lumark {

class LumarkMain;

// Editing the grid without a mouse, by the grid's keys of the window's table (WindowCommands.cpp).
// The space bar alone acts as a click on the focused cell, with Ctrl as a click on its column's
// header, with Ctrl and Shift as a Ctrl+click on that header (adds the block); other
// combinations with it do nothing. Plus and minus, on the main keyboard or the keypad, are
// Increase (+) and Decrease (-); Shift with the right or left arrow on a diagonal cell extends
// the selection to the next block and moves the focus to its diagonal.
void ConnectGridKeys(LumarkMain& window);

}  // namespace lumark
