#pragma once

#include <QColor>
#include <QPainter>
#include <QRect>

namespace toolkit::qt {

// The focus indicator of the controls the toolkit draws itself: a ring two
// pixels wide in the colour of the control's own text, `inset` pixels inside
// its box, so it shows on any face the text shows on.
void drawFocusRing(QPainter& painter, const QRect& box, const QColor& colour, int inset);

}  // namespace toolkit::qt
