// The response cases of llhttp, the HTTP parser of Node.js, as a yardstick for
// the client's reading of replies: each reply is sent from a loopback server
// to the client, and the table says what the client must make of it. The
// cases are llhttp's files, unchanged, in tests/data/llhttp_responses (MIT
// licence; where they came from is in the README there).
//
// Where llhttp is lenient or parses more than HTTP, the client is stricter,
// and the row says so. Files not copied: llhttp's request cases (this client
// reads only replies), and of the response cases pausing.md (its callbacks
// pausing), finish.md (its end-of-input call), lenient-version.md (a lenient
// option) and pipelining.md (several replies to requests sent at once; the
// client sends one at a time).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/linux/http_internet_transfer.h"
#include "tests/support/http_test_server.h"

namespace {

using namespace std::chrono_literals;
using Outcome = platform::FetchResult::Outcome;
using tests_support::HttpReply;
using tests_support::HttpRequest;
using tests_support::HttpTestServer;

enum class Expect {
  Body,        // read: the body llhttp logged, or the row's own
  Redirect,    // followed to its Location
  ErrorPage,   // a status of 400 or more: no address
  NotThePage,  // a 3xx that leads nowhere: no address
  Refused,     // not read at all
  LeftOut,     // does not apply to this client; the comment says why
};

struct Row {
  const char* file;
  const char* name;
  Expect expect;
  const char* body = nullptr;  // for Body where llhttp logged none, refusing the reply
};

const Row kRows[] = {
    {"sample", "Simple response", Expect::Body},
    // llhttp also parses RTSP and ICE replies; to an HTTP client they are no reply.
    {"sample", "RTSP response", Expect::Refused},
    {"sample", "ICE response", Expect::Refused},
    {"sample", "Error on invalid response start", Expect::Refused},
    {"sample", "Empty body should not trigger spurious span callbacks", Expect::Body},
    {"sample", "Google 301", Expect::Redirect},
    {"sample", "amazon.com", Expect::Redirect},
    {"sample", "No headers and no body", Expect::ErrorPage},
    {"sample", "No reason phrase", Expect::NotThePage},
    {"sample", "Empty reason phrase after space", Expect::Body},
    // Lines ended by a bare LF, which llhttp refuses unless lenient and the
    // client, as HTTP/1.1 allows a recipient, reads as line ends.
    {"sample", "No carriage ret", Expect::Body,
     "these headers are from http://news.ycombinator.com/"},
    {"sample", "No carriage ret (lenient)", Expect::LeftOut},  // a lenient option
    {"sample", "Underscore in header key", Expect::Body},
    {"sample", "bonjourmadame.fr", Expect::Redirect},
    {"sample", "Spaces in header value", Expect::Body},
    {"sample", "Spaces in header name", Expect::Refused},
    {"sample", "Non ASCII in status line", Expect::ErrorPage},
    // llhttp takes any version; the client speaks HTTP/1.x only.
    {"sample", "HTTP version 0.9", Expect::Refused},
    {"sample", "No Content-Length, no Transfer-Encoding", Expect::Body},
    {"sample", "Response starting with CRLF", Expect::Body},

    {"invalid", "Incomplete HTTP protocol", Expect::Refused},
    {"invalid", "Extra digit in HTTP major version", Expect::Refused},
    {"invalid", "Extra digit in HTTP major version #2", Expect::Refused},
    {"invalid", "Extra digit in HTTP minor version", Expect::Refused},
    {"invalid", "Tab after HTTP version", Expect::Refused},
    {"invalid", "CR before response and tab after HTTP version", Expect::Refused},
    {"invalid", "Headers separated by CR", Expect::Refused},
    {"invalid", "Bare CR after response line", Expect::Refused},
    {"invalid", "Bare CR after response line (lenient)", Expect::LeftOut},  // a lenient option
    {"invalid", "Bare CR followed by CR after response line", Expect::Refused},
    {"invalid", "Invalid HTTP version", Expect::Refused},
    {"invalid", "Invalid space after start line", Expect::Refused},
    {"invalid", "Extra space between HTTP version and status code", Expect::Refused},
    {"invalid", "Extra space between status code and reason", Expect::Body},
    {"invalid", "One-digit status code", Expect::Refused},
    // Bare LFs again, read as llhttp's lenient option reads them.
    {"invalid", "Only LFs present and no body", Expect::Body, ""},
    {"invalid", "Only LFs present and no body (lenient)", Expect::LeftOut},  // a lenient option
    {"invalid", "Only LFs present", Expect::Body, "BODY\n\\"},
    {"invalid", "Only LFs present (lenient)", Expect::LeftOut},  // a lenient option

    {"transfer-encoding", "Trailing space on chunked body", Expect::Refused},
    // Codings other than chunked alone: llhttp hands on the coded bytes as
    // they came, which are not the body; the client asks for no coding and
    // refuses them.
    {"transfer-encoding", "`chunked` before other transfer-encoding", Expect::Refused},
    {"transfer-encoding", "multiple transfer-encoding where chunked is not the last one",
     Expect::Refused},
    {"transfer-encoding", "`chunkedchunked` transfer-encoding does not enable chunked enconding",
     Expect::Refused},
    {"transfer-encoding", "Chunk extensions", Expect::Body},
    {"transfer-encoding", "No semicolon before chunk extensions", Expect::Refused},
    {"transfer-encoding", "No extension after semicolon", Expect::Refused},
    // Ends after the last chunk without the blank line: the body is whole.
    {"transfer-encoding", "Chunk extensions quoting", Expect::Body},
    {"transfer-encoding", "Unbalanced chunk extensions quoting", Expect::Refused},
    // llhttp runs this one with a lenient option (strict, it refuses the
    // folded line). The client unfolds it, as a user agent must, into the
    // coding "chunked abc", which it refuses.
    {"transfer-encoding", "Invalid OBS fold after chunked value", Expect::Refused},

    {"content-length", "Response without `Content-Length`, but with body", Expect::Body},
    {"content-length", "Content-Length-X", Expect::Body},
    // The parser is told the reply has no body, as for a HEAD request.
    {"content-length", "Content-Length reset when no body is received", Expect::LeftOut},
    // 42 bytes declared, none sent.
    {"content-length", "Tabs in `Content-Length` (surrounding)", Expect::Refused},

    {"connection", "Proxy-Connection", Expect::Body},
    {"connection", "HTTP/1.0 with keep-alive and EOF-terminated 200 status", Expect::Body},
    {"connection", "HTTP/1.0 with keep-alive and 204 status", Expect::Body},
    {"connection", "HTTP/1.1 with EOF-terminated 200 status", Expect::Body},
    {"connection", "HTTP/1.1 with 204 status", Expect::Body},
    // What follows the reply is not read: llhttp's error is about that.
    {"connection", "HTTP/1.1 with keep-alive disabled and 204 status", Expect::Body},
    {"connection", "HTTP/1.1 with keep-alive disabled, content-length (lenient)",
     Expect::LeftOut},  // a lenient option
    {"connection", "HTTP/1.1 with keep-alive disabled, content-length", Expect::Body},
    {"connection", "HTTP/1.1 with keep-alive disabled and 204 status (lenient)",
     Expect::LeftOut},  // a lenient option
    // A switch of protocols nobody asked for.
    {"connection", "HTTP 101 response with Upgrade and Content-Length header", Expect::Refused},
    {"connection", "HTTP 101 response with Upgrade and Transfer-Encoding header", Expect::Refused},
    {"connection", "HTTP 200 response with Upgrade header", Expect::Body},
    {"connection", "HTTP 200 response with Upgrade header and Content-Length", Expect::Body},
    {"connection", "HTTP 200 response with Upgrade header and Transfer-Encoding", Expect::Body},
    {"connection", "HTTP 304 with Content-Length", Expect::NotThePage},
    {"connection", "HTTP 304 with Transfer-Encoding", Expect::NotThePage},
    {"connection", "HTTP 100 first, then 400", Expect::ErrorPage},
    // 17 bytes declared, 16 sent.
    {"connection", "HTTP 103 first, then 200", Expect::Refused},
};

struct Case {
  std::string file;
  std::string name;
  std::string reply;  // the bytes sent
  std::string body;   // what llhttp logged as the first reply's body
};

void replaceAll(std::string& text, std::string_view from, std::string_view to) {
  for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
}

// The bytes a case's `http` block stands for, as llhttp's test runner makes
// them: the block's last line end dropped, a line end after a backslash
// dropped with it, the other line ends CR LF, then the escapes.
std::string replyOf(std::string block) {
  if (block.ends_with('\n')) block.pop_back();
  replaceAll(block, "\\\n", "");
  replaceAll(block, "\n", "\r\n");
  replaceAll(block, "\\r", "\r");
  replaceAll(block, "\\n", "\n");
  replaceAll(block, "\\t", "\t");
  replaceAll(block, "\\f", "\f");
  return block;
}

// The body llhttp logged for the first reply of a case, in the pieces it
// reported: quoted text, or "cr" and "lf" for those bytes.
std::string loggedBody(const std::string& log) {
  std::string body;
  std::size_t start = 0;
  for (std::size_t end; (end = log.find('\n', start)) != std::string::npos; start = end + 1) {
    const std::string_view line = std::string_view(log).substr(start, end - start);
    if (line.find("message complete") != std::string_view::npos ||
        line.find(" error ") != std::string_view::npos) {
      break;
    }
    const auto at = line.find("span[body]=");
    if (at == std::string_view::npos) continue;
    const std::string_view value = line.substr(at + 11);
    if (value == "cr") {
      body += '\r';
    } else if (value == "lf") {
      body += '\n';
    } else if (value.size() >= 2) {
      std::string text(value.substr(1, value.size() - 2));
      replaceAll(text, "\\t", "\t");
      body += text;
    }
  }
  return body;
}

std::vector<Case> readCases(const std::string& file) {
  std::ifstream in(std::string(TARNWICK_LLHTTP_CASES) + "/" + file + ".md");
  std::vector<Case> cases;
  std::string line;
  std::string block;
  enum class In { Text, Http, Log } in_block = In::Text;
  while (std::getline(in, line)) {
    if (in_block == In::Text) {
      if (line.starts_with("#")) {
        cases.push_back({file, line.substr(line.find_first_not_of("# ")), "", ""});
      } else if (line == "```http" || line == "```log") {
        in_block = line == "```http" ? In::Http : In::Log;
        block.clear();
      }
    } else if (line == "```") {
      if (!cases.empty()) (in_block == In::Http ? cases.back().reply : cases.back().body) = block;
      in_block = In::Text;
    } else {
      block += line + "\n";
    }
  }
  for (Case& c : cases) {
    c.reply = replyOf(c.reply);
    c.body = loggedBody(c.body);
  }
  return cases;
}

// Sets the proxy variable for as long as it lives.
class ProxyVariable {
 public:
  explicit ProxyVariable(const std::string& url) { setenv("http_proxy", url.c_str(), 1); }
  ~ProxyVariable() { unsetenv("http_proxy"); }
};

TEST(LlhttpResponses, EachCaseAsTheTableSays) {
  // Every request goes to a loopback server standing in as the proxy: the
  // page asked for gets the case's reply, whatever a redirect leads to gets
  // "followed", and no request leaves the machine.
  const std::string page = "http://llhttp.test/page";
  std::vector<Case> cases;
  for (const char* file :
       {"sample", "invalid", "transfer-encoding", "content-length", "connection"}) {
    const std::vector<Case> more = readCases(file);
    EXPECT_FALSE(more.empty()) << file;
    cases.insert(cases.end(), more.begin(), more.end());
  }
  int ran = 0;
  std::vector<bool> used(std::size(kRows));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file + ".md: " + c.name);
    const Row* row = nullptr;
    for (std::size_t k = 0; k < std::size(kRows); ++k) {
      if (c.file == kRows[k].file && c.name == kRows[k].name) {
        row = &kRows[k];
        used[k] = true;
      }
    }
    ASSERT_NE(row, nullptr) << "a case the table does not name";
    if (row->expect == Expect::LeftOut) continue;
    ++ran;

