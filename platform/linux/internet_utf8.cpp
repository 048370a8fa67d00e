#include "platform/linux/internet_utf8.h"

namespace platform::linuxos {

std::string decodeUtf8Lossy(std::string_view bytes) {
  static constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
  std::string text;
  text.reserve(bytes.size());
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    if (lead < 0x80) {
      text += static_cast<char>(lead);
      ++i;
      continue;
    }
    // How many continuation bytes follow, and the range the first of them
    // must lie in; the narrower ranges rule out overlong forms, surrogates
    // and code points past U+10FFFF.
    int needed = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
      needed = 1;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      needed = 2;
      if (lead == 0xE0) low = 0xA0;
      if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      needed = 3;
      if (lead == 0xF0) low = 0x90;
      if (lead == 0xF4) high = 0x8F;
    } else {
      text += kReplacement;
      ++i;
      continue;
    }
    std::size_t next = i + 1;
    int seen = 0;
    while (seen < needed && next < bytes.size()) {
      const auto byte = static_cast<unsigned char>(bytes[next]);
      if (byte < low || byte > high) break;
      low = 0x80;
      high = 0xBF;
      ++next;
      ++seen;
    }
    if (seen == needed) {
      text.append(bytes.substr(i, next - i));
    } else {
      text += kReplacement;  // the byte that broke the sequence is looked at afresh
    }
    i = next;
  }
  return text;
}

}  // namespace platform::linuxos
