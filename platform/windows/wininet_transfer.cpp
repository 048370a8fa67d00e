#include "platform/windows/wininet_transfer.h"

#include <algorithm>

#include "platform/sign_in_redirect.h"
#include "platform/windows/wininet_fetch.h"
#include "platform/windows/wininet_session.h"

namespace platform::windows {
namespace {

using Clock = std::chrono::steady_clock;
using End = DetachedRequest::End;

// What is left until `deadline`, for WinINet's own time-outs (at least 1 ms).
std::chrono::milliseconds leftUntil(Clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
  return std::max(left, std::chrono::milliseconds(1));
}

}  // namespace

WinInetTransfer::WinInetTransfer(WinInetConfig config)
    : config_(config), count_(std::make_shared<std::atomic<long>>(0)) {}

WinInetTransfer::~WinInetTransfer() {
  closeEach(handles_.closeAll());
}

void WinInetTransfer::closeEach(const std::vector<SystemHandles>& closed) {
  for (const auto& handles : closed) handles->closeAll();
}

FetchResult WinInetTransfer::fetchText(const std::string& url, const FetchOptions& options,
                                       std::stop_token stop) {
  struct Fetch {
    std::shared_ptr<DetachedRequest> request;
    FetchResult result;
  };
  auto fetch = std::make_shared<Fetch>(Fetch{std::make_shared<DetachedRequest>(count_), {}});
  const Clock::time_point deadline = deadlineWithin(options.timeout, options.deadline);
  FetchOptions bounded = options;
  bounded.timeout = std::min(options.timeout, leftUntil(deadline));
  const End end = DetachedRequest::run(
      fetch->request,
      [fetch, url, bounded] { fetchBlocking(*fetch->request, url, bounded, fetch->result); }, stop,
      deadline);
  FetchResult result;
  switch (end) {
    case End::Done:
      result = fetch->result;
      break;
    case End::Stopped:
      result.outcome = FetchResult::Outcome::Cancelled;
      break;
    case End::Overdue:
      result.outcome = FetchResult::Outcome::TimedOut;
      break;
    case End::NotStarted:
      break;
  }
  fetch->request->closeAll();
  return result;
}

InternetTransfer::Handle WinInetTransfer::internetOpen(const std::string& agent) {
  auto handles = std::make_shared<DetachedRequest>(count_);
  if (!handles->keep(openSession(agent, config_.openTimeout))) return 0;
  return handles_.openInternet(agent, std::move(handles));
}

InternetTransfer::Handle WinInetTransfer::internetOpenUrl(Handle internet, const std::string& url,
                                                          std::stop_token stop, Deadline deadline) {
  const std::optional<std::string> found = handles_.agentOf(internet);
  if (!found || !isWebUrl(url)) return 0;
  const std::string agent = *found;
  // The request runs in a session of its own, so that stopping it may close
  // everything it has open without closing the caller's internet handle.
  auto request = std::make_shared<DetachedRequest>(count_);
  auto opened = std::make_shared<bool>(false);
  const Clock::time_point until = deadlineWithin(config_.openTimeout, deadline);
  const auto timeout = std::min(config_.openTimeout, leftUntil(until));
  const End end = DetachedRequest::run(
      request,
      [request, opened, agent, url, timeout] {
        HINTERNET session = openSession(agent, timeout);
        if (!request->keep(session)) return;
        HINTERNET response = InternetOpenUrlA(session, url.c_str(), nullptr, 0, kRequestFlags, 0);
        if (!request->keep(response)) return;
        // A sign-in page standing in for every address is not the page.
        *opened = !isSignInAnswer(url, statusOf(response), locationOf(response));
      },
      stop, until);
  if (end != End::Done || !*opened) {
    request->closeAll();
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
  const long count = count_->load();
  return count > 0 ? static_cast<std::size_t>(count) : 0;
}

}  // namespace platform::windows
