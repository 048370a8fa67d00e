#pragma once

#include <string>
#include <string_view>

namespace reports {

// How a locale writes numbers: its decimal separator, its digit-group separator
// and its grouping (group sizes from the right, as std::numpunct gives them: the
// last size repeats, an empty grouping means no groups). Separators are UTF-8.
// The default is the C locale: "." and no grouping.
struct NumberStyle {
  std::string decimalPoint = ".";
  std::string thousandsSeparator;
  std::string grouping;
};

// The style of the named locale ("en_US.UTF-8", "de_DE.UTF-8", "C", ...). An
// empty, unknown or uninstalled name gives the C style. Reads the locale's data
// through its own std::locale object, so it neither reads nor changes the
// process-wide locale and may run on any thread.
NumberStyle numberStyleFor(std::string_view localeName);

// The locale the user chose for numbers, by the usual precedence of the
// environment: LC_ALL, then LC_NUMERIC, then LANG; "C" when none is set.
std::string userNumericLocaleName();

// `value` with exactly two digits after the decimal separator, its integer part
// grouped, a leading zero before the separator for values below one.
// Infinite and NaN values have no such form and yield an empty text.
std::string formatTwoDecimals(double value, const NumberStyle& style);

}  // namespace reports
