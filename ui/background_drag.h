#pragma once

class QMouseEvent;
class QWidget;

namespace tablift {

// The program's windows and dialogs move when dragged by any point of their
// background, as by their caption. Call from mousePressEvent: true when the
// press started such a move (the event is then accepted), false when the
// widget's own handling should go on.
bool StartBackgroundDrag(QWidget& widget, QMouseEvent* event);

}  // namespace tablift