    HttpTestServer proxy([&](const HttpRequest& request) {
      return request.target == page ? HttpReply::asIs(c.reply) : HttpReply::text("followed");
    });
    const ProxyVariable variable(proxy.url(""));
    platform::linuxos::HttpInternetTransfer net;
    platform::FetchOptions options;
    options.timeout = 5s;
    const platform::FetchResult result = net.fetchText(page, options, {});
    const std::size_t requests = proxy.requests().size();

    switch (row->expect) {
      case Expect::Body:
        EXPECT_EQ(result.outcome, Outcome::Ok);
        EXPECT_EQ(result.body, row->body ? std::string(row->body) : c.body);
        break;
      case Expect::Redirect:
        EXPECT_EQ(result.outcome, Outcome::Ok);
        EXPECT_EQ(result.body, "followed");
        EXPECT_EQ(requests, 2u);
        break;
      case Expect::ErrorPage:
        EXPECT_EQ(result.outcome, Outcome::HttpError);
        EXPECT_GE(result.httpStatus, 400);
        break;
      case Expect::NotThePage:
        EXPECT_EQ(result.outcome, Outcome::Failed);
        EXPECT_EQ(result.httpStatus / 100, 3);
        EXPECT_EQ(requests, 1u);
        break;
      case Expect::Refused:
        EXPECT_EQ(result.outcome, Outcome::Failed);
        EXPECT_EQ(requests, 1u);
        break;
      case Expect::LeftOut:
        break;
    }
  }
  for (std::size_t k = 0; k < std::size(kRows); ++k) {
    EXPECT_TRUE(used[k]) << "no case named " << kRows[k].name << " in " << kRows[k].file << ".md";
  }
  EXPECT_EQ(ran, 64);
}

}  // namespace
