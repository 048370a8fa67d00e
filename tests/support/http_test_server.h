#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace tests_support {

using HeaderList = std::vector<std::pair<std::string, std::string>>;

// One request as the server read it.
struct HttpRequest {
  std::string method;
  std::string target;  // as sent: a path, or an absolute URL when sent to a proxy
  HeaderList headers;
  // The named header's value (name matched case-insensitively), or "" when absent.
  std::string header(std::string_view name) const;
};

// What the server does with one request.
struct HttpReply {
  enum class Action {
    Answer,            // wait `delay`, then send the status line, headers and body
    NeverAnswer,       // keep the connection open and silent until the client or the server leaves
    CloseImmediately,  // close the connection without a byte of reply
    AsIs,              // like Answer, but `body` is the whole reply, status line and headers too
    Reset,             // reset the connection (RST) without a byte of reply
  };
  Action action = Action::Answer;
  int status = 200;
  HeaderList headers;
  std::string body;
  std::size_t fillerBytes = 0;             // 'x' bytes streamed after `body`, made on the fly
  bool sendLength = true;                  // false: no Content-Length, the body ends at close
  std::chrono::milliseconds delay{0};      // before the status line
  std::chrono::milliseconds bodyDelay{0};  // between the headers and the body
  // Hostile servers: a pause before each byte of the reply (a trickle), text
  // sent again and again after the body until the client leaves (a flood),
  // a reset instead of an orderly close once all is sent.
  std::chrono::milliseconds byteInterval{0};
  std::string repeated;
  bool resetAtEnd = false;
  // The connection stays open for the next request once this reply is sent,
  // unless the request asked to close it. Only a reply whose end the client
  // can tell (an Answer with its length or a Transfer-Encoding header, or an
  // AsIs framed by the test) keeps it: an Answer with neither ends at the close.
  bool keepAlive = false;

  static HttpReply text(std::string body, int status = 200);
  static HttpReply redirect(std::string location, int status = 302);
  static HttpReply asIs(std::string bytes);  // for replies no well-behaved server sends
  static HttpReply neverAnswer();
  static HttpReply closeImmediately();
  static HttpReply reset();
};

// A small scripted HTTP/1.1 server for tests: it listens on a loopback address
// (an ephemeral port unless one is given), serves each connection on a thread
// of its own with one reply and then closes it, or with one reply per request
// while the replies keep it alive. Stopping (or destroying) it ends every
// connection at once, silent ones included.
class HttpTestServer {
 public:
  using Handler = std::function<HttpReply(const HttpRequest&)>;

  // Throws std::runtime_error when the address cannot be bound.
  explicit HttpTestServer(Handler handler = {}, std::uint16_t port = 0,
                          const std::string& address = "127.0.0.1");
  ~HttpTestServer();
  HttpTestServer(const HttpTestServer&) = delete;
  HttpTestServer& operator=(const HttpTestServer&) = delete;

  void setHandler(Handler handler);
  void setReply(HttpReply reply);  // every later request gets this reply

  std::uint16_t port() const { return port_; }
  std::string url(std::string_view path = "/") const;

  std::vector<HttpRequest> requests() const;
  int connections() const { return connections_.load(); }
  std::size_t bytesSent() const { return bytesSent_.load(); }

  void stop();

 private:
  void acceptLoop();
  void serve(int fd);
  // Answers one request read from the front of `pending`; true when the
  // connection stays open for another.
  bool serveOne(int fd, std::string& pending);
  bool waitReadable(int fd, std::chrono::milliseconds timeout) const;
  bool waitQuiet(int fd, std::chrono::milliseconds timeout, std::string* received = nullptr) const;
  bool sendAll(int fd, std::string_view data);

  std::string address_;
  std::uint16_t port_ = 0;
  int listenFd_ = -1;
  int wakeFd_ = -1;  // becomes readable when the server stops
  std::atomic<bool> stopped_{false};
  std::atomic<int> connections_{0};
  std::atomic<std::size_t> bytesSent_{0};

  mutable std::mutex mutex_;
  Handler handler_;
  std::vector<HttpRequest> requests_;
  struct Worker {
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> done;
  };
  std::vector<Worker> workers_;  // touched by the acceptor only, then by stop()
  std::thread acceptor_;
};

}  // namespace tests_support
