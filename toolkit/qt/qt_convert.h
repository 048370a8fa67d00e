#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QRect>

#include "toolkit/layout.h"
#include "toolkit/units.h"

namespace toolkit::qt {

// 0x00BBGGRR, or a system colour (0x800000xx) taken from the platform palette.
QColor toQColor(Colour colour, const QPalette& palette);

// The named face when it is installed, else its stand-in, at the given size.
QFont toQFont(const Font& font);

// A box in twips to a pixel rectangle: both edges are rounded, so boxes that
// meet or overlap in twips meet or overlap the same way in pixels.
QRect toPixels(Twips left, Twips top, Twips width, Twips height);

Qt::Alignment toQtAlignment(Alignment alignment);

}  // namespace toolkit::qt
