#pragma once

// Which colours a control's text and face take under the system's colour
// scheme. A layout mixes fixed colours with system colours; where the system's
// change (a dark palette, a high-contrast theme), a fixed text over a system
// face (or the other way round) can vanish. The rule is kept here once:
//   - high contrast: every text takes the system's colours, and so does its face;
//   - otherwise a text and its face either both follow the system or both stay
//     as designed: a system colour paired with a fixed one takes its value in
//     the standard scheme the layout was drawn in;
//   - a disabled caption on a fixed face keeps the system's etched grey in a
//     light scheme (as designed), and in a dark one, whose greys would sink
//     into the face, is written in its own colour.

#include <optional>

#include "toolkit/layout.h"
#include "toolkit/units.h"

namespace toolkit {

// What the system's colours are like now.
struct ColourScheme {
  bool highContrast = false;  // the user turned high contrast on
  bool dark = false;          // the window's text is lighter than the window
};

// A text and what it is drawn on: 0x00BBGGRR, or a system colour for the
// backend to look up.
struct TextColours {
  Colour text = 0;
  std::optional<Colour> face;  // none: transparent, its container shows through
  bool etched = false;         // a disabled caption in the system's etched grey
};

TextColours textColours(const ControlLayout& layout, bool enabled, const ColourScheme& scheme);

// A system colour's value in the standard (light) scheme; other colours as they are.
Colour standardValue(Colour colour);

// WCAG 2 relative luminance and contrast ratio of two 0x00BBGGRR colours.
double relativeLuminance(Colour colour);
double contrastRatio(Colour a, Colour b);

// A scheme whose window text is lighter than its window is a dark one.
bool isDarkScheme(Colour windowText, Colour window);

}  // namespace toolkit
