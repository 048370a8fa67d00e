#include "platform/linux/http_internet_transfer.h"

#include <netdb.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "platform/linux/http_reply.h"
#include "platform/linux/http_url.h"
#include "platform/sign_in_redirect.h"
#include "toolkit/text.h"

namespace platform::linuxos {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr std::size_t kReadChunk = 16 * 1024;

class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  Fd& operator=(Fd&& other) noexcept {
    std::swap(fd_, other.fd_);
    return *this;
  }
  int get() const { return fd_; }

 private:
  int fd_;
};

// The waits of one request: each ends at the request's deadline, at a stop
// request (which wakes it through an event descriptor at once), or when the
// socket is ready.
class Waits {
 public:
  Waits(std::stop_token stop, milliseconds tick)
      : stop_(std::move(stop)), tick_(std::max(tick, milliseconds(1))) {}

  bool usable() const { return wake_.get() >= 0; }
  void setDeadline(Clock::time_point deadline) { deadline_ = deadline; }
  const std::stop_token& stop() const { return stop_; }
  milliseconds tick() const { return tick_; }

  // Done once `fd` is ready for `events`.
  Step wait(int fd, short events) {
    for (;;) {
      if (stop_.stop_requested()) return Step::Cancelled;
      const auto now = Clock::now();
      if (now >= deadline_) return Step::TimedOut;
      const auto left = std::chrono::ceil<milliseconds>(deadline_ - now);
      pollfd fds[2] = {{fd, events, 0}, {wake_.get(), POLLIN, 0}};
      const int ready = ::poll(fds, 2, static_cast<int>(std::min(left, tick_).count()));
      if (ready < 0 && errno != EINTR) return Step::Failed;
      if (ready > 0 && fds[0].revents != 0) return Step::Done;
    }
  }

 private:
  std::stop_token stop_;
  milliseconds tick_;
  Clock::time_point deadline_ = Clock::time_point::max();
  Fd wake_{::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)};
  struct Wake {
    int fd;
    void operator()() const {
      const std::uint64_t one = 1;
      if (fd >= 0) (void)!::write(fd, &one, sizeof one);
    }
  };
  // Declared after the descriptor, so it is gone before the descriptor is.
  std::stop_callback<Wake> onStop_{stop_, Wake{wake_.get()}};
};

// A name lookup on a thread of its own, so that a stop request or the deadline
// ends the wait for it; an abandoned lookup frees its answer when it ends.
struct Lookup {
  std::mutex mutex;
  std::condition_variable_any done;
  bool finished = false;
  bool abandoned = false;
  int status = EAI_SYSTEM;
  addrinfo* result = nullptr;
};

struct AddressesDeleter {
  void operator()(addrinfo* list) const { ::freeaddrinfo(list); }
};
using Addresses = std::unique_ptr<addrinfo, AddressesDeleter>;

Step lookUp(const std::string& host, const std::string& port, Waits& waits,
            Clock::time_point deadline, Addresses& out) {
  auto lookup = std::make_shared<Lookup>();
  try {
    std::thread([lookup, host, port] {
      addrinfo hints{};
      hints.ai_family = AF_UNSPEC;
      hints.ai_socktype = SOCK_STREAM;
      addrinfo* result = nullptr;
      const int status = ::getaddrinfo(host.c_str(), port.c_str(), &hints, &result);
      const std::lock_guard lock(lookup->mutex);
      if (lookup->abandoned) {
        if (result) ::freeaddrinfo(result);
      } else {
        lookup->status = status;
        lookup->result = result;
      }
      lookup->finished = true;
      lookup->done.notify_all();
    }).detach();
  } catch (const std::system_error&) {
    return Step::Failed;
  }
  std::unique_lock lock(lookup->mutex);
  std::stop_token stop = waits.stop();
  const bool finished =
      lookup->done.wait_until(lock, stop, deadline, [&] { return lookup->finished; });
  if (!finished) {
    lookup->abandoned = true;
    return stop.stop_requested() ? Step::Cancelled : Step::TimedOut;
  }
  out.reset(lookup->result);
  lookup->result = nullptr;
  return lookup->status == 0 && out ? Step::Done : Step::Failed;
}

