#include "reports/number_style.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <vector>

namespace reports {
namespace {

// Inserts the separator into a run of decimal digits, counting groups from the right.
std::string grouped(std::string_view digits, const NumberStyle& style) {
  if (style.grouping.empty() || style.thousandsSeparator.empty()) return std::string(digits);
  // Where separators go, as counts of digits before them, found from the right.
  std::vector<std::size_t> cuts;
  std::size_t remaining = digits.size();
  std::size_t size = 0;
  for (std::size_t g = 0;; ++g) {
    if (g < style.grouping.size()) {
      const char next = style.grouping[g];
      if (next <= 0 || next == CHAR_MAX) break;  // no further grouping
      size = static_cast<std::size_t>(next);
    }
    if (remaining <= size) break;
    remaining -= size;
    cuts.push_back(remaining);
  }
  std::string out;
  out.reserve(digits.size() + cuts.size() * style.thousandsSeparator.size());
  std::size_t start = 0;
  for (auto cut = cuts.rbegin(); cut != cuts.rend(); ++cut) {
    out.append(digits.substr(start, *cut - start));
    out += style.thousandsSeparator;
    start = *cut;
  }
  out.append(digits.substr(start));
  return out;
}

}  // namespace

std::string formatTwoDecimals(double value, const NumberStyle& style) {
  if (!std::isfinite(value)) return {};
  // to_chars ignores every locale, so the separators are ours to place.
  char buffer[400];
  const auto [end, ec] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
  if (ec != std::errc()) return {};
  std::string_view text(buffer, static_cast<std::size_t>(end - buffer));
  std::string out;
  if (!text.empty() && text.front() == '-') {
    out += '-';
    text.remove_prefix(1);
  }
  const std::size_t point = text.find('.');
  out += grouped(text.substr(0, point), style);
  if (point != std::string_view::npos) {
    out += style.decimalPoint;
    out.append(text.substr(point + 1));
  }
  return out;
}

}  // namespace reports
