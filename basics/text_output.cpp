#include "basics/text_output.h"

#include <cstdio>

#include "basics/text.h"

namespace basics {
namespace {

// The code point of one well-formed UTF-8 sequence.
char32_t codePointOf(std::string_view sequence) {
  const auto lead = static_cast<unsigned char>(sequence[0]);
  if (sequence.size() == 1) return lead;
  char32_t point = lead & (0x7Fu >> sequence.size());
  for (std::size_t i = 1; i < sequence.size(); ++i) {
    point = point << 6 | (static_cast<unsigned char>(sequence[i]) & 0x3Fu);
  }
  return point;
}

std::string printedEscape(char32_t point) {
  char buf[16];
  std::snprintf(buf, sizeof buf, point < 0x100 ? "\\x%02X" : "\\u%04X",
                static_cast<unsigned>(point));
  return buf;
}

}  // namespace

bool mustEscape(char32_t point) {
  const bool control = (point < 0x20 && point != '\t' && point != '\n') || point == 0x7F ||
                       (point >= 0x80 && point < 0xA0);
  // The embeddings, overrides and isolates that reorder how the text around them reads.
  const bool direction =
      (point >= 0x202A && point <= 0x202E) || (point >= 0x2066 && point <= 0x2069);
  return control || direction;
}

std::string escapeEach(std::string_view text, std::string (*escape)(char32_t)) {
  std::string out;
  out.reserve(text.size());
  while (!text.empty()) {
    const std::size_t length = utf8SequenceLength(text);
    if (length == 0) {
      out += escape(static_cast<unsigned char>(text[0]));
      text.remove_prefix(1);
      continue;
    }
    const char32_t point = codePointOf(text.substr(0, length));
    if (mustEscape(point)) {
      out += escape(point);
    } else {
      out.append(text.substr(0, length));
    }
    text.remove_prefix(length);
  }
  return out;
}

std::string escapeControlCharacters(std::string_view text) {
  return escapeEach(text, printedEscape);
}

std::string printableMessageBox(std::string_view title, std::string_view text) {
  std::string lines;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) lines += text[i];
  }
  return escapeControlCharacters(title) + "\n" + escapeControlCharacters(lines) + "\n";
}

}  // namespace basics
