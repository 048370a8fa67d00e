#pragma once

#include <QColor>
#include <QCursor>
#include <QFont>
#include <QPalette>
#include <QRect>
#include <span>

#include "toolkit/layout.h"
#include "toolkit/resources.h"
#include "toolkit/units.h"

namespace toolkit::qt {

// 0x00BBGGRR, or a system colour (0x800000xx) taken from the platform palette.
QColor toQColor(Colour colour, const QPalette& palette);

// The named face when it is installed, else its stand-in, at the given size.
QFont toQFont(const Font& font, std::span<const FontStandIn> standIns);

// The picture as a mouse pointer; the system's pointing hand when there is none.
QCursor loadHandCursor(const PointerPicture& pointer);

// A box in twips to a pixel rectangle: both edges are rounded, so boxes that
// meet or overlap in twips meet or overlap the same way in pixels.
QRect toPixels(Twips left, Twips top, Twips width, Twips height);

Qt::Alignment toQtAlignment(Alignment alignment);

}  // namespace toolkit::qt
