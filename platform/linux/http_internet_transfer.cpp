#include "platform/linux/http_internet_transfer.h"

#include <sys/socket.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "basics/text.h"
#include "platform/fetch_policy.h"
#include "platform/linux/http_connect.h"
#include "platform/linux/http_reply.h"
#include "platform/linux/http_url.h"
#include "platform/sign_in_redirect.h"

namespace platform::linuxos {
namespace {

using std::chrono::milliseconds;

constexpr std::size_t kReadChunk = 16 * 1024;

Step sendAll(int fd, std::string_view data, Waits& waits) {
  while (!data.empty()) {
    const ssize_t sent = ::send(fd, data.data(), data.size(), MSG_NOSIGNAL);
    if (sent > 0) {
      data.remove_prefix(static_cast<std::size_t>(sent));
    } else if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
      if (const Step step = waits.wait(fd, POLLOUT); step != Step::Done) return step;
    } else {
      return Step::Failed;
    }
  }
  return Step::Done;
}

// Reads from a connected socket, waiting for it within the request's limits.
class SocketReader final : public Reader {
 public:
  SocketReader(int fd, Waits& waits) : fd_(fd), waits_(waits) {}

  std::size_t received = 0;  // bytes, all told

  // A server that always has more to send never makes the read wait: the stop
  // and the deadline are looked at on every read, not only on the waits.
  Step more() override {
    char chunk[kReadChunk];
    for (;;) {
      if (const Step step = waits_.check(); step != Step::Done) return step;
      const ssize_t got = ::recv(fd_, chunk, sizeof chunk, 0);
      if (got > 0) {
        buffer.append(chunk, static_cast<std::size_t>(got));
        received += static_cast<std::size_t>(got);
        return Step::Done;
      }
      if (got == 0) {
        ended = true;
        return Step::Done;
      }
      if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) return Step::Failed;
      if (const Step step = waits_.wait(fd_, POLLIN); step != Step::Done) return step;
    }
  }

 private:
  int fd_;
  Waits& waits_;
};

// What the requests of one transfer share.
struct Shared {
  const HttpTransferConfig& config;
  ConnectionPool& pool;
  std::atomic<std::size_t>& lookups;
};

// How far a request has got: where it stopped tells what failed.
enum class Phase { Starting, LookingUp, Connecting, Awaiting };

// One request up to its response's headers: the connection, with what was
// read past the headers left in `reader`, and what the pool knows it by.
struct Exchange {
  Fd socket;
  std::optional<SocketReader> reader;
  Head head;
  std::string server;
  ConnectionPool::Generation generation = 0;
  Phase phase = Phase::Starting;
  bool viaProxy = false;
};

constexpr long kProxyAuthenticationRequired = 407;
constexpr long kNetworkAuthenticationRequired = 511;

// How far the exchange that ended in `step` got. A final status line is an
// answer, even in a head refused after it; bytes that make none are no reply,
// so a proxy that answers nonsense is a failing proxy. A stopped request says
// nothing about the network.
RequestReport reportOf(const Exchange& ex, Step step) {
  RequestReport report;
  report.viaProxy = ex.viaProxy;
  if (step == Step::Done) {
    report.reach = ex.head.status == kProxyAuthenticationRequired     ? Reach::ProxyFailed
                   : ex.head.status == kNetworkAuthenticationRequired ? Reach::SignInPage
                                                                      : Reach::Answered;
    return report;
  }
  if (step == Step::Cancelled) return report;
  switch (ex.phase) {
    case Phase::Starting:
      return report;
    case Phase::LookingUp:
      report.reach = Reach::NoName;
      break;
    case Phase::Connecting:
      report.reach = Reach::NoConnection;
      break;
    case Phase::Awaiting:
      if (ex.head.status >= 200) {
        report.reach = Reach::Answered;
        return report;
      }
      report.reach = Reach::NoReply;
      break;
  }
  // Whatever failed on the way to a proxy, it is the proxy that failed.
  if (ex.viaProxy) report.reach = Reach::ProxyFailed;
  return report;
}

