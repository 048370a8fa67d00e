#include "toolkit/text_output.h"

#include <cstdio>

#include "toolkit/text.h"

namespace toolkit {
namespace {

void appendEscape(std::string& out, unsigned value) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "\\x%02X", value & 0xFFu);
  out += buf;
}

// The embeddings, overrides and isolates that reorder how the text around
// them reads (U+202A..U+202E, U+2066..U+2069): an address could be shown
// back to front. The code point, or 0 for any other character.
unsigned directionOverride(std::string_view sequence) {
  if (sequence.size() != 3 || static_cast<unsigned char>(sequence[0]) != 0xE2) return 0;
  const unsigned point = 0x2000u + ((static_cast<unsigned char>(sequence[1]) & 0x3Fu) << 6) +
                         (static_cast<unsigned char>(sequence[2]) & 0x3Fu);
  const bool embedding = point >= 0x202A && point <= 0x202E;
  const bool isolate = point >= 0x2066 && point <= 0x2069;
  return embedding || isolate ? point : 0;
}

}  // namespace

std::string escapeControlCharacters(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      if ((c < 0x20 && c != '\t' && c != '\n') || c == 0x7F)
        appendEscape(out, c);
      else
        out += static_cast<char>(c);
      ++i;
      continue;
    }
    const std::size_t length = utf8SequenceLength(text.substr(i));
    if (length == 0) {
      appendEscape(out, c);
      ++i;
      continue;
    }
    // C1 controls U+0080..U+009F are encoded as C2 80..C2 9F.
    const unsigned char next = static_cast<unsigned char>(text[i + 1]);
    if (c == 0xC2 && next < 0xA0) {
      appendEscape(out, next);
    } else if (const unsigned point = directionOverride(text.substr(i, length))) {
      char buf[16];
      std::snprintf(buf, sizeof buf, "\\u%04X", point);
      out += buf;
    } else {
      out.append(text.substr(i, length));
    }
    i += length;
  }
  return out;
}

std::string printableMessageBox(std::string_view title, std::string_view text) {
  std::string lines;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) lines += text[i];
  }
  return escapeControlCharacters(title) + "\n" + escapeControlCharacters(lines) + "\n";
}

bool hasDisplay(const char* display, const char* waylandDisplay) {
  const auto set = [](const char* v) { return v != nullptr && *v != '\0'; };
  return set(display) || set(waylandDisplay);
}

}  // namespace toolkit
