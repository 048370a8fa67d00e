#pragma once

#include <chrono>
#include <memory>

#include "platform/internet_transfer.h"
#include "platform/transfer_handles.h"
#include "platform/windows/wininet_request.h"

namespace platform::windows {

// Time limits the fetch options do not carry. Tests shorten them.
struct WinInetConfig {
  // The reachability open: reaching the server, then its response headers.
  std::chrono::milliseconds openTimeout{30000};
};

// The internet transfer on WinINet, with the user's system proxy settings.
// Nothing is cached or stored: no cache writes, no cookies, every request
// goes to the server. Redirects are followed here, not by WinINet, so that
// only http and https are followed and at most as many as asked. Every call
// may come from any thread, and several may run at once.
class WinInetTransfer final : public InternetTransfer {
 public:
  explicit WinInetTransfer(WinInetConfig config = {});
  ~WinInetTransfer() override;

  FetchResult fetchText(const std::string& url, const FetchOptions& options,
                        std::stop_token stop) override;

  Handle internetOpen(const std::string& agent) override;
  Handle internetOpenUrl(Handle internet, const std::string& url, std::stop_token stop,
                         Deadline deadline = kNoDeadline, RequestReport* report = nullptr) override;
  // Closing an internet handle also closes the URL handles opened through it.
  bool internetCloseHandle(Handle handle) override;

  // How many of the system's internet handles are open now.
  std::size_t openHandles() const;
  // WinINet calls refused because their handle had been closed: 0 unless the
  // requests' own bookkeeping is wrong.
  long callsAfterClose() const { return counts_->callsAfterClose.load(); }

 private:
  // Each handle carries the request that holds the system handles behind it.
  using SystemHandles = std::shared_ptr<WinInetRequest>;
  static void closeEach(const std::vector<SystemHandles>& closed);

  WinInetConfig config_;
  SharedCounts counts_;
  TransferHandles<SystemHandles> handles_;
};

}  // namespace platform::windows
