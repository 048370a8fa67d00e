#include "platform/linux/http_reply.h"

#include <cctype>
#include <string_view>

#include "platform/fetch_policy.h"
#include "platform/linux/http_blanks.h"
#include "toolkit/text.h"

namespace platform::linuxos {
namespace {

// The most a head (status line, headers and the blank line) or a chunk's size
// line may take. What is refused must not depend on how the bytes arrived, so
// the limit holds for what was found as well as for what is still awaited.
constexpr std::size_t kMaxHead = 64 * 1024;
// Interim (1xx) replies before the final one, and all the heads' bytes
// together: a server that sends "100 Continue" without end is refused soon.
constexpr int kMaxInterim = 16;
constexpr std::size_t kMaxHeads = 256 * 1024;

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

// Where the head ends: at its first empty line, whether the server ends its
// lines with CR LF or a bare LF. Looking for one kind of blank line before the
// other would let a blank line in the body end the head.
struct HeadEnd {
  std::size_t searched = 0;  // where to go on looking when more has arrived
  std::size_t text = 0;      // the length of the status line and headers
  std::size_t next = 0;      // where what follows the head begins
};

bool findHeadEnd(std::string_view buffer, HeadEnd& end) {
  // Going on from where the last look stopped: a server that sends a byte at a
  // time must not make every look read the whole buffer again.
  for (std::size_t at = buffer.find('\n', end.searched); at != std::string_view::npos;
       at = buffer.find('\n', at + 1)) {
    end.searched = at;
    std::string_view after = buffer.substr(at + 1);
    if (after.empty() || after == "\r") return false;  // the next line is not here yet
    if (after.front() == '\r') after.remove_prefix(1);
    if (after.front() != '\n') continue;
    end.text = at > 0 && buffer[at - 1] == '\r' ? at - 1 : at;
    end.next = static_cast<std::size_t>(after.data() - buffer.data()) + 1;
    return true;
  }
  end.searched = buffer.size();
  return false;
}

// The status line and headers of one response, without the blank line.
Step parseHead(std::string_view rest, Head& head) {
  head = Head{};
  const auto lineEnd = rest.find('\n');
  const std::string_view statusLine = trimBlanks(rest.substr(0, lineEnd));
  rest = lineEnd == std::string_view::npos ? std::string_view() : rest.substr(lineEnd + 1);
  if (statusLine.substr(0, 5) != "HTTP/") return Step::Failed;
  const auto space = statusLine.find(' ');
  if (space == std::string_view::npos) return Step::Failed;
  // Three digits, then the reason phrase or nothing: "2000" is no status 200.
  const std::string_view after = statusLine.substr(space + 1);
  if (after.size() > 3 && after[3] != ' ') return Step::Failed;
  const auto code = number(after.substr(0, 3), 10);
  if (!code || *code < 100 || *code > 999) return Step::Failed;
  head.status = static_cast<long>(*code);

  while (!rest.empty()) {
    const auto next = rest.find('\n');
    const std::string_view line = rest.substr(0, next);
    rest = next == std::string_view::npos ? std::string_view() : rest.substr(next + 1);
    const auto colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    const std::string_view name = trimBlanks(line.substr(0, colon));
    const std::string_view value = trimBlanks(line.substr(colon + 1));
    if (toolkit::equalIgnoringCase(name, "Content-Length")) {
      // Two lengths that disagree leave no telling where the body ends.
      const auto length = number(value, 10);
      if (!length || (head.length && *head.length != *length)) return Step::Failed;
      head.length = length;
    } else if (toolkit::equalIgnoringCase(name, "Transfer-Encoding")) {
      head.chunked = toolkit::containsIgnoringCase(value, "chunked");
    } else if (toolkit::equalIgnoringCase(name, "Location")) {
      head.location = value;
    }
  }
  return Step::Done;
}

// The size at the start of a chunk's line: hex digits, then the end of the
// line or extensions after a ';'. Spaces before the size, or after it with no
// extension, are not a size.
std::optional<std::uint64_t> chunkSize(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  std::size_t digits = 0;
  while (digits < line.size() && std::isxdigit(static_cast<unsigned char>(line[digits])) != 0)
    ++digits;
  std::string_view rest = line.substr(digits);
  while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) rest.remove_prefix(1);
  if (!rest.empty() && rest.front() != ';') return std::nullopt;
  return number(line.substr(0, digits), 16);
}

}  // namespace

Step readHead(Reader& reader, Head& head) {
  // Interim replies are read where they lie, by offset: cutting each off the
  // front of the buffer would copy the rest of it every time.
  std::size_t start = 0;
  for (int interim = 0;; ++interim) {
    if (interim > kMaxInterim) return Step::Failed;
    HeadEnd end;
    while (!findHeadEnd(std::string_view(reader.buffer).substr(start), end)) {
      const std::size_t have = reader.buffer.size();
      if (have - start >= kMaxHead || have >= kMaxHeads || reader.ended) return Step::Failed;
      if (const Step step = reader.more(); step != Step::Done) return step;
    }
    if (end.next > kMaxHead || start + end.next > kMaxHeads) return Step::Failed;
    const std::string_view text = std::string_view(reader.buffer).substr(start, end.text);
    start += end.next;
    if (const Step step = parseHead(text, head); step != Step::Done) return step;
    if (head.status >= 200 || head.status == 101) break;
  }
  reader.buffer.erase(0, start);
  return Step::Done;
}

Step readBody(Reader& reader, const Head& head, std::size_t limit, std::string& body) {
  if (head.status == 204 || head.status == 304) return Step::Done;
  if (head.chunked) {
    for (;;) {
      std::size_t lineEnd;
      std::size_t searched = 0;
      while ((lineEnd = reader.buffer.find('\n', searched)) == std::string::npos) {
        searched = reader.buffer.size();
        if (reader.buffer.size() >= kMaxHead || reader.ended) return Step::Failed;
        if (const Step step = reader.more(); step != Step::Done) return step;
      }
      if (lineEnd >= kMaxHead) return Step::Failed;
      const auto size = chunkSize(std::string_view(reader.buffer).substr(0, lineEnd));
      if (!size) return Step::Failed;
      reader.buffer.erase(0, lineEnd + 1);
      if (*size == 0) return Step::Done;  // trailers, if any, are not wanted
      if (!bodyFits(body.size(), *size, limit)) return Step::TooLarge;
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
  if (head.length && !bodyFits(0, *head.length, limit)) return Step::TooLarge;
  for (;;) {
    std::string_view fresh = reader.buffer;
    // Bytes past a declared length are not the body's.
    if (head.length) fresh = fresh.substr(0, static_cast<std::size_t>(*head.length) - body.size());
    if (!bodyFits(body.size(), fresh.size(), limit)) return Step::TooLarge;
    body += fresh;
    reader.buffer.clear();
    if (head.length && body.size() == *head.length) return Step::Done;
    if (reader.ended) return head.length ? Step::Failed : Step::Done;
    if (const Step step = reader.more(); step != Step::Done) return step;
  }
}

}  // namespace platform::linuxos
