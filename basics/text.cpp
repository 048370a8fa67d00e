#include "basics/text.h"

#include <algorithm>
#include <cstdint>

namespace basics {
namespace {

char lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// How much of the UTF-8 sequence at the start of `text` is well formed:
// `length` bytes, and whether they are the whole sequence. An invalid lead
// byte (or an empty text) gives length 0.
struct SequenceScan {
  std::size_t length = 0;
  bool complete = false;
};

SequenceScan scanSequence(std::string_view text) {
  if (text.empty()) return {};
  const auto lead = static_cast<unsigned char>(text[0]);
  if (lead < 0x80) return {1, true};
  // The sequence's length, and the range its second byte must lie in; the
  // narrower ranges rule out overlong forms, surrogates and code points past
  // U+10FFFF.
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return {};
  }
  std::size_t seen = 1;
  while (seen < length && seen < text.size()) {
    const auto byte = static_cast<unsigned char>(text[seen]);
    if (byte < low || byte > high) break;
    low = 0x80;
    high = 0xBF;
    ++seen;
  }
  return {seen, seen == length};
}

}  // namespace

std::size_t utf8SequenceLength(std::string_view text) {
  const SequenceScan scan = scanSequence(text);
  return scan.complete ? scan.length : 0;
}

std::string utf8Lossy(std::string_view bytes) {
  static constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
  std::string text;
  text.reserve(bytes.size());
  while (!bytes.empty()) {
    const SequenceScan scan = scanSequence(bytes);
    if (scan.complete) {
      text.append(bytes.substr(0, scan.length));
    } else {
      // The byte that broke the sequence is looked at afresh.
      text += kReplacement;
    }
    bytes.remove_prefix(std::max<std::size_t>(scan.length, 1));
  }
  return text;
}

std::string utf8FromSingleByte(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  while (!bytes.empty()) {
    const std::size_t length = utf8SequenceLength(bytes);
    if (length > 0) {
      out.append(bytes.substr(0, length));
      bytes.remove_prefix(length);
    } else {
      out += utf8Of(static_cast<unsigned char>(bytes[0]));
      bytes.remove_prefix(1);
    }
  }
  return out;
}

std::string utf8Of(char32_t codePoint) {
  auto c = static_cast<std::uint32_t>(codePoint);
  if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
  std::string out;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}

bool equalIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return lower(x) == lower(y); });
}

bool containsIgnoringCase(std::string_view text, std::string_view part) {
  if (text.empty()) return false;
  return std::search(text.begin(), text.end(), part.begin(), part.end(),
                     [](char x, char y) { return lower(x) == lower(y); }) != text.end();
}

}  // namespace basics
