#include "platform/windows/wininet_transfer.h"

#include <algorithm>

#include "platform/sign_in_redirect.h"
#include "platform/windows/wininet_fetch.h"
#include "platform/windows/wininet_options.h"
#include "platform/windows/wininet_reach.h"

namespace platform::windows {
namespace {

using Clock = std::chrono::steady_clock;

// What is left until `deadline`, for WinINet's own time-outs (at least 1 ms).
std::chrono::milliseconds leftUntil(Clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
  return std::max(left, std::chrono::milliseconds(1));
}

}  // namespace

WinInetTransfer::WinInetTransfer(WinInetConfig config)
    : config_(config), counts_(std::make_shared<RequestCounts>()) {}

WinInetTransfer::~WinInetTransfer() {
  closeEach(handles_.closeAll());
}

void WinInetTransfer::closeEach(const std::vector<SystemHandles>& closed) {
  for (const auto& request : closed) request->closeAll();
}

FetchResult WinInetTransfer::fetchText(const std::string& url, const FetchOptions& options,
                                       std::stop_token stop) {
  const Clock::time_point deadline = deadlineWithin(options.timeout, options.deadline);
  FetchOptions bounded = options;
  bounded.timeout = std::min(options.timeout, leftUntil(deadline));
  WinInetRequest request(counts_, stop, deadline);
  FetchResult result = fetchWithRequest(request, url, bounded);
  if (stop.stop_requested() && !result.ok()) {
    result = {};
    result.outcome = FetchResult::Outcome::Cancelled;
  }
  return result;
}

InternetTransfer::Handle WinInetTransfer::internetOpen(const std::string& agent) {
  // A synchronous session, as the probe asks for it; its URL requests run in
  // asynchronous sessions of their own (below).
  auto session =
      std::make_shared<WinInetRequest>(counts_, std::stop_token{}, Clock::time_point::max());
  if (!session->openSession(agent, config_.openTimeout, WinInetRequest::Mode::Synchronous))
    return 0;
  return handles_.openInternet(agent, std::move(session));
}

InternetTransfer::Handle WinInetTransfer::internetOpenUrl(Handle internet, const std::string& url,
                                                          std::stop_token stop, Deadline deadline,
                                                          RequestReport* report) {
  RequestReport unasked;
  RequestReport& told = report != nullptr ? *report : unasked;
  told = {};
  const std::optional<std::string> agent = handles_.agentOf(internet);
  if (!agent || !isWebUrl(url)) return 0;
  // The request runs in an asynchronous session of its own: stopping it may
  // then close everything it has open without closing the caller's handle.
  const Clock::time_point until = deadlineWithin(config_.openTimeout, deadline);
  auto request = std::make_shared<WinInetRequest>(counts_, stop, until);
  if (!request->openSession(*agent, std::min(config_.openTimeout, leftUntil(until)))) return 0;
  const bool viaProxy = request->goesThroughProxy(url);
  HINTERNET response = request->openUrl(url, kReachabilityFlags);
  if (response == nullptr) {
    told = failedReport(*request, viaProxy);
    return 0;
  }
  // A proxy that wants credentials has not let the probe through, and a
  // sign-in page standing in for every address is not the page: neither is
  // opened (their handles close with the request).
  const long status = request->status(response);
  told = answeredReport(status, viaProxy);
  if (told.reach != Reach::Answered) return 0;
  if (isSignInAnswer(url, status, request->location(response))) {
    told.reach = Reach::SignInPage;
    return 0;
  }

  // The internet handle may have been closed while the request ran.
  const Handle handle = handles_.openUrl(internet, request);
  if (handle == 0) request->closeAll();
  return handle;
}

bool WinInetTransfer::internetCloseHandle(Handle handle) {
  const auto closed = handles_.close(handle);
  if (!closed) return false;
  closeEach(*closed);
  return true;
}

std::size_t WinInetTransfer::openHandles() const {
  const long count = counts_->openHandles.load();
  return count > 0 ? static_cast<std::size_t>(count) : 0;
}

}  // namespace platform::windows
