#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace tests_support {

// The contrast of a box of text as drawn, `margin` pixels at its edge (bevels,
// borders) left out: its background is its commonest colour, its text the
// commonest of the others. Smoothed edges spread a text over shades between
// the two, so where its own colour is drawn thin (a seven-segment face at a
// small size) this understates the contrast, never overstates it; an etched
// caption's light copy is less common than its grey. Colours are 0x00BBGGRR;
// nullopt when the box shows one colour only (a light with no caption).
struct TextContrast {
  std::uint32_t text = 0;
  std::uint32_t background = 0;
  double ratio = 1;
};
std::optional<TextContrast> measureTextContrast(const std::vector<std::uint32_t>& pixels, int width,
                                                int margin);

}  // namespace tests_support
