#pragma once

namespace lumark {

class LumarkMain;

// Ranges of blocks by mouse on the grid's column headers: Shift+click selects from the anchor to
// the clicked header, Ctrl+Shift+click adds that range, and a press on one header released on
// another selects the headers between (with Ctrl, adds them). Plain and Ctrl clicks stay the
// header's own.
void ConnectHeaderRanges(LumarkMain& window);

}  // namespace lumark
