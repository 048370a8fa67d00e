#include "toolkit/qt/qt_focus_ring.h"

namespace toolkit::qt {

void drawFocusRing(QPainter& painter, const QRect& box, const QColor& colour, int inset) {
  const QRect r = box.adjusted(inset, inset, -inset, -inset);
  if (r.width() < 4 || r.height() < 4) return;
  painter.fillRect(QRect(r.left(), r.top(), r.width(), 2), colour);
  painter.fillRect(QRect(r.left(), r.bottom() - 1, r.width(), 2), colour);
  painter.fillRect(QRect(r.left(), r.top(), 2, r.height()), colour);
  painter.fillRect(QRect(r.right() - 1, r.top(), 2, r.height()), colour);
}

}  // namespace toolkit::qt
