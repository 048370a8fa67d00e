#include "platform/windows/wide_text.h"

#include <windows.h>

#include <oleauto.h>  // after windows.h, which it needs

#include <limits>

namespace platform::windows {
namespace {

int lengthOf(std::size_t size) {
  return size > static_cast<std::size_t>(std::numeric_limits<int>::max())
             ? std::numeric_limits<int>::max()
             : static_cast<int>(size);
}

}  // namespace

std::wstring toWide(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int length = lengthOf(utf8.size());
  const int needed = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(needed > 0 ? needed : 0), L'\0');
  if (needed > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, wide.data(), needed);
  return wide;
}

std::string fromWide(std::wstring_view utf16) {
  if (utf16.empty()) return {};
  const int length = lengthOf(utf16.size());
  const int needed =
      WideCharToMultiByte(CP_UTF8, 0, utf16.data(), length, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(needed > 0 ? needed : 0), '\0');
  if (needed > 0) {
    WideCharToMultiByte(CP_UTF8, 0, utf16.data(), length, text.data(), needed, nullptr, nullptr);
  }
  return text;
}

std::string fromAnsi(std::string_view ansi) {
  if (ansi.empty()) return {};
  const int length = lengthOf(ansi.size());
  const int needed = MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(needed > 0 ? needed : 0), L'\0');
  if (needed > 0) MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, wide.data(), needed);
  return fromWide(wide);
}

std::string toAnsi(std::string_view utf8) {
  const std::wstring wide = toWide(utf8);
  if (wide.empty()) return {};
  const int length = lengthOf(wide.size());
  const int needed =
      WideCharToMultiByte(CP_ACP, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(needed > 0 ? needed : 0), '\0');
  if (needed > 0) {
    WideCharToMultiByte(CP_ACP, 0, wide.data(), length, text.data(), needed, nullptr, nullptr);
  }
  return text;
}

std::string fromBstr(const wchar_t* text) {
  if (text == nullptr) return {};
  return fromWide({text, SysStringLen(const_cast<BSTR>(text))});
}

}  // namespace platform::windows
