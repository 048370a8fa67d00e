#include "platform/linux/http_reply.h"

#include <string_view>
#include <utility>
#include <vector>

#include "basics/text.h"
#include "platform/fetch_policy.h"
#include "platform/linux/http_blanks.h"
#include "platform/linux/http_fields.h"

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

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

bool isHexDigit(char c) {
  return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
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

// The next line of `rest`, taken off it, without its line end. A CR anywhere
// else in the line makes it no line at all: one reader would end the line
// there, another not, and a header could hide behind it.
std::optional<std::string_view> takeLine(std::string_view& rest) {
  const auto end = rest.find('\n');
  std::string_view line = rest.substr(0, end);
  rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  if (line.find('\r') != std::string_view::npos || line.find('\0') != std::string_view::npos) {
    return std::nullopt;
  }
  return line;
}

// "HTTP/1.x", a space, three digits, then a space and the reason phrase or
// nothing. Another major version is another protocol; "2000" is no status 200.
bool parseStatusLine(std::string_view line, Head& head, bool& http10) {
  if (line.size() < 12 || line.substr(0, 7) != "HTTP/1." || !isDigit(line[7]) || line[8] != ' ') {
    return false;
  }
  if (line.size() > 12 && line[12] != ' ') return false;
  const std::string_view code = line.substr(9, 3);
  if (!isDigit(code[0]) || !isDigit(code[1]) || !isDigit(code[2]) || code[0] == '0') return false;
  head.status = static_cast<long>(*number(code, 10));
  http10 = line[7] == '0';
  return true;
}

struct Field {
  std::string_view name;
  std::string value;
};

// The fields of a head, each line "name: value". A line that starts with a
// blank continues the field before it (an obsolete folding, which a client
// reads as a space); before the first field it is refused.
bool parseFields(std::string_view rest, std::vector<Field>& fields) {
  while (!rest.empty()) {
    const auto line = takeLine(rest);
    if (!line) return false;
    if (!line->empty() && (line->front() == ' ' || line->front() == '\t')) {
      if (fields.empty()) return false;
      fields.back().value += ' ';
      fields.back().value += trimBlanks(*line);
      continue;
    }
    const auto colon = line->find(':');
    // No blanks before the colon: "Content-Length : 5" is no Content-Length.
    if (colon == std::string_view::npos || !isToken(line->substr(0, colon))) return false;
    fields.push_back({line->substr(0, colon), std::string(line->substr(colon + 1))});
  }
  return true;
}

// The status line and headers of one response, without the blank line.
Step parseHead(std::string_view rest, Head& head) {
  head = Head{};
  const auto statusLine = takeLine(rest);
  bool http10 = false;
  if (!statusLine || !parseStatusLine(*statusLine, head, http10)) return Step::Failed;
  std::vector<Field> fields;
  if (!parseFields(rest, fields)) return Step::Failed;

  bool coded = false;
  std::string codings;
  bool close = false;
  for (const Field& field : fields) {
    const std::string_view value = trimBlanks(field.value);
    if (basics::equalIgnoringCase(field.name, "Content-Length")) {
      // Two lengths that disagree leave no telling where the body ends.
      const auto length = number(value, 10);
      if (!length || (head.length && *head.length != *length)) return Step::Failed;
      head.length = length;
    } else if (basics::equalIgnoringCase(field.name, "Transfer-Encoding")) {
      coded = true;
      codings += value;
      codings += ',';
    } else if (basics::equalIgnoringCase(field.name, "Connection")) {
      for (const std::string_view option : listElements(value)) {
        close = close || basics::equalIgnoringCase(option, "close");
      }
    } else if (basics::equalIgnoringCase(field.name, "Location")) {
      head.location = value;
    }
  }
  if (coded) {
    // The request asks for no coding, so only chunked alone can come back;
    // any other (or chunked twice, or not last) would leave a body this client
    // cannot read. A length beside a coding, or a coding in an HTTP/1.0 reply,
    // is framing readers disagree on.
    const auto list = listElements(codings);
    if (list.size() != 1 || !basics::equalIgnoringCase(list.front(), "chunked")) {
      return Step::Failed;
    }
    if (head.length || http10) return Step::Failed;
    head.chunked = true;
  }
  head.keepAlive = !http10 && !close;
  return Step::Done;
}

// Line ends before a status line are passed over: a server may have ended
// the reply before it with one too many.
Step skipEmptyLines(Reader& reader, std::size_t& start) {
  for (;;) {
    // Counted as head bytes, looked at after every line whatever has arrived.
    if (start >= kMaxHeads) return Step::Failed;
    const std::string_view rest = std::string_view(reader.buffer).substr(start);
    if (rest.starts_with("\n")) {
      start += 1;
    } else if (rest.starts_with("\r\n")) {
      start += 2;
    } else if (!rest.empty() && rest != "\r") {
      return Step::Done;
    } else if (reader.ended) {
      return Step::Failed;
    } else if (const Step step = reader.more(); step != Step::Done) {
      return step;
    }
  }
}

// The size at the start of a chunk's line (ended by CR LF): hex digits, then
// nothing or extensions. Blanks before the size, or after it with no
// extension, are not a size.
std::optional<std::uint64_t> chunkSize(std::string_view line) {
  if (!line.ends_with('\r')) return std::nullopt;
  line.remove_suffix(1);
  if (line.find('\r') != std::string_view::npos) return std::nullopt;
  std::size_t digits = 0;
  while (digits < line.size() && isHexDigit(line[digits])) ++digits;
  if (!validChunkExtensions(line.substr(digits))) return std::nullopt;
  return number(line.substr(0, digits), 16);
}

Step readChunked(Reader& reader, std::size_t limit, std::string& body) {
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
    if (*size == 0) break;
    if (!bodyFits(body.size(), *size, limit)) return Step::TooLarge;
    const auto chunk = static_cast<std::size_t>(*size);
    while (reader.buffer.size() < chunk + 2) {
      if (reader.ended) return Step::Failed;
      if (const Step step = reader.more(); step != Step::Done) return step;
    }
    // The chunk's data ends with its own CR LF, or the sizes are not to be trusted.
    if (reader.buffer.compare(chunk, 2, "\r\n") != 0) return Step::Failed;
    body.append(reader.buffer, 0, chunk);
    reader.buffer.erase(0, chunk + 2);
  }
  // The body is whole with its last chunk. Trailer fields are not wanted and
  // not waited for: the reply counts as read to its end (so the connection may
  // carry another) only when their end is here already, as it nearly always
  // is, since servers send the last chunk and the blank line together.
  std::size_t end = std::string::npos;
  if (reader.buffer.starts_with("\r\n")) {
    end = 2;
  } else if (const auto blank = reader.buffer.find("\r\n\r\n"); blank != std::string::npos) {
    end = blank + 4;
  }
  if (end != std::string::npos) {
    reader.buffer.erase(0, end);
    reader.complete = true;
  }
  return Step::Done;
}

}  // namespace

