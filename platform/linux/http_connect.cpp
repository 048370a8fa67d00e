#include "platform/linux/http_connect.h"

#include <netdb.h>
#include <sys/eventfd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

namespace platform::linuxos {
namespace {

using std::chrono::milliseconds;

// Lookups that run at once; a request that finds them all busy waits for one
// within its own limits.
constexpr std::size_t kMaxLookups = 4;

struct Lookup {
  std::mutex mutex;
  std::condition_variable_any done;
  bool finished = false;
  int status = EAI_SYSTEM;
  std::vector<Address> addresses;
};

struct Lookups {
  std::mutex mutex;
  std::condition_variable_any freed;
  std::map<std::string, std::shared_ptr<Lookup>> running;  // by host and port
};

// Never destroyed: a lookup that outlives its request may end while the
// process exits.
Lookups& lookups() {
  static Lookups* const all = new Lookups;
  return *all;
}

// A condition variable's wait cannot take the farthest time point.
Clock::time_point waitLimit(Clock::time_point deadline) {
  const auto far = Clock::now() + std::chrono::hours(24);
  return std::min(deadline, far);
}

void runLookup(const std::string& key, const std::string& host, const std::string& port,
               const std::shared_ptr<Lookup>& lookup) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* result = nullptr;
  const int status = ::getaddrinfo(host.c_str(), port.c_str(), &hints, &result);
  std::vector<Address> found;
  for (const addrinfo* a = status == 0 ? result : nullptr; a; a = a->ai_next) {
    if (a->ai_addrlen > sizeof(sockaddr_storage)) continue;
    Address address;
    address.family = a->ai_family;
    std::memcpy(&address.storage, a->ai_addr, a->ai_addrlen);
    address.length = a->ai_addrlen;
    found.push_back(address);
  }
  if (result) ::freeaddrinfo(result);
  {
    const std::lock_guard lock(lookup->mutex);
    lookup->status = status;
    lookup->addresses = std::move(found);
    lookup->finished = true;
  }
  lookup->done.notify_all();
  Lookups& all = lookups();
  {
    const std::lock_guard lock(all.mutex);
    all.running.erase(key);
  }
  all.freed.notify_all();
}

}  // namespace

void Waits::Wake::operator()() const {
  const std::uint64_t one = 1;
  if (fd >= 0) (void)!::write(fd, &one, sizeof one);
}

Waits::Waits(std::stop_token stop, milliseconds tick)
    : stop_(std::move(stop)),
      tick_(std::max(tick, milliseconds(1))),
      wake_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)),
      onStop_(stop_, Wake{wake_.get()}) {}

Step Waits::check() const {
  if (stop_.stop_requested()) return Step::Cancelled;
  return Clock::now() >= deadline_ ? Step::TimedOut : Step::Done;
}

Step Waits::poll(std::vector<pollfd>& fds, Clock::time_point until) {
  if (const Step step = check(); step != Step::Done) return step;
  const auto now = Clock::now();
  if (now >= until) return Step::Done;
  const auto left = std::chrono::ceil<milliseconds>(std::min(until, deadline_) - now);
  fds.push_back({wake_.get(), POLLIN, 0});
  const int ready = ::poll(fds.data(), fds.size(), static_cast<int>(std::min(left, tick_).count()));
  const int error = errno;
  fds.pop_back();
  if (ready < 0 && error != EINTR) return Step::Failed;
  return check();
}

Step Waits::wait(int fd, short events) {
  for (;;) {
    std::vector<pollfd> fds{{fd, events, 0}};
    if (const Step step = poll(fds, Clock::time_point::max()); step != Step::Done) return step;
    if (fds[0].revents != 0) return Step::Done;
  }
}

Step lookUp(const std::string& host, const std::string& port, Waits& waits,
            std::vector<Address>& out) {
  const std::string key = host + '\n' + port;
  std::stop_token stop = waits.stop();
  const auto limit = waitLimit(waits.deadline());
  std::shared_ptr<Lookup> lookup;
  {
    Lookups& all = lookups();
    std::unique_lock lock(all.mutex);
    const bool ready = all.freed.wait_until(lock, stop, limit, [&] {
      if (const auto running = all.running.find(key); running != all.running.end()) {
        lookup = running->second;
        return true;
      }
      return all.running.size() < kMaxLookups;
    });
    if (!ready) return stop.stop_requested() ? Step::Cancelled : Step::TimedOut;
    if (!lookup) {
      lookup = std::make_shared<Lookup>();
      try {
        std::thread([key, host, port, lookup] { runLookup(key, host, port, lookup); }).detach();
      } catch (const std::system_error&) {
        return Step::Failed;
      }
      all.running.emplace(key, lookup);
    }
  }
  std::unique_lock lock(lookup->mutex);
  if (!lookup->done.wait_until(lock, stop, limit, [&] { return lookup->finished; })) {
    return stop.stop_requested() ? Step::Cancelled : Step::TimedOut;
  }
  if (lookup->status != 0 || lookup->addresses.empty()) return Step::Failed;
  out = lookup->addresses;
  return Step::Done;
}

std::vector<Address> interleaved(std::vector<Address> addresses) {
  if (addresses.empty()) return addresses;
  const int first = addresses.front().family;
  std::vector<Address> same;
  std::vector<Address> other;
  for (const Address& a : addresses) (a.family == first ? same : other).push_back(a);
  std::vector<Address> out;
  for (std::size_t i = 0; i < std::max(same.size(), other.size()); ++i) {
    if (i < same.size()) out.push_back(same[i]);
    if (i < other.size()) out.push_back(other[i]);
  }
  return out;
}

Step connectTo(const std::vector<Address>& addresses, Waits& waits, milliseconds attemptDelay,
               Fd& out) {
  std::vector<Fd> attempts;  // started, not yet connected or refused
  std::size_t next = 0;
  auto nextStart = Clock::now();
  for (;;) {
    if (const Step step = waits.check(); step != Step::Done) return step;
    const auto now = Clock::now();
    if (next < addresses.size() && (attempts.empty() || now >= nextStart)) {
      const Address& address = addresses[next++];
      nextStart = now;  // an attempt that fails at once hands over at once
      Fd fd(::socket(address.family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
      if (fd.get() < 0) continue;
      if (::connect(fd.get(), reinterpret_cast<const sockaddr*>(&address.storage),
                    address.length) == 0) {
        out = std::move(fd);
        return Step::Done;
      }
      if (errno != EINPROGRESS) continue;
      attempts.push_back(std::move(fd));
      nextStart = now + attemptDelay;
      continue;
    }
    if (attempts.empty()) return Step::Failed;
    std::vector<pollfd> fds;
    for (const Fd& fd : attempts) fds.push_back({fd.get(), POLLOUT, 0});
    const auto until = next < addresses.size() ? nextStart : Clock::time_point::max();
    if (const Step step = waits.poll(fds, until); step != Step::Done) return step;
    for (std::size_t i = fds.size(); i-- > 0;) {
      if (fds[i].revents == 0) continue;
      int error = 0;
      socklen_t length = sizeof error;
      if (::getsockopt(fds[i].fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0) {
        out = std::move(attempts[i]);
        return Step::Done;
      }
      attempts.erase(attempts.begin() + static_cast<std::ptrdiff_t>(i));
      nextStart = Clock::now();
    }
  }
}

}  // namespace platform::linuxos
