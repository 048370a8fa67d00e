#pragma once

#include <cmath>
#include <cstdint>

namespace toolkit {

// Positions and sizes are in twips, 1/1440 inch: 15 twips to a logical pixel.
using Twips = double;
constexpr int kTwipsPerPixel = 15;

// Converts an edge position to logical pixels. Both edges of a box are rounded
// (not its width), so boxes that share or overlap an edge in twips still do in pixels.
inline int twipsToPixels(Twips twips) {
  return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}
inline Twips pixelsToTwips(int pixels) {
  return static_cast<Twips>(pixels) * kTwipsPerPixel;
}

// Colours are 0x00BBGGRR; 0x800000xx names a system colour by its index.
using Colour = std::uint32_t;

constexpr Colour rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  return static_cast<Colour>(red) | (static_cast<Colour>(green) << 8) |
         (static_cast<Colour>(blue) << 16);
}
constexpr bool isSystemColour(Colour c) {
  return (c & 0xFF000000u) == 0x80000000u;
}
constexpr int systemColourIndex(Colour c) {
  return static_cast<int>(c & 0xFFu);
}
constexpr std::uint8_t redOf(Colour c) {
  return c & 0xFF;
}
constexpr std::uint8_t greenOf(Colour c) {
  return (c >> 8) & 0xFF;
}
constexpr std::uint8_t blueOf(Colour c) {
  return (c >> 16) & 0xFF;
}

namespace system_colour {
constexpr Colour kWindowBackground = 0x80000005;
constexpr Colour kMenuText = 0x80000007;
constexpr Colour kWindowText = 0x80000008;
constexpr Colour kButtonFace = 0x8000000F;
constexpr Colour kGrayText = 0x80000011;
constexpr Colour kButtonText = 0x80000012;
}  // namespace system_colour

// Check box values.
constexpr int kUnchecked = 0;
constexpr int kChecked = 1;

}  // namespace toolkit