Step readHead(Reader& reader, Head& head) {
  // Interim replies are read where they lie, by offset: cutting each off the
  // front of the buffer would copy the rest of it every time.
  reader.complete = false;
  std::size_t start = 0;
  for (int interim = 0;; ++interim) {
    if (interim > kMaxInterim) return Step::Failed;
    if (const Step step = skipEmptyLines(reader, start); step != Step::Done) return step;
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
    // Nobody asked to switch protocols: what follows would be no HTTP reply.
    if (head.status == 101) return Step::Failed;
    if (head.status >= 200) break;
  }
  reader.buffer.erase(0, start);
  return Step::Done;
}

Step readBody(Reader& reader, const Head& head, std::size_t limit, std::string& body) {
  reader.complete = false;
  if (head.status == 204 || head.status == 304) {
    reader.complete = true;
    return Step::Done;
  }
  if (head.chunked) return readChunked(reader, limit, body);
  if (head.length && !bodyFits(0, *head.length, limit)) return Step::TooLarge;
  for (;;) {
    std::string_view fresh = reader.buffer;
    // Bytes past a declared length are not the body's.
    if (head.length) fresh = fresh.substr(0, static_cast<std::size_t>(*head.length) - body.size());
    if (!bodyFits(body.size(), fresh.size(), limit)) return Step::TooLarge;
    body += fresh;
    reader.buffer.erase(0, fresh.size());
    if (head.length && body.size() == *head.length) {
      reader.complete = true;
      return Step::Done;
    }
    if (reader.ended) return head.length ? Step::Failed : Step::Done;
    if (const Step step = reader.more(); step != Step::Done) return step;
  }
}

bool reusable(const Head& head, const Reader& reader) {
  return head.keepAlive && reader.complete && !reader.ended && reader.buffer.empty();
}

}  // namespace platform::linuxos
