#include "toolkit/win32/win32_text.h"

#include <windows.h>

#include "toolkit/text.h"

namespace toolkit::win32 {

std::wstring widen(std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int units = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
  std::wstring out(static_cast<std::size_t>(units), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), size, out.data(), units);
  return out;
}

std::string narrow(std::wstring_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int bytes =
      WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), size, out.data(), bytes, nullptr, nullptr);
  return out;
}

namespace {

// Bytes and UTF-16 units of the sequence at the start of `text`; a byte that
// starts no valid sequence converts to one U+FFFD.
std::pair<std::size_t, std::size_t> step(std::string_view text) {
  const std::size_t length = utf8SequenceLength(text);
  if (length == 0) return {1, 1};
  return {length, length == 4 ? 2 : 1};
}

}  // namespace

std::size_t utf16Length(std::string_view text) {
  std::size_t units = 0;
  while (!text.empty()) {
    const auto [bytes, u] = step(text);
    units += u;
    text.remove_prefix(bytes);
  }
  return units;
}

std::size_t utf8OffsetOf(std::string_view text, std::size_t units) {
  std::size_t offset = 0;
  std::size_t counted = 0;
  while (offset < text.size() && counted < units) {
    const auto [bytes, u] = step(text.substr(offset));
    offset += bytes;
    counted += u;
  }
  return offset;
}

}  // namespace toolkit::win32
