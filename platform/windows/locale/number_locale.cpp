#include "platform/number_locale.h"

#include <windows.h>

#include <climits>
#include <string>

namespace platform {
namespace {

// A locale name as Windows spells it: "de_DE.UTF-8" and "de_DE@euro" become
// "de-DE"; Windows names pass unchanged. Empty for anything that is not a
// plain name (an empty name would ask for the invariant locale).
std::wstring windowsName(std::string_view name) {
  name = name.substr(0, name.find_first_of(".@"));
  std::wstring wide;
  for (char c : name) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    if (!plain && c != '_' && c != '-') return {};
    wide += static_cast<wchar_t>(c == '_' ? '-' : c);
  }
  return wide;
}

std::string utf8(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  const int bytes =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, out.data(), bytes, nullptr, nullptr);
  return out;
}

// One of the locale's texts; empty when it has none. For the user's own
// locale this is the user's setting, customised or not.
std::wstring localeText(const std::wstring& locale, LCTYPE type) {
  const int length = GetLocaleInfoEx(locale.c_str(), type, nullptr, 0);
  if (length <= 1) return {};
  std::wstring text(static_cast<std::size_t>(length), L'\0');
  if (GetLocaleInfoEx(locale.c_str(), type, text.data(), length) != length) return {};
  text.resize(static_cast<std::size_t>(length - 1));
  return text;
}

// Windows writes group sizes left to right, separated by ';', with a final 0
// when the last size repeats: "3;0" groups by threes, "3;2;0" as in India,
// "3" only once. std::numpunct repeats its last size and stops at CHAR_MAX.
std::string groupingOf(const std::wstring& sizes) {
  std::string grouping;
  int size = 0;
  bool repeats = false;
  for (std::size_t i = 0; i <= sizes.size(); ++i) {
    if (i < sizes.size() && sizes[i] >= L'0' && sizes[i] <= L'9') {
      size = std::min(size * 10 + (sizes[i] - L'0'), 99);
      continue;
    }
    if (i < sizes.size() && sizes[i] != L';') return {};  // not a grouping
    repeats = size == 0;
    if (size > 0) grouping += static_cast<char>(size);
    size = 0;
  }
  if (!grouping.empty() && !repeats) grouping += static_cast<char>(CHAR_MAX);
  return grouping;
}

}  // namespace

NumberStyle numberStyleFor(std::string_view localeName) {
  NumberStyle style;
  const std::wstring locale = windowsName(localeName);
  if (locale.empty() || locale == L"C" || locale == L"POSIX") return style;
  if (!IsValidLocaleName(locale.c_str())) return style;
  const std::string decimal = utf8(localeText(locale, LOCALE_SDECIMAL));
  if (!decimal.empty()) style.decimalPoint = decimal;
  style.grouping = groupingOf(localeText(locale, LOCALE_SGROUPING));
  if (!style.grouping.empty())
    style.thousandsSeparator = utf8(localeText(locale, LOCALE_STHOUSAND));
  if (style.thousandsSeparator.empty()) style.grouping.clear();
  return style;
}

std::string userNumericLocaleName() {
  wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
  if (GetUserDefaultLocaleName(name, LOCALE_NAME_MAX_LENGTH) <= 1) return "C";
  return utf8(name);
}

}  // namespace platform
