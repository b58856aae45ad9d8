#pragma once

#include <QString>

class QWidget;

namespace lumark {

// Renders `window` into a PNG at `path`; false when it could not be written.
bool SaveWindowSnapshot(QWidget& window, const QString& path);

}  // namespace lumark
