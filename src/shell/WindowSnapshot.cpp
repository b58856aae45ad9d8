#include "WindowSnapshot.h"

#include <QPixmap>
#include <QWidget>

namespace lumark {

bool SaveWindowSnapshot(QWidget& window, const QString& path) {
    return window.grab().save(path, "PNG");
}

}  // namespace lumark
