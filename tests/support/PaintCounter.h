#pragma once

#include <QEvent>
#include <QObject>

namespace lumark {

// Counts the paints of the widgets it is installed on.
class PaintCounter : public QObject {
  public:
    int paints = 0;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace lumark
