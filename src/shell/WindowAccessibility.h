#pragma once

namespace lumark {

class LumarkMain;

// What assistive technology reads beyond the captions: a description of each button and of the
// check box saying what it does and naming its key, if any; status-bar panels that are empty are
// reported as not showing, so a reader skips them.
void DescribeWindowForAccessibility(LumarkMain& window);

}  // namespace lumark