// Phases of a request with their own deadlines: until connected, and after;
// neither goes past `last`.
struct Deadlines {
  Clock::time_point connect;
  std::optional<milliseconds> afterConnect;  // none: the connect deadline goes on
  Clock::time_point last = Clock::time_point::max();
};

// A new connection to `server`, at the addresses found for it earlier in the
// gathering or looked up now.
Step connectAfresh(const HttpUrl& server, Exchange& ex, Waits& waits, Shared& shared, Fd& out) {
  std::vector<Address> addresses;
  if (auto kept = shared.pool.addresses(ex.server)) {
    addresses = std::move(*kept);
  } else {
    ex.phase = Phase::LookingUp;
    const auto started = Clock::now();
    ++shared.lookups;
    const Step step = lookUp(server.host, server.port, waits, addresses);
    if (step == Step::Failed && Clock::now() - started >= shared.config.slowLookup) {
      return Step::TimedOut;
    }
    if (step != Step::Done) return step;
    shared.pool.keepAddresses(ex.server, addresses, ex.generation);
  }
  ex.phase = Phase::Connecting;
  return connectTo(interleaved(std::move(addresses)), waits, shared.config.attemptDelay, out);
}

// Sends a GET for `url` and reads the response's head. With `keepAlive` the
// request may go on a connection kept from an earlier one, and the server
// may keep this one; without it the server is asked to close it.
Step exchange(const std::string& url, const std::string& agent, bool keepAlive, Waits& waits,
              const Deadlines& deadlines, Shared& shared, Exchange& out) {
  const auto target = parseHttpUrl(url);
  if (!target) return Step::Failed;
  bool unusable = false;
  const auto proxy = proxyFor(*target, unusable);
  out.viaProxy = unusable || proxy.has_value();
  if (unusable) {
    // A proxy variable that names no proxy this client can use fails like a
    // proxy whose name does not resolve.
    out.phase = Phase::LookingUp;
    return Step::Failed;
  }
  const HttpUrl& server = proxy ? *proxy : *target;
  out.server = server.host + '\n' + server.port;
  out.generation = shared.pool.generation();

  std::string request = "GET " + (proxy ? target->absolute() : target->target) + " HTTP/1.1\r\n";
  request += "Host: " + target->authority + "\r\n";
  if (!agent.empty()) request += "User-Agent: " + agent + "\r\n";
  if (proxy && !proxy->userinfo.empty()) {
    request += "Proxy-Authorization: " + basicCredentials(proxy->userinfo) + "\r\n";
  }
  request += keepAlive ? "Accept: */*\r\n\r\n" : "Accept: */*\r\nConnection: close\r\n\r\n";

  bool mayReuse = keepAlive;
  for (;;) {
    // A retry on a fresh connection counts by what it finds from the start.
    out.phase = Phase::Starting;
    waits.setDeadline(deadlines.connect);
    // A request whose time is already up starts no lookup: it has timed out.
    if (const Step step = waits.check(); step != Step::Done) return step;
    std::optional<Fd> kept = mayReuse ? shared.pool.takeIdle(out.server) : std::nullopt;
    mayReuse = false;
    const bool reused = kept.has_value();
    if (reused) {
      out.socket = std::move(*kept);
    } else if (const Step step = connectAfresh(server, out, waits, shared, out.socket);
               step != Step::Done) {
      return step;
    }
    if (deadlines.afterConnect) {
      waits.setDeadline(deadlineWithin(*deadlines.afterConnect, deadlines.last));
    }
    out.reader.reset();
    out.phase = Phase::Awaiting;
    Step step = sendAll(out.socket.get(), request, waits);
    if (step == Step::Done) {
      out.reader.emplace(out.socket.get(), waits);
      step = readHead(*out.reader, out.head);
    }
    // A kept connection the server closed just as the request went out has
    // cost nothing but that: the request (a GET, which may be sent twice)
    // goes again, once, on a new connection.
    if (reused && step == Step::Failed && (!out.reader || out.reader->received == 0)) continue;
    return step;
  }
}

