#include "printed_output/report_fields.h"

#include <charconv>

namespace printed_output {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kCountEnd = " adapter(s) found.";
constexpr std::string_view kSeparator = " = ";

bool allDigits(std::string_view text) {
  if (text.empty()) return false;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// "--- Adapter 3 ---" (inventory) or "Adapter 0" (adapter list).
bool isHeading(std::string_view line) {
  constexpr std::string_view kDashed = "--- Adapter ";
  constexpr std::string_view kDashedEnd = " ---";
  constexpr std::string_view kPlain = "Adapter ";
  if (line.starts_with(kDashed) && line.ends_with(kDashedEnd) &&
      line.size() > kDashed.size() + kDashedEnd.size()) {
    return allDigits(line.substr(kDashed.size(), line.size() - kDashed.size() - kDashedEnd.size()));
  }
  return line.starts_with(kPlain) && allDigits(line.substr(kPlain.size()));
}

std::optional<std::int64_t> countOf(std::string_view line) {
  if (!line.ends_with(kCountEnd)) return std::nullopt;
  const std::string_view number = line.substr(0, line.size() - kCountEnd.size());
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (error != std::errc() || end != number.data() + number.size()) return std::nullopt;
  return value;
}

}  // namespace

ReportFields ReadReportFields(std::string_view text) {
  ReportFields out;
  bool first = true;
  while (!text.empty()) {
    const std::size_t end = text.find(kLineEnd);
    const std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + kLineEnd.size());
    if (first) {
      first = false;
      out.count = countOf(line);
      if (out.count) continue;
    }
    if (line.empty()) continue;
    if (isHeading(line)) {
      out.adapters.emplace_back();
    } else if (line.front() == '\t') {
      if (out.adapters.empty()) out.adapters.emplace_back();
      const std::string_view detail = line.substr(1);
      const std::size_t at = detail.find(kSeparator);
      if (at == std::string_view::npos) {
        out.adapters.back().emplace_back(detail, "");
      } else {
        out.adapters.back().emplace_back(detail.substr(0, at),
                                         detail.substr(at + kSeparator.size()));
      }
    } else if (!out.adapters.empty() && !out.adapters.back().empty()) {
      out.adapters.back().back().second.append(kLineEnd).append(line);
    }
  }
  return out;
}

}  // namespace printed_output
