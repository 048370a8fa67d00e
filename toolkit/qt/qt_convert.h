#pragma once

#include <QColor>
#include <QCursor>
#include <QFont>
#include <QPalette>
#include <QRect>
#include <span>

#include "toolkit/layout.h"
#include "toolkit/resources.h"
#include "toolkit/scheme_colours.h"
#include "toolkit/units.h"

namespace toolkit::qt {

// 0x00BBGGRR, or a system colour (0x800000xx) taken from the platform palette.
QColor toQColor(Colour colour, const QPalette& palette);
// ... from the application's palette, the system's colours whatever a window set.
QColor toQColor(Colour colour);

// What the application's palette is like: a palette whose window text is
// lighter than its window is a dark one. Qt 6.4 tells no high-contrast
// setting; a high-contrast palette is followed as the light or dark one it is.
ColourScheme currentScheme();

// The named face when it is installed, else its stand-in, at the given size.
QFont toQFont(const Font& font, std::span<const FontStandIn> standIns);

// The picture as a mouse pointer; the system's pointing hand when there is none.
QCursor loadHandCursor(const PointerPicture& pointer);

// A box in twips to a pixel rectangle: both edges are rounded, so boxes that
// meet or overlap in twips meet or overlap the same way in pixels.
QRect toPixels(Twips left, Twips top, Twips width, Twips height);

Qt::Alignment toQtAlignment(Alignment alignment);

}  // namespace toolkit::qt