FetchResult::Outcome outcomeOf(Step step) {
  using Outcome = FetchResult::Outcome;
  switch (step) {
    case Step::Done:
      return Outcome::Ok;
    case Step::TimedOut:
      return Outcome::TimedOut;
    case Step::Cancelled:
      return Outcome::Cancelled;
    case Step::TooLarge:
      return Outcome::TooLarge;
    case Step::Failed:
      break;
  }
  return Outcome::Failed;
}

}  // namespace

FetchResult HttpInternetTransfer::fetchText(const std::string& url, const FetchOptions& options,
                                            std::stop_token stop) {
  FetchResult result;
  Waits waits(std::move(stop), config_.tick);
  if (!waits.usable()) return result;
  Shared shared{config_, pool_, lookups_};
  const Deadlines deadlines{
      deadlineWithin(std::max(options.timeout, milliseconds(1)), options.deadline), {}};
  std::string next = url;
  for (int redirects = 0;; ++redirects) {
    Exchange ex;
    const Step step = exchange(next, options.userAgent, true, waits, deadlines, shared, ex);
    result.httpStatus = ex.head.status;
    // A redirect that leads nowhere this client can go (or past the time)
    // leaves the answer that sent it there as how far the fetch got.
    if (const RequestReport report = reportOf(ex, step);
        redirects == 0 || report.reach != Reach::NotTried) {
      result.report = report;
    }
    if (step != Step::Done) {
      result.outcome = outcomeOf(step);
      return result;
    }
    if (isRedirect(ex.head.status) && !ex.head.location.empty()) {
      if (!mayFollowRedirect(redirects, options)) return result;  // Failed
      next = resolveLocation(*parseHttpUrl(next), ex.head.location);
      continue;
    }
    if (isUnfollowedRedirection(ex.head.status)) return result;  // Failed
    // An error page is a failed fetch, never an address.
    if (isErrorStatus(ex.head.status)) {
      result.outcome = FetchResult::Outcome::HttpError;
      return result;
    }
    std::string body;
    const Step read = readBody(*ex.reader, ex.head, options.maxBody, body);
    result.outcome = outcomeOf(read);
    if (result.ok()) {
      result.body = basics::utf8Lossy(body);
      if (reusable(ex.head, *ex.reader)) {
        pool_.keepIdle(ex.server, std::move(ex.socket), ex.generation);
      }
    }
    return result;
  }
}

InternetTransfer::Handle HttpInternetTransfer::internetOpen(const std::string& agent) {
  return handles_.openInternet(agent, {});
}

InternetTransfer::Handle HttpInternetTransfer::internetOpenUrl(Handle internet,
                                                               const std::string& url,
                                                               std::stop_token stop,
                                                               Deadline deadline,
                                                               RequestReport* report) {
  RequestReport ignored;
  RequestReport& reached = report ? *report : ignored;
  reached = {};
  const std::optional<std::string> agent = handles_.agentOf(internet);
  if (!agent) return 0;
  Waits waits(std::move(stop), config_.tick);
  if (!waits.usable()) return 0;
  // Any response counts, a redirect or an error page included; its body is
  // not waited for.
  const Deadlines deadlines{
      deadlineWithin(std::max(config_.openConnectTimeout, milliseconds(1)), deadline),
      config_.openResponseTimeout, deadline};
  Shared shared{config_, pool_, lookups_};
  Exchange ex;
  const Step step = exchange(url, *agent, false, waits, deadlines, shared, ex);
  reached = reportOf(ex, step);
  if (step != Step::Done) return 0;
  // A sign-in page standing in for every address is not the page, nor is a
  // proxy's demand for credentials.
  if (isSignInAnswer(url, ex.head.status, ex.head.location)) {
    reached.reach = Reach::SignInPage;
    return 0;
  }
  if (reached.reach == Reach::ProxyFailed) return 0;
  // The internet handle may have been closed while the request ran.
  return handles_.openUrl(internet, {});
}

bool HttpInternetTransfer::internetCloseHandle(Handle handle) {
  return handles_.close(handle).has_value();
}

void HttpInternetTransfer::startAfresh() {
  pool_.startAfresh();
}

std::size_t HttpInternetTransfer::openHandles() const {
  return handles_.size();
}

}  // namespace platform::linuxos
