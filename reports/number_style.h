#pragma once

#include <string>
#include <string_view>

#include "platform/number_locale.h"

namespace reports {

// How the user's locale writes numbers is a system fact, read by the platform.
using platform::NumberStyle;
using platform::numberStyleFor;
using platform::userNumericLocaleName;

// `value` with exactly two digits after the decimal separator, its integer part
// grouped, a leading zero before the separator for values below one.
// Infinite and NaN values have no such form and yield an empty text.
std::string formatTwoDecimals(double value, const NumberStyle& style);

}  // namespace reports
