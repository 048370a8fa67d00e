#pragma once

#include <string>
#include <string_view>

namespace platform {

// How a locale writes numbers: its decimal separator, its digit-group separator
// and its grouping (group sizes from the right, as std::numpunct gives them: the
// last size repeats, CHAR_MAX ends the grouping, an empty grouping means no
// groups). Separators are UTF-8. The default is the C locale: "." and no grouping.
struct NumberStyle {
  std::string decimalPoint = ".";
  std::string thousandsSeparator;
  std::string grouping;
};

// The style of the named locale: "en_US.UTF-8", "de_DE.UTF-8" on either system,
// and the system's own names ("de-DE" on Windows). An empty, unknown or
// uninstalled name, "C" and "POSIX" give the C style. Changes no process-wide
// setting and may run on any thread.
NumberStyle numberStyleFor(std::string_view localeName);

// The locale the user chose for numbers: on Linux by the usual precedence of
// the environment (LC_ALL, then LC_NUMERIC, then LANG; "C" when none is set),
// on Windows the user's regional format, whose customised separators
// numberStyleFor honours.
std::string userNumericLocaleName();

}  // namespace platform
