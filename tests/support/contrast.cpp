#include "tests/support/contrast.h"

#include <algorithm>
#include <map>

#include "toolkit/scheme_colours.h"

namespace tests_support {

std::optional<TextContrast> measureTextContrast(const std::vector<std::uint32_t>& pixels, int width,
                                                int margin) {
  if (width <= 2 * margin || pixels.empty()) return std::nullopt;
  const int height = static_cast<int>(pixels.size()) / width;
  std::map<std::uint32_t, int> counts;
  for (int y = margin; y < height - margin; ++y) {
    for (int x = margin; x < width - margin; ++x) {
      ++counts[pixels[static_cast<std::size_t>(y * width + x)] & 0x00FFFFFFu];
    }
  }
  if (counts.size() < 2) return std::nullopt;
  const auto commonest = [](auto first, auto last) {
    return std::max_element(first, last,
                            [](const auto& a, const auto& b) { return a.second < b.second; });
  };
  TextContrast out;
  out.background = commonest(counts.begin(), counts.end())->first;
  counts.erase(out.background);
  // Smoothed edges spread a text over shades between its colour and the
  // background; the commonest one understates the contrast at worst.
  out.text = commonest(counts.begin(), counts.end())->first;
  out.ratio = toolkit::contrastRatio(out.text, out.background);
  return out;
}

}  // namespace tests_support
