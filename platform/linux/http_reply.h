#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace platform::linuxos {

// How a step of a request ended.
enum class Step { Done, Failed, TimedOut, Cancelled, TooLarge };

// What arrives on a connection, read as it is needed. The reply reading takes
// bytes from the front of `buffer`; `more` adds what comes next.
class Reader {
 public:
  virtual ~Reader() = default;
  std::string buffer;
  bool ended = false;     // the server closed the connection
  bool complete = false;  // the reply was read to its last byte, and no further

  // Reads more into the buffer; Done with `ended` set at the end of the stream.
  virtual Step more() = 0;
};

// What the headers of a response say that the transfer needs.
struct Head {
  long status = 0;
  std::optional<std::uint64_t> length;
  bool chunked = false;
  // HTTP/1.1 without "Connection: close": the server lets the connection
  // carry another request once this reply has been read.
  bool keepAlive = false;
  std::string location;
};

// Reads the status line and headers of the final response (interim 1xx ones
// are skipped); what follows them stays in the reader's buffer. A head that
// HTTP/1.1 readers might read in different ways is refused (Failed): a bare CR,
// a field name that is no token, white space before the first field, a
// transfer coding other than chunked alone, a length beside a transfer coding,
// a switch of protocols nobody asked for.
Step readHead(Reader& reader, Head& head);

// Reads a body of at most `limit` bytes into `body`, leaving what follows it
// in the reader's buffer; sets the reader's `complete` when the reply's end
// is known and has been reached.
Step readBody(Reader& reader, const Head& head, std::size_t limit, std::string& body);

// Whether the connection can carry another request after a reply read with
// `reader`: the server keeps it, the reply ended where its framing said and
// nothing came after it.
bool reusable(const Head& head, const Reader& reader);

}  // namespace platform::linuxos
