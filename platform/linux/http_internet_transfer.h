#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <string>

#include "platform/internet_transfer.h"
#include "platform/linux/http_connection_pool.h"
#include "platform/transfer_handles.h"

namespace platform::linuxos {

// Time limits of the transfers that FetchOptions does not carry. Tests shorten them.
struct HttpTransferConfig {
  // The reachability open: reaching the server (name lookup and connect), then
  // its response headers.
  std::chrono::milliseconds openConnectTimeout{30000};
  std::chrono::milliseconds openResponseTimeout{30000};
  // A failed name lookup that took at least this long is the resolver timing
  // out (no answer at all), not a name that does not exist: the fetch then
  // counts as timed out, like a connect that never completes.
  std::chrono::milliseconds slowLookup{5000};
  // How long a connection attempt to one address of a name goes on alone
  // before the next address is tried beside it: a dead path (an IPv6 route
  // that drops everything, say) costs this, not the whole time-out.
  std::chrono::milliseconds attemptDelay{250};
  // Longest sleep between two looks at a transfer's deadlines; a stop request
  // wakes a transfer at once whatever this is.
  std::chrono::milliseconds tick{50};
};

// The internet transfer on plain sockets: HTTP/1.1 GET requests through the
// proxy the user's environment names. Within a gathering it looks each name up
// once and keeps a fetch's connection open for the next fetch to the same
// server where the server allows it, as a slow link makes every lookup and
// every new connection cost a round trip or more. The
// program's endpoints are plain HTTP; a TLS library would cost the program
// more memory at start-up than anything it loads but Qt, so https:// URLs
// (redirects to them included) fail. Every call may come from any thread, and
// several may run at once; each request releases its socket on every way out.
class HttpInternetTransfer final : public InternetTransfer {
 public:
  explicit HttpInternetTransfer(HttpTransferConfig config = {}) : config_(config) {}

  FetchResult fetchText(const std::string& url, const FetchOptions& options,
                        std::stop_token stop) override;

  Handle internetOpen(const std::string& agent) override;
  Handle internetOpenUrl(Handle internet, const std::string& url, std::stop_token stop,
                         Deadline deadline = kNoDeadline, RequestReport* report = nullptr) override;
  // Closing an internet handle also closes the URL handles opened through it.
  bool internetCloseHandle(Handle handle) override;

  void startAfresh() override;

  // How many handles are open now.
  std::size_t openHandles() const;
  // How many name lookups the transfer has made (found kept ones not counted).
  std::size_t lookups() const { return lookups_.load(); }

 private:
  // The handles carry no resource: the reachability open closes its
  // connection once the headers are in.
  struct NoResource {};

  HttpTransferConfig config_;
  TransferHandles<NoResource> handles_;
  ConnectionPool pool_;
  std::atomic<std::size_t> lookups_{0};
};

}  // namespace platform::linuxos
