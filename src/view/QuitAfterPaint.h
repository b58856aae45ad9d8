#pragma once

#include <functional>

class QWidget;

namespace lumark {

// For start-up measurements: ends the application's event loop right after the first paint of
// `widget` (and the window's flush to the screen that follows it) at which `ready` holds.
void QuitAfterPaint(QWidget& widget, std::function<bool()> ready);

}  // namespace lumark
