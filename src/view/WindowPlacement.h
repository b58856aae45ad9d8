#pragma once

#include <QRect>
#include <QSize>

namespace lumark {

// Room a side of the screen must have, beside the main window, for a tool window to open there
// rather than over the main window.
constexpr int LeastRoomBeside = 400;

// Where a tool window opens beside the main window, all in the same global coordinates,
// frames included: `main` is the main window, `controlsBottom` the last line of its controls,
// `available` the screen's area for windows. The window keeps its `wanted` size where it fits
// (never more than `available`): to the right of `main`, else to its left. Else, where a side
// has LeastRoomBeside or more, it takes the whole width of the side with more room, and its
// content is to shrink to that. Failing that it goes over `main`, at the right edge of the
// screen and below its controls, no lower than its `minimum` height allows. Beside `main` it is
// level with main's top, moved down or up as far as the screen needs.
QRect PlaceBeside(const QRect& main, int controlsBottom, QSize wanted, QSize minimum,
                  const QRect& available);

}  // namespace lumark
