#pragma once

#include <span>
#include <string_view>

namespace toolkit {

// What draws a face that a layout names when that face is not installed. The
// stand-ins are wider than the faces they replace, so they are drawn narrower
// (stretch) and, for the seven-segment face, smaller, so that every text a layout
// shows whole still fits its box.
struct FontStandIn {
  std::string_view face;     // as a layout names it
  std::string_view standIn;  // installed or bundled family drawn in its place
  double sizeScale;          // multiplies the point size
  int stretch;               // width in percent of the stand-in's normal width
};

std::span<const FontStandIn> fontStandIns();

// The stand-in for `face`, letter case ignored; nullptr when it has none.
const FontStandIn* findFontStandIn(std::string_view face);

}  // namespace toolkit
