#include "toolkit/scheme_colours.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace toolkit {
namespace {

// The standard scheme's system colours, by index (0x00BBGGRR).
constexpr std::array<Colour, 25> kStandardScheme = {
    0xC8C8C8, 0x000000, 0x99B4D1, 0xDBCDBF, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000, 0x000000,
    0x000000, 0xB4B4B4, 0xFCF7F4, 0xABABAB, 0xD77800, 0xFFFFFF, 0xF0F0F0, 0xA0A0A0, 0x6D6D6D,
    0x000000, 0x000000, 0xFFFFFF, 0x696969, 0xE3E3E3, 0x000000, 0xE1FFFF,
};

// The colours a kind of control has where its layout gives none.
struct Defaults {
  Colour text;
  std::optional<Colour> face;
};

Defaults defaultsOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::TextBox:
      return {system_colour::kWindowText, system_colour::kWindowBackground};
    case ControlKind::Label:
      return {system_colour::kWindowText, std::nullopt};
    case ControlKind::CommandButton:
      return {system_colour::kButtonText, system_colour::kButtonFace};
    default:
      return {system_colour::kWindowText, system_colour::kButtonFace};
  }
}

// High contrast: the system's own pairs, a label on a face of its own so that
// it reads over any picture.
TextColours highContrastColours(ControlKind kind, bool enabled) {
  switch (kind) {
    case ControlKind::TextBox:
    case ControlKind::Label:
      return {enabled ? system_colour::kWindowText : system_colour::kGrayText,
              system_colour::kWindowBackground, false};
    default:
      return {enabled ? system_colour::kButtonText : system_colour::kGrayText,
              system_colour::kButtonFace, false};
  }
}

double channel(std::uint8_t value) {
  const double c = value / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

}  // namespace

Colour standardValue(Colour colour) {
  if (!isSystemColour(colour)) return colour;
  const auto index = static_cast<std::size_t>(systemColourIndex(colour));
  return index < kStandardScheme.size() ? kStandardScheme[index] : 0;
}

TextColours textColours(const ControlLayout& layout, bool enabled, const ColourScheme& scheme) {
  if (scheme.highContrast) return highContrastColours(layout.kind, enabled);
  const Defaults defaults = defaultsOf(layout.kind);
  // Buttons draw in the system's colours alone; their layout gives none.
  if (layout.kind == ControlKind::CommandButton) return {defaults.text, defaults.face, false};
  TextColours out{layout.foreColour.value_or(defaults.text),
                  layout.backColour ? std::optional<Colour>(*layout.backColour) : defaults.face,
                  false};
  if (out.face && isSystemColour(out.text) != isSystemColour(*out.face)) {
    out.text = standardValue(out.text);
    out.face = standardValue(*out.face);
  }
  if (!enabled) {
    const bool fixedFace = out.face && !isSystemColour(*out.face);
    if (layout.kind == ControlKind::CheckBox && !(fixedFace && scheme.dark)) {
      out.etched = true;
    } else if (layout.kind != ControlKind::CheckBox) {
      out.text = system_colour::kGrayText;
    }
  }
  return out;
}

double relativeLuminance(Colour colour) {
  return 0.2126 * channel(redOf(colour)) + 0.7152 * channel(greenOf(colour)) +
         0.0722 * channel(blueOf(colour));
}

double contrastRatio(Colour a, Colour b) {
  const double la = relativeLuminance(a);
  const double lb = relativeLuminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

bool isDarkScheme(Colour windowText, Colour window) {
  return relativeLuminance(windowText) > relativeLuminance(window);
}

}  // namespace toolkit
