#include "tests/support/http_test_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <stdexcept>

namespace tests_support {
namespace {

constexpr std::size_t kMaxRequestHead = 64 * 1024;
constexpr auto kRequestReadTimeout = std::chrono::seconds(10);

std::string lower(std::string_view s) {
  std::string out(s);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return out;
}

const char* reasonPhrase(int status) {
  switch (status) {
    case 200:
      return "OK";
    case 204:
      return "No Content";
    case 301:
      return "Moved Permanently";
    case 302:
      return "Found";
    case 307:
      return "Temporary Redirect";
    case 404:
      return "Not Found";
    case 500:
      return "Internal Server Error";
    case 503:
      return "Service Unavailable";
    default:
      return "Status";
  }
}

// Parses "METHOD target HTTP/1.1\r\nName: value\r\n...\r\n\r\n".
HttpRequest parseHead(std::string_view head) {
  HttpRequest request;
  std::size_t lineEnd = head.find("\r\n");
  std::string_view line = head.substr(0, lineEnd);
  std::size_t sp1 = line.find(' ');
  std::size_t sp2 = line.find(' ', sp1 == std::string_view::npos ? sp1 : sp1 + 1);
  if (sp1 != std::string_view::npos) {
    request.method = line.substr(0, sp1);
    request.target = line.substr(sp1 + 1, sp2 == std::string_view::npos ? sp2 : sp2 - sp1 - 1);
  }
  while (lineEnd != std::string_view::npos) {
    std::size_t start = lineEnd + 2;
    lineEnd = head.find("\r\n", start);
    line = head.substr(start, lineEnd == std::string_view::npos ? lineEnd : lineEnd - start);
    std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    std::string_view value = line.substr(colon + 1);
    while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
    request.headers.emplace_back(line.substr(0, colon), value);
  }
  return request;
}

// The close that follows sends a reset instead of an orderly end.
void resetOnClose(int fd) {
  const linger abort{1, 0};
  setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
}

}  // namespace

std::string HttpRequest::header(std::string_view name) const {
  for (const auto& [key, value] : headers) {
    if (lower(key) == lower(name)) return value;
  }
  return {};
}

HttpReply HttpReply::text(std::string body, int status) {
  HttpReply reply;
  reply.status = status;
  reply.body = std::move(body);
  reply.headers = {{"Content-Type", "text/plain"}};
  return reply;
}

HttpReply HttpReply::redirect(std::string location, int status) {
  HttpReply reply;
  reply.status = status;
  reply.headers = {{"Location", std::move(location)}};
  return reply;
}

HttpReply HttpReply::asIs(std::string bytes) {
  HttpReply reply;
  reply.action = Action::AsIs;
  reply.body = std::move(bytes);
  return reply;
}

HttpReply HttpReply::neverAnswer() {
  HttpReply reply;
  reply.action = Action::NeverAnswer;
  return reply;
}

HttpReply HttpReply::closeImmediately() {
  HttpReply reply;
  reply.action = Action::CloseImmediately;
  return reply;
}

HttpReply HttpReply::reset() {
  HttpReply reply;
  reply.action = Action::Reset;
  return reply;
}

HttpTestServer::HttpTestServer(Handler handler, std::uint16_t port, const std::string& address)
    : address_(address), handler_(std::move(handler)) {
  // An IPv4 or an IPv6 address, as the address text says.
  sockaddr_storage addr{};
  socklen_t addrLength = 0;
  auto* v4 = reinterpret_cast<sockaddr_in*>(&addr);
  auto* v6 = reinterpret_cast<sockaddr_in6*>(&addr);
  if (inet_pton(AF_INET, address.c_str(), &v4->sin_addr) == 1) {
    v4->sin_family = AF_INET;
    v4->sin_port = htons(port);
    addrLength = sizeof *v4;
  } else if (inet_pton(AF_INET6, address.c_str(), &v6->sin6_addr) == 1) {
    v6->sin6_family = AF_INET6;
    v6->sin6_port = htons(port);
    addrLength = sizeof *v6;
  } else {
    throw std::runtime_error("bad test server address " + address);
  }
  listenFd_ = socket(addr.ss_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
  wakeFd_ = eventfd(0, EFD_CLOEXEC);
  const int one = 1;
  setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  if (listenFd_ < 0 || wakeFd_ < 0 ||
      bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), addrLength) != 0 ||
      listen(listenFd_, 64) != 0) {
    const int error = errno;
    if (listenFd_ >= 0) close(listenFd_);
    if (wakeFd_ >= 0) close(wakeFd_);
    throw std::runtime_error("test server cannot listen on " + address + ":" +
                             std::to_string(port) + ": " + std::to_string(error));
  }
  getsockname(listenFd_, reinterpret_cast<sockaddr*>(&addr), &addrLength);
  port_ = ntohs(addr.ss_family == AF_INET ? v4->sin_port : v6->sin6_port);
  acceptor_ = std::thread([this] { acceptLoop(); });
}

