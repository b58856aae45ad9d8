#include "QuitAfterPaint.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <utility>

namespace lumark {

namespace {

class PaintWatcher : public QObject {
  public:
    PaintWatcher(QWidget& widget, std::function<bool()> ready)
        : QObject(&widget), ready_(std::move(ready)) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && ready_()) {
            watched->removeEventFilter(this);
            // The window is flushed after all its widgets have painted, before the loop turns.
            QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
        }
        return false;
    }

  private:
    std::function<bool()> ready_;
};

}  // namespace

void QuitAfterPaint(QWidget& widget, std::function<bool()> ready) {
    widget.installEventFilter(new PaintWatcher(widget, std::move(ready)));
}

}  // namespace lumark
