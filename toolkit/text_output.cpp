#include "toolkit/text_output.h"

#include <cstdio>

namespace toolkit {
namespace {

void appendEscape(std::string& out, unsigned value) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "\\x%02X", value & 0xFFu);
  out += buf;
}

// Length of the valid UTF-8 sequence at text[i], or 0 when it is not one.
std::size_t utf8SequenceLength(std::string_view text, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  std::size_t length = 0;
  if (lead >= 0xC2 && lead <= 0xDF)
    length = 2;
  else if (lead >= 0xE0 && lead <= 0xEF)
    length = 3;
  else if (lead >= 0xF0 && lead <= 0xF4)
    length = 4;
  else
    return 0;
  if (i + length > text.size()) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
  }
  if (lead == 0xE0 && byte(i + 1) < 0xA0) return 0;   // overlong
  if (lead == 0xED && byte(i + 1) >= 0xA0) return 0;  // surrogate
  if (lead == 0xF0 && byte(i + 1) < 0x90) return 0;   // overlong
  if (lead == 0xF4 && byte(i + 1) >= 0x90) return 0;  // beyond U+10FFFF
  return length;
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
    const std::size_t length = utf8SequenceLength(text, i);
    if (length == 0) {
      appendEscape(out, c);
      ++i;
      continue;
    }
    // C1 controls U+0080..U+009F are encoded as C2 80..C2 9F.
    const unsigned char next = static_cast<unsigned char>(text[i + 1]);
    if (c == 0xC2 && next < 0xA0) {
      appendEscape(out, next);
    } else {
      out.append(text.substr(i, length));
    }
    i += length;
  }
  return out;
}

bool hasDisplay(const char* display, const char* waylandDisplay) {
  const auto set = [](const char* v) { return v != nullptr && *v != '\0'; };
  return set(display) || set(waylandDisplay);
}

}  // namespace toolkit
