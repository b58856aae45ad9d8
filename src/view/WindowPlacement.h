#pragma once

#include <QRect>
#include <QSize>

namespace lumark {

// Where a tool window opens beside the main window, all in the same global coordinates,
// frames included: `main` is the main window, `controlsBottom` the last line of its controls,
// `available` the screen's area for windows. The window keeps its `wanted` size where it fits
// (never more than `available`): to the right of `main`, else to its left, else, shrunk to no
// less than `minimum`, on the side with more room; failing that over `main`, at the right edge
// of the screen and below its controls, as low as it must to fit. Beside `main` it is level
// with main's top, moved down or up as far as the screen needs.
QRect PlaceBeside(const QRect& main, int controlsBottom, QSize wanted, QSize minimum,
                  const QRect& available);

}  // namespace lumark
