#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/linux/http_connect.h"

namespace platform::linuxos {

// What a transfer keeps from one request for the next within a gathering: the
// addresses names were found at, and connections the server left open. A new
// gathering drops both, so it sees the network as it is now. Kept by the
// server connected to ("host:port", the proxy when one is used).
class ConnectionPool {
 public:
  // What was got under one generation is kept only while it lasts.
  using Generation = std::uint64_t;

  // A few idle connections at most, the oldest dropped first.
  static constexpr std::size_t kMaxIdle = 4;

  Generation generation() const;
  // Begins a new generation, dropping everything kept.
  void startAfresh();

  std::optional<std::vector<Address>> addresses(const std::string& server) const;
  void keepAddresses(const std::string& server, std::vector<Address> addresses, Generation got);

  // An idle connection to `server` that still looks usable (the server has
  // neither closed it nor sent anything unasked), or none.
  std::optional<Fd> takeIdle(const std::string& server);
  void keepIdle(const std::string& server, Fd socket, Generation got);

 private:
  struct Idle {
    std::string server;
    Fd socket;
  };

  mutable std::mutex mutex_;
  Generation generation_ = 0;
  std::map<std::string, std::vector<Address>> addresses_;
  std::deque<Idle> idle_;  // oldest first
};

}  // namespace platform::linuxos