// Tries the addresses in turn; a timeout or stop ends the whole attempt.
Step connectTo(const addrinfo* addresses, Waits& waits, Fd& out) {
  for (const addrinfo* a = addresses; a; a = a->ai_next) {
    Fd fd(::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol));
    if (fd.get() < 0) continue;
    if (::connect(fd.get(), a->ai_addr, a->ai_addrlen) != 0) {
      if (errno != EINPROGRESS) continue;
      const Step step = waits.wait(fd.get(), POLLOUT);
      if (step != Step::Done) return step;
      int error = 0;
      socklen_t length = sizeof error;
      if (::getsockopt(fd.get(), SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0)
        continue;
    }
    out = std::move(fd);
    return Step::Done;
  }
  return Step::Failed;
}

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

  Step more() override {
    char chunk[kReadChunk];
    for (;;) {
      const ssize_t got = ::recv(fd_, chunk, sizeof chunk, 0);
      if (got > 0) {
        buffer.append(chunk, static_cast<std::size_t>(got));
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

// One request up to its response's headers: the connection, with what was
// read past the headers left in `reader`.
struct Exchange {
  Fd socket;
  std::optional<SocketReader> reader;
  Head head;
};

// Phases of a request with their own deadlines: until connected, and after;
// neither goes past `last`.
struct Deadlines {
  Clock::time_point connect;
  std::optional<milliseconds> afterConnect;  // none: the connect deadline goes on
  Clock::time_point last = Clock::time_point::max();
};

Step exchange(const std::string& url, const std::string& agent, Waits& waits,
              const Deadlines& deadlines, milliseconds slowLookup, Exchange& out) {
  const auto target = parseHttpUrl(url);
  if (!target) return Step::Failed;
  bool unusable = false;
  const auto proxy = proxyFor(*target, unusable);
  if (unusable) return Step::Failed;
  const HttpUrl& server = proxy ? *proxy : *target;

  const auto started = Clock::now();
  waits.setDeadline(deadlines.connect);
  Addresses addresses;
  Step step = lookUp(server.host, server.port, waits, deadlines.connect, addresses);
  if (step == Step::Failed && Clock::now() - started >= slowLookup) {
    return Step::TimedOut;
  }
  if (step != Step::Done) return step;
  step = connectTo(addresses.get(), waits, out.socket);
  if (step != Step::Done) return step;
  if (deadlines.afterConnect) {
    waits.setDeadline(deadlineWithin(*deadlines.afterConnect, deadlines.last));
  }

  std::string request = "GET " + (proxy ? target->absolute() : target->target) + " HTTP/1.1\r\n";
  request += "Host: " + target->authority + "\r\n";
  if (!agent.empty()) request += "User-Agent: " + agent + "\r\n";
  request += "Accept: */*\r\nConnection: close\r\n\r\n";
  step = sendAll(out.socket.get(), request, waits);
  if (step != Step::Done) return step;
  out.reader.emplace(out.socket.get(), waits);
  return readHead(*out.reader, out.head);
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

bool isRedirect(long status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

}  // namespace

FetchResult HttpInternetTransfer::fetchText(const std::string& url, const FetchOptions& options,
                                            std::stop_token stop) {
  FetchResult result;
  Waits waits(std::move(stop), config_.tick);
  if (!waits.usable()) return result;
  const Deadlines deadlines{
      deadlineWithin(std::max(options.timeout, milliseconds(1)), options.deadline), {}};
  std::string next = url;
  for (int redirects = 0;; ++redirects) {
    Exchange ex;
    const Step step = exchange(next, options.userAgent, waits, deadlines, config_.slowLookup, ex);
    result.httpStatus = ex.head.status;
    if (step != Step::Done) {
      result.outcome = outcomeOf(step);
      return result;
    }
    if (isRedirect(ex.head.status) && !ex.head.location.empty()) {
      if (redirects >= std::max(0, options.maxRedirects)) return result;  // Failed
      next = resolveLocation(*parseHttpUrl(next), ex.head.location);
      continue;
    }
    // An error page is a failed fetch, never an address.
    if (ex.head.status >= 400) {
      result.outcome = FetchResult::Outcome::HttpError;
      return result;
    }
    std::string body;
    const Step read = readBody(*ex.reader, ex.head, options.maxBody, body);
    result.outcome = outcomeOf(read);
    if (result.ok()) result.body = toolkit::utf8Lossy(body);
    return result;
  }
}

InternetTransfer::Handle HttpInternetTransfer::internetOpen(const std::string& agent) {
  return handles_.openInternet(agent, {});
}

InternetTransfer::Handle HttpInternetTransfer::internetOpenUrl(Handle internet,
                                                               const std::string& url,
                                                               std::stop_token stop,
                                                               Deadline deadline) {
  const std::optional<std::string> agent = handles_.agentOf(internet);
  if (!agent) return 0;
  Waits waits(std::move(stop), config_.tick);
  if (!waits.usable()) return 0;
  // Any response counts, a redirect or an error page included; its body is
  // not waited for.
  const Deadlines deadlines{
      deadlineWithin(std::max(config_.openConnectTimeout, milliseconds(1)), deadline),
      config_.openResponseTimeout, deadline};
  Exchange ex;
  if (exchange(url, *agent, waits, deadlines, config_.slowLookup, ex) != Step::Done) return 0;
  // A sign-in page standing in for every address is not the page.
  if (redirectsToAnotherHost(url, ex.head.status, ex.head.location)) return 0;
  // The internet handle may have been closed while the request ran.
  return handles_.openUrl(internet, {});
}

bool HttpInternetTransfer::internetCloseHandle(Handle handle) {
  return handles_.close(handle).has_value();
}

std::size_t HttpInternetTransfer::openHandles() const {
  return handles_.size();
}

}  // namespace platform::linuxos
