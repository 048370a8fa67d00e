// Which colours a text and its face take in each scheme. The rendered tests
// measure the standard and dark schemes on both toolkits; high contrast is
// told only by Windows, and Wine never tells it, so its rule is checked here.

#include <gtest/gtest.h>

#include "toolkit/scheme_colours.h"

namespace toolkit {
namespace {

constexpr Colour kGreen = rgb(0, 255, 0);
constexpr Colour kBlack = rgb(0, 0, 0);

ControlLayout kind(ControlKind k, std::optional<Colour> fore, std::optional<Colour> back) {
  ControlLayout c;
  c.kind = k;
  c.foreColour = fore;
  c.backColour = back;
  return c;
}

TEST(SchemeColours, ATextAndItsFaceFollowTheSystemTogetherOrStayTogether) {
  const ColourScheme standard{}, dark{false, true}, contrast{true, false};
  // The address box: fixed green over the system's window text colour.
  const ControlLayout address = kind(ControlKind::TextBox, kGreen, system_colour::kWindowText);
  // A light: the system's window text over a fixed green face, disabled.
  const ControlLayout light = kind(ControlKind::CheckBox, system_colour::kWindowText, kGreen);
  const ControlLayout label = kind(ControlKind::Label, kGreen, std::nullopt);
  struct Case {
    const char* what;
    const ControlLayout& layout;
    bool enabled;
    ColourScheme scheme;
    Colour text;
    std::optional<Colour> face;
    bool etched;
  };
  const Case cases[] = {
      // Mixed pairs stay as designed in any scheme but high contrast.
      {"address, standard", address, true, standard, kGreen, kBlack, false},
      {"address, dark", address, true, dark, kGreen, kBlack, false},
      {"address, high contrast", address, true, contrast, system_colour::kWindowText,
       system_colour::kWindowBackground, false},
      // The lights keep the etched grey where it was designed, and write their
      // own colour where a dark scheme's greys would sink into the face.
      {"light, standard", light, false, standard, kBlack, kGreen, true},
      {"light, dark", light, false, dark, kBlack, kGreen, false},
      {"light, high contrast", light, false, contrast, system_colour::kGrayText,
       system_colour::kButtonFace, false},
      // A label has no face of its own, but in high contrast: then it reads
      // over any picture.
      {"label, dark", label, true, dark, kGreen, std::nullopt, false},
      {"label, high contrast", label, true, contrast, system_colour::kWindowText,
       system_colour::kWindowBackground, false},
  };
  for (const Case& c : cases) {
    const TextColours got = textColours(c.layout, c.enabled, c.scheme);
    EXPECT_EQ(got.text, c.text) << c.what;
    EXPECT_EQ(got.face, c.face) << c.what;
    EXPECT_EQ(got.etched, c.etched) << c.what;
  }
}

}  // namespace
}  // namespace toolkit
