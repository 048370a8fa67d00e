#pragma once

#include <span>
#include <string_view>

namespace toolkit {

// What draws a face that a layout names when that face is not installed. The
// stand-ins are wider than the faces they replace, so they are drawn narrower
// (stretch) and, for the seven-segment face, smaller, so that every text a layout
// shows whole still fits its box. The seven-segment stand-in's space is a fifth of
// its digit width, so words run together unless the gaps are widened; its point
// has no width of its own and, slanted, runs into the next digit unless letters
// get a little room ("203.0.113.7" would read "2030.1137").
struct FontStandIn {
  std::string_view face;     // as a layout names it
  std::string_view standIn;  // installed or bundled family drawn in its place
  double sizeScale;          // multiplies the point size
  int stretch;               // width in percent of the stand-in's normal width
  double wordSpacing;        // extra space between words, in ems of the drawn size
  double letterSpacing;      // extra space between letters, in ems of the drawn size
};

// A mouse pointer drawn from a picture, and the point of it that clicks.
struct PointerPicture {
  std::string_view picture;  // picture name as layouts give them; empty: the system's own
  int hotX = 0, hotY = 0;    // pixels from the picture's top-left corner
};

// What the program ships for its windows beyond the layout tables, handed to
// the backend when it is made. Plain views of data that lives as long as the
// program; the backend knows no name of its own. Empty: system pointers and
// installed faces only.
struct Resources {
  PointerPicture handPointer;                   // MousePointer::Hand
  std::span<const std::string_view> fontFiles;  // font files to load for this process
  std::span<const FontStandIn> fontStandIns;
};

// The stand-in for `face`, letter case ignored; nullptr when it has none.
const FontStandIn* findFontStandIn(std::span<const FontStandIn> standIns, std::string_view face);

}  // namespace toolkit
