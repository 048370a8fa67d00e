#include "platform/linux/http_fields.h"

#include <string_view>

#include "platform/linux/http_blanks.h"

namespace platform::linuxos {
namespace {

bool isTokenChar(char c) {
  if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return true;
  return std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
}

bool isBlank(char c) {
  return c == ' ' || c == '\t';
}

void skipBlanks(std::string_view& s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
}

// Takes a token off the front of `s`; false when there is none.
bool takeToken(std::string_view& s) {
  std::size_t length = 0;
  while (length < s.size() && isTokenChar(s[length])) ++length;
  s.remove_prefix(length);
  return length > 0;
}

// Takes a quoted string off the front of `s`, the quotes and the backslash
// escapes in it included; false when it is not one or does not end.
bool takeQuoted(std::string_view& s) {
  if (s.empty() || s.front() != '"') return false;
  for (std::size_t at = 1; at < s.size(); ++at) {
    const auto c = static_cast<unsigned char>(s[at]);
    if (c == '"') {
      s.remove_prefix(at + 1);
      return true;
    }
    if (c == '\\') {
      if (++at == s.size()) return false;
      const auto escaped = static_cast<unsigned char>(s[at]);
      if (escaped < 0x20 && escaped != '\t') return false;
      if (escaped == 0x7F) return false;
    } else if ((c < 0x20 && c != '\t') || c == 0x7F) {
      return false;
    }
  }
  return false;
}

}  // namespace

bool isToken(std::string_view text) {
  std::string_view rest = text;
  return takeToken(rest) && rest.empty();
}

std::vector<std::string_view> listElements(std::string_view value) {
  std::vector<std::string_view> elements;
  for (;;) {
    const auto comma = value.find(',');
    const std::string_view element = trimBlanks(value.substr(0, comma));
    if (!element.empty()) elements.push_back(element);
    if (comma == std::string_view::npos) return elements;
    value.remove_prefix(comma + 1);
  }
}

bool validChunkExtensions(std::string_view text) {
  while (!text.empty()) {
    skipBlanks(text);
    if (text.empty() || text.front() != ';') return false;
    text.remove_prefix(1);
    skipBlanks(text);
    if (!takeToken(text)) return false;
    std::string_view value = text;
    skipBlanks(value);
    if (value.empty() || value.front() != '=') continue;
    value.remove_prefix(1);
    skipBlanks(value);
    if (!takeToken(value) && !takeQuoted(value)) return false;
    text = value;
  }
  return true;
}

}  // namespace platform::linuxos
