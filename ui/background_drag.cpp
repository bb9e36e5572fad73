#include "ui/background_drag.h"

#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace tablift {

bool StartBackgroundDrag(QWidget& widget, QMouseEvent* event) {
  QWindow* window = widget.windowHandle();
  if (event->button() != Qt::LeftButton || window == nullptr || !window->startSystemMove()) {
    return false;
  }
  event->accept();
  return true;
}

}  // namespace tablift