HttpTestServer::~HttpTestServer() {
  stop();
  close(listenFd_);
  close(wakeFd_);
}

void HttpTestServer::stop() {
  if (stopped_.exchange(true)) return;
  const std::uint64_t one = 1;
  (void)!write(wakeFd_, &one, sizeof one);
  acceptor_.join();
  // The acceptor has ended, so the worker list no longer grows.
  for (Worker& worker : workers_) worker.thread.join();
  workers_.clear();
}

void HttpTestServer::setHandler(Handler handler) {
  std::lock_guard lock(mutex_);
  handler_ = std::move(handler);
}

void HttpTestServer::setReply(HttpReply reply) {
  setHandler([reply = std::move(reply)](const HttpRequest&) { return reply; });
}

std::string HttpTestServer::url(std::string_view path) const {
  return "http://" + address_ + ":" + std::to_string(port_) + std::string(path);
}

std::vector<HttpRequest> HttpTestServer::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

void HttpTestServer::acceptLoop() {
  for (;;) {
    pollfd fds[2] = {{listenFd_, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
    if (poll(fds, 2, -1) < 0 && errno != EINTR) return;
    if (fds[1].revents != 0) return;
    if ((fds[0].revents & POLLIN) == 0) continue;
    const int fd = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    // Each piece of a reply goes out as it is sent: on a kept connection a
    // body held back for the client's delayed acknowledgement would cost every
    // request 40 ms.
    const int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    ++connections_;
    // Join the workers that have finished, so a long-running server keeps few threads.
    std::erase_if(workers_, [](Worker& w) {
      if (!w.done->load()) return false;
      w.thread.join();
      return true;
    });
    auto done = std::make_shared<std::atomic<bool>>(false);
    workers_.push_back({std::thread([this, fd, done] {
                          serve(fd);
                          close(fd);
                          done->store(true);
                        }),
                        done});
  }
}

// Waits until `fd` has data (true) or the server stops or time runs out (false).
bool HttpTestServer::waitReadable(int fd, std::chrono::milliseconds timeout) const {
  pollfd fds[2] = {{fd, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
  const int ready = poll(fds, 2, static_cast<int>(timeout.count()));
  return ready > 0 && fds[1].revents == 0 && fds[0].revents != 0;
}

// Sleeps for `timeout` unless the server stops or the client leaves first
// (false). A client's further bytes are read and kept in `received`, or
// dropped when it is null.
bool HttpTestServer::waitQuiet(int fd, std::chrono::milliseconds timeout,
                               std::string* received) const {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return true;
    pollfd fds[2] = {{fd, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
    if (poll(fds, 2, static_cast<int>(left.count())) < 0 && errno != EINTR) return false;
    if (fds[1].revents != 0) return false;
    if (fds[0].revents != 0) {
      char sink[512];
      const ssize_t got = recv(fd, sink, sizeof sink, 0);
      if (got <= 0) return false;
      if (received) received->append(sink, static_cast<std::size_t>(got));
    }
  }
}

bool HttpTestServer::sendAll(int fd, std::string_view data) {
  while (!data.empty()) {
    pollfd fds[2] = {{fd, POLLOUT, 0}, {wakeFd_, POLLIN, 0}};
    if (poll(fds, 2, 10000) <= 0 || fds[1].revents != 0) return false;
    const ssize_t sent = send(fd, data.data(), data.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (sent < 0) {
      if (errno == EAGAIN || errno == EINTR) continue;
      return false;
    }
    bytesSent_ += static_cast<std::size_t>(sent);
    data.remove_prefix(static_cast<std::size_t>(sent));
  }
  return true;
}

void HttpTestServer::serve(int fd) {
  std::string pending;  // what the client sent past the requests answered so far
  while (serveOne(fd, pending)) {
  }
}

bool HttpTestServer::serveOne(int fd, std::string& pending) {
  char buffer[4096];
  std::size_t headEnd;
  while ((headEnd = pending.find("\r\n\r\n")) == std::string::npos) {
    if (pending.size() > kMaxRequestHead || !waitReadable(fd, kRequestReadTimeout)) return false;
    const ssize_t got = recv(fd, buffer, sizeof buffer, 0);
    if (got <= 0) return false;
    pending.append(buffer, static_cast<std::size_t>(got));
  }
  const HttpRequest request = parseHead(std::string_view(pending).substr(0, headEnd + 4));
  pending.erase(0, headEnd + 4);
  Handler handler;
  {
    std::lock_guard lock(mutex_);
    requests_.push_back(request);
    handler = handler_;
  }
  const HttpReply reply = handler ? handler(request) : HttpReply::text("");

  switch (reply.action) {
    case HttpReply::Action::CloseImmediately:
      return false;
    case HttpReply::Action::Reset:
      resetOnClose(fd);
      return false;
    case HttpReply::Action::NeverAnswer:
      while (waitQuiet(fd, std::chrono::hours(1))) {
      }
      return false;
    case HttpReply::Action::Answer:
    case HttpReply::Action::AsIs:
      break;
  }
  const bool framed = reply.action == HttpReply::Action::AsIs || reply.sendLength ||
                      std::any_of(reply.headers.begin(), reply.headers.end(), [](const auto& h) {
                        return lower(h.first) == "transfer-encoding";
                      });
  const bool keep = reply.keepAlive && framed && reply.repeated.empty() && !reply.resetAtEnd &&
                    lower(request.header("Connection")).find("close") == std::string::npos;
  // A kept connection may bring the next request while this one is answered.
  std::string* const early = keep ? &pending : nullptr;
  if (!waitQuiet(fd, reply.delay, early)) return false;
  std::string out;
  if (reply.action == HttpReply::Action::Answer) {
    out = "HTTP/1.1 " + std::to_string(reply.status) + " " + reasonPhrase(reply.status) + "\r\n";
    if (!keep) out += "Connection: close\r\n";
    for (const auto& [name, value] : reply.headers) out += name + ": " + value + "\r\n";
    if (reply.sendLength) {
      out += "Content-Length: " + std::to_string(reply.body.size() + reply.fillerBytes) + "\r\n";
    }
    out += "\r\n";
  }
  if (reply.byteInterval.count() > 0) {
    out += reply.body;
    for (const char c : out) {
      if (!waitQuiet(fd, reply.byteInterval, early) || !sendAll(fd, std::string_view(&c, 1))) {
        return false;
      }
    }
  } else if (!sendAll(fd, out) || !waitQuiet(fd, reply.bodyDelay, early) ||
             !sendAll(fd, reply.body)) {
    return false;
  }
  const std::string filler(64 * 1024, 'x');
  for (std::size_t left = reply.fillerBytes; left > 0;) {
    const std::size_t chunk = std::min(left, filler.size());
    if (!sendAll(fd, std::string_view(filler).substr(0, chunk))) return false;
    left -= chunk;
  }
  if (keep) return true;
  if (!reply.repeated.empty()) {
    std::string flood;
    while (flood.size() < 64 * 1024) flood += reply.repeated;
    while (sendAll(fd, flood)) {
    }
    return false;
  }
  if (reply.resetAtEnd) {
    resetOnClose(fd);
    return false;
  }
  shutdown(fd, SHUT_WR);
  // Let the client read to the end before the socket goes away.
  waitQuiet(fd, std::chrono::seconds(2));
  return false;
}

}  // namespace tests_support
