#include "reports/inventory_values.h"

#include <charconv>
#include <cmath>
#include <string_view>

namespace reports {

std::string speedText(const platform::Variant& speed, const NumberStyle& style) {
  if (platform::isNull(speed)) return "N/A";
  double bitsPerSecond = 0;
  if (const auto* whole = std::get_if<std::int64_t>(&speed)) {
    bitsPerSecond = static_cast<double>(*whole);
  } else if (const auto* small = std::get_if<std::int32_t>(&speed)) {
    bitsPerSecond = *small;
  } else if (const auto* text = std::get_if<std::string>(&speed)) {
    // The service writes the unsigned 64-bit speed as decimal text.
    const char* first = text->data();
    const char* last = first + text->size();
    const auto [end, ec] = std::from_chars(first, last, bitsPerSecond);
    if (ec != std::errc() || end != last || !std::isfinite(bitsPerSecond)) return "N/A";
  } else {
    return "N/A";
  }
  const std::string number = formatTwoDecimals(bitsPerSecond / 1000000.0, style);
  if (number.empty()) return "N/A";
  return number + " Mbps";
}

std::string connectionStatusText(const platform::Variant& status) {
  if (platform::isNull(status)) return "Unknown ()";
  std::int64_t value = 0;
  if (const auto* whole = std::get_if<std::int64_t>(&status)) {
    value = *whole;
  } else {
    value = platform::toInt32(status);
  }
  if (value >= 0 && value < static_cast<std::int64_t>(kConnectionStatusNames.size())) {
    return std::string(kConnectionStatusNames[static_cast<std::size_t>(value)]);
  }
  return "Unknown (" + std::to_string(value) + ")";
}

std::string joinedOrNotAvailable(const platform::Variant& array) {
  const platform::TextArray& elements = platform::toArray(array);
  std::string joined;
  for (std::size_t k = 0; k < elements.size(); ++k) {
    if (k > 0) joined += ", ";
    joined += elements[k];
  }
  return joined.empty() ? "N/A" : joined;
}

}  // namespace reports
