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
  bool ended = false;  // the server closed the connection

  // Reads more into the buffer; Done with `ended` set at the end of the stream.
  virtual Step more() = 0;
};

// What the headers of a response say that the transfer needs.
struct Head {
  long status = 0;
  std::optional<std::uint64_t> length;
  bool chunked = false;
  std::string location;
};

// Reads the status line and headers of the final response (interim 1xx ones
// are skipped); what follows them stays in the reader's buffer.
Step readHead(Reader& reader, Head& head);

// Reads a body of at most `limit` bytes into `body`.
Step readBody(Reader& reader, const Head& head, std::size_t limit, std::string& body);

}  // namespace platform::linuxos
