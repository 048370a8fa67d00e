#include "platform/number_locale.h"

#include <cstdlib>
#include <locale>
#include <stdexcept>

#include "basics/text.h"

namespace platform {
namespace {

// Separators come as wide characters, so a locale whose separator is not ASCII
// (a narrow no-break space, say) keeps it instead of a narrowed stand-in. A NUL
// separator is none.
std::string separatorText(wchar_t wide) {
  return wide == 0 ? std::string() : basics::utf8Of(static_cast<char32_t>(wide));
}

}  // namespace

NumberStyle numberStyleFor(std::string_view localeName) {
  NumberStyle style;
  if (localeName.empty()) return style;
  try {
    // The locale's own object: the process-wide locale is neither read nor changed.
    const std::locale locale{std::string(localeName)};
    const auto& punct = std::use_facet<std::numpunct<wchar_t>>(locale);
    style.decimalPoint = separatorText(punct.decimal_point());
    if (style.decimalPoint.empty()) style.decimalPoint = ".";
    style.grouping = punct.grouping();
    if (!style.grouping.empty()) style.thousandsSeparator = separatorText(punct.thousands_sep());
    if (style.thousandsSeparator.empty()) style.grouping.clear();
  } catch (const std::runtime_error&) {
    // Not installed or not a locale name: numbers keep the C style.
  }
  return style;
}

std::string userNumericLocaleName() {
  for (const char* variable : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return value;
  }
  return "C";
}

}  // namespace platform
