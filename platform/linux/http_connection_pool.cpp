#include "platform/linux/http_connection_pool.h"

#include <sys/socket.h>

#include <cerrno>
#include <utility>

namespace platform::linuxos {
namespace {

// An idle connection is usable while reading it would wait: a server that has
// closed it, reset it or sent something unasked (a time-out notice, say) has
// made it useless for the next request.
bool stillIdle(const Fd& socket) {
  char byte;
  const ssize_t got = ::recv(socket.get(), &byte, 1, MSG_PEEK | MSG_DONTWAIT);
  return got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
}

}  // namespace

ConnectionPool::Generation ConnectionPool::generation() const {
  const std::lock_guard lock(mutex_);
  return generation_;
}

void ConnectionPool::startAfresh() {
  std::deque<Idle> dropped;
  {
    const std::lock_guard lock(mutex_);
    ++generation_;
    addresses_.clear();
    dropped.swap(idle_);
  }
}

std::optional<std::vector<Address>> ConnectionPool::addresses(const std::string& server) const {
  const std::lock_guard lock(mutex_);
  const auto found = addresses_.find(server);
  if (found == addresses_.end()) return std::nullopt;
  return found->second;
}

void ConnectionPool::keepAddresses(const std::string& server, std::vector<Address> addresses,
                                   Generation got) {
  const std::lock_guard lock(mutex_);
  if (got == generation_) addresses_[server] = std::move(addresses);
}

std::optional<Fd> ConnectionPool::takeIdle(const std::string& server) {
  std::vector<Fd> dead;  // closed once the lock is released
  const std::lock_guard lock(mutex_);
  // The most recently used first: it is the likeliest to be open still.
  for (auto idle = idle_.end(); idle != idle_.begin();) {
    --idle;
    if (idle->server != server) continue;
    Fd socket = std::move(idle->socket);
    idle = idle_.erase(idle);
    if (stillIdle(socket)) return socket;
    dead.push_back(std::move(socket));
  }
  return std::nullopt;
}

void ConnectionPool::keepIdle(const std::string& server, Fd socket, Generation got) {
  Fd dropped;
  const std::lock_guard lock(mutex_);
  if (got != generation_) return;  // closes `socket` on the way out
  if (idle_.size() >= kMaxIdle) {
    dropped = std::move(idle_.front().socket);
    idle_.pop_front();
  }
  idle_.push_back({server, std::move(socket)});
}

}  // namespace platform::linuxos
