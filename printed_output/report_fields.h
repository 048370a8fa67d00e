#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace printed_output {

// A report text read back into its parts, for output that wants them apart:
// the count its first line gives, and each adapter's detail lines as
// (label, value) pairs in the order the report lists them.
struct ReportFields {
  std::optional<std::int64_t> count;
  std::vector<std::vector<std::pair<std::string, std::string>>> adapters;
};

// Reads either report ("--- Adapter N ---" or "Adapter N" blocks of
// "\tlabel = value" lines, "\r\n" line ends). A line that is neither a block's
// heading nor a detail line carries on the value before it: a value that held
// a line break.
ReportFields ReadReportFields(std::string_view text);

}  // namespace printed_output
