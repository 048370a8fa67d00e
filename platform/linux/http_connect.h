#pragma once

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <stop_token>
#include <string>
#include <utility>
#include <vector>

#include "platform/linux/http_reply.h"

namespace platform::linuxos {

using Clock = std::chrono::steady_clock;

class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  Fd& operator=(Fd&& other) noexcept {
    std::swap(fd_, other.fd_);
    return *this;
  }
  int get() const { return fd_; }

 private:
  int fd_;
};

// The waits of one request: each ends at the request's deadline, at a stop
// request (which wakes it through an event descriptor at once), or when a
// socket is ready.
class Waits {
 public:
  Waits(std::stop_token stop, std::chrono::milliseconds tick);
  Waits(const Waits&) = delete;
  Waits& operator=(const Waits&) = delete;

  bool usable() const { return wake_.get() >= 0; }
  void setDeadline(Clock::time_point deadline) { deadline_ = deadline; }
  Clock::time_point deadline() const { return deadline_; }
  const std::stop_token& stop() const { return stop_; }

  // Done while neither the stop nor the deadline has come.
  Step check() const;
  // Done once `fd` is ready for `events`.
  Step wait(int fd, short events);
  // One look at `fds`: Done when one is ready or `until` has come (no
  // revents then), or a stop or the deadline.
  Step poll(std::vector<pollfd>& fds, Clock::time_point until);

 private:
  struct Wake {
    int fd;
    void operator()() const;
  };

  std::stop_token stop_;
  std::chrono::milliseconds tick_;
  Clock::time_point deadline_ = Clock::time_point::max();
  Fd wake_;
  // Declared after the descriptor, so it is gone before the descriptor is.
  std::stop_callback<Wake> onStop_;
};

// One address of a name, as the resolver gave it.
struct Address {
  int family = 0;
  sockaddr_storage storage{};
  socklen_t length = 0;
};

// Looks up `host` within the waits' limits. A lookup runs on a thread of its
// own so that a stop ends the wait for it at once; a lookup of a name that is
// still being looked up for an earlier request is joined, not started again,
// and only a few lookups run at a time, so a resolver that never answers
// holds few threads however many requests ask it.
Step lookUp(const std::string& host, const std::string& port, Waits& waits,
            std::vector<Address>& out);

// The order to try addresses in: the resolver's first, then the two families
// by turns, so that a dead path of one family costs one attempt delay.
std::vector<Address> interleaved(std::vector<Address> addresses);

// Connects to the first of `addresses` that answers. An attempt that has not
// connected after `attemptDelay` stays open while the next one starts, and a
// refused one hands over at once; the first to connect wins.
Step connectTo(const std::vector<Address>& addresses, Waits& waits,
               std::chrono::milliseconds attemptDelay, Fd& out);

}  // namespace platform::linuxos
