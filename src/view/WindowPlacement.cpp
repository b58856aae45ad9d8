#include "WindowPlacement.h"

#include <algorithm>

namespace lumark {

namespace {

// `top` moved as little as keeps `height` lines inside `available`, the top first.
int Level(int top, int height, const QRect& available) {
    return std::max(std::min(top, available.bottom() + 1 - height), available.top());
}

}  // namespace

QRect PlaceBeside(const QRect& main, int controlsBottom, QSize wanted, QSize minimum,
                  const QRect& available) {
    QSize size = wanted.boundedTo(available.size());
    const int right = available.right() - main.right();
    const int left = main.left() - available.left();
    if (size.width() <= right) {
        return {QPoint(main.right() + 1, Level(main.top(), size.height(), available)), size};
    }
    if (size.width() <= left) {
        return {QPoint(main.left() - size.width(), Level(main.top(), size.height(), available)),
                size};
    }
    const int room = std::max(left, right);
    if (room >= LeastRoomBeside) {
        size.setWidth(room);
        const int x = room == right ? main.right() + 1 : available.left();
        return {QPoint(x, Level(main.top(), size.height(), available)), size};
    }
    // Over the main window: below its controls, shorter if it must and may be.
    minimum = minimum.boundedTo(size);
    const int below = available.bottom() - std::max(controlsBottom, available.top() - 1);
    size.setHeight(std::max(std::min(size.height(), below), minimum.height()));
    const int top = Level(std::max(controlsBottom + 1, available.top()), size.height(), available);
    return {QPoint(available.right() + 1 - size.width(), top), size};
}

}  // namespace lumark
