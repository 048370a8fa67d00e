#include "platform/linux/http_reply.h"

#include <string_view>

#include "toolkit/text.h"

namespace platform::linuxos {
namespace {

constexpr std::size_t kMaxHead = 64 * 1024;  // status line and headers together

std::optional<std::uint64_t> number(std::string_view s, int base) {
  if (s.empty() || s.size() > 15) return std::nullopt;
  std::uint64_t value = 0;
  for (char c : s) {
    int digit;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (base == 16 && c >= 'a' && c <= 'f') {
      digit = c - 'a' + 10;
    } else if (base == 16 && c >= 'A' && c <= 'F') {
      digit = c - 'A' + 10;
    } else {
      return std::nullopt;
    }
    value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
  }
  return value;
}

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

}  // namespace

Step readHead(Reader& reader, Head& head) {
  for (;;) {
    std::size_t end;
    std::size_t skip = 4;
    while ((end = reader.buffer.find("\r\n\r\n")) == std::string::npos) {
      if (const auto bare = reader.buffer.find("\n\n"); bare != std::string::npos) {
        end = bare;
        skip = 2;
        break;
      }
      if (reader.buffer.size() > kMaxHead || reader.ended) return Step::Failed;
      if (const Step step = reader.more(); step != Step::Done) return step;
    }
    const std::string text = reader.buffer.substr(0, end);
    reader.buffer.erase(0, end + skip);

    head = Head{};
    std::string_view rest(text);
    const auto lineEnd = rest.find('\n');
    const std::string_view statusLine = trimmed(rest.substr(0, lineEnd));
    rest = lineEnd == std::string_view::npos ? std::string_view() : rest.substr(lineEnd + 1);
    if (statusLine.substr(0, 5) != "HTTP/") return Step::Failed;
    const auto space = statusLine.find(' ');
    if (space == std::string_view::npos) return Step::Failed;
    const auto code = number(statusLine.substr(space + 1, 3), 10);
    if (!code || *code < 100 || *code > 999) return Step::Failed;
    head.status = static_cast<long>(*code);

    while (!rest.empty()) {
      const auto next = rest.find('\n');
      const std::string_view line = rest.substr(0, next);
      rest = next == std::string_view::npos ? std::string_view() : rest.substr(next + 1);
      const auto colon = line.find(':');
      if (colon == std::string_view::npos) continue;
      const std::string_view name = trimmed(line.substr(0, colon));
      const std::string_view value = trimmed(line.substr(colon + 1));
      if (toolkit::equalIgnoringCase(name, "Content-Length")) {
        head.length = number(value, 10);
        if (!head.length) return Step::Failed;
      } else if (toolkit::equalIgnoringCase(name, "Transfer-Encoding")) {
        head.chunked = toolkit::containsIgnoringCase(value, "chunked");
      } else if (toolkit::equalIgnoringCase(name, "Location")) {
        head.location = value;
      }
    }
    if (head.status >= 200 || head.status == 101) return Step::Done;
  }
}

Step readBody(Reader& reader, const Head& head, std::size_t limit, std::string& body) {
  if (head.status == 204 || head.status == 304) return Step::Done;
  if (head.chunked) {
    for (;;) {
      std::size_t lineEnd;
      while ((lineEnd = reader.buffer.find('\n')) == std::string::npos) {
        if (reader.buffer.size() > kMaxHead || reader.ended) return Step::Failed;
        if (const Step step = reader.more(); step != Step::Done) return step;
      }
      std::string_view line = trimmed(std::string_view(reader.buffer).substr(0, lineEnd));
      line = line.substr(0, line.find(';'));
      const auto size = number(trimmed(line), 16);
      if (!size) return Step::Failed;
      reader.buffer.erase(0, lineEnd + 1);
      if (*size == 0) return Step::Done;  // trailers, if any, are not wanted
      if (*size > limit - body.size()) return Step::TooLarge;
      while (reader.buffer.size() < *size + 2) {
        if (reader.ended) return Step::Failed;
        if (const Step step = reader.more(); step != Step::Done) return step;
      }
      body.append(reader.buffer, 0, static_cast<std::size_t>(*size));
      reader.buffer.erase(0, static_cast<std::size_t>(*size));
      // The chunk's own line end.
      if (reader.buffer.compare(0, 2, "\r\n") == 0) {
        reader.buffer.erase(0, 2);
      } else if (!reader.buffer.empty() && reader.buffer.front() == '\n') {
        reader.buffer.erase(0, 1);
      }
    }
  }
  if (head.length && *head.length > limit) return Step::TooLarge;
  for (;;) {
    std::string_view fresh = reader.buffer;
    // Bytes past a declared length are not the body's.
    if (head.length) fresh = fresh.substr(0, static_cast<std::size_t>(*head.length) - body.size());
    if (fresh.size() > limit - body.size()) return Step::TooLarge;
    body += fresh;
    reader.buffer.clear();
    if (head.length && body.size() == *head.length) return Step::Done;
    if (reader.ended) return head.length ? Step::Failed : Step::Done;
    if (const Step step = reader.more(); step != Step::Done) return step;
  }
}

}  // namespace platform::linuxos
