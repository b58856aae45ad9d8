#pragma once

namespace lumark {

class LumarkMain;

// What assistive technology reads beyond the captions: a description of the check box saying
// what it does (each button's comes with its command, WindowCommands.h); status-bar panels that
// are empty are reported as not showing, so a reader skips them.
void DescribeWindowForAccessibility(LumarkMain& window);

}  // namespace lumark
