#include "platform/windows/wininet_transfer.h"

#include "platform/windows/wininet_fetch.h"
#include "platform/windows/wininet_session.h"

namespace platform::windows {
namespace {

using Clock = std::chrono::steady_clock;
using End = DetachedRequest::End;

Clock::time_point deadlineAfter(std::chrono::milliseconds timeout) {
  const auto now = Clock::now();
  return timeout >= Clock::time_point::max() - now ? Clock::time_point::max() : now + timeout;
}

}  // namespace

WinInetTransfer::WinInetTransfer(WinInetConfig config)
    : config_(config), count_(std::make_shared<std::atomic<long>>(0)) {}

WinInetTransfer::~WinInetTransfer() {
  std::lock_guard lock(mutex_);
  for (auto& [handle, entry] : handles_) entry.handles->closeAll();
}

FetchResult WinInetTransfer::fetchText(const std::string& url, const FetchOptions& options,
                                       std::stop_token stop) {
  struct Fetch {
    std::shared_ptr<DetachedRequest> request;
    FetchResult result;
  };
  auto fetch = std::make_shared<Fetch>(Fetch{std::make_shared<DetachedRequest>(count_), {}});
  const End end = DetachedRequest::run(
      fetch->request,
      [fetch, url, options] { fetchBlocking(*fetch->request, url, options, fetch->result); }, stop,
      deadlineAfter(options.timeout));
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
  std::lock_guard lock(mutex_);
  const Handle handle = nextHandle_++;
  handles_.emplace(handle, HandleEntry{0, agent, std::move(handles)});
  return handle;
}

InternetTransfer::Handle WinInetTransfer::internetOpenUrl(Handle internet, const std::string& url,
                                                          std::stop_token stop) {
  std::string agent;
  {
    std::lock_guard lock(mutex_);
    const auto entry = handles_.find(internet);
    if (entry == handles_.end() || entry->second.parent != 0) return 0;
    agent = entry->second.agent;
  }
  if (!isWebUrl(url)) return 0;
  // The request runs in a session of its own, so that stopping it may close
  // everything it has open without closing the caller's internet handle.
  auto request = std::make_shared<DetachedRequest>(count_);
  auto opened = std::make_shared<bool>(false);
  const auto timeout = config_.openTimeout;
  const End end = DetachedRequest::run(
      request,
      [request, opened, agent, url, timeout] {
        HINTERNET session = openSession(agent, timeout);
        if (!request->keep(session)) return;
        HINTERNET response = InternetOpenUrlA(session, url.c_str(), nullptr, 0, kRequestFlags, 0);
        *opened = request->keep(response);
      },
      stop, deadlineAfter(timeout));
  if (end != End::Done || !*opened) {
    request->closeAll();
    return 0;
  }

  std::lock_guard lock(mutex_);
  // The internet handle may have been closed while the request ran.
  if (!handles_.contains(internet)) {
    request->closeAll();
    return 0;
  }
  const Handle handle = nextHandle_++;
  handles_.emplace(handle, HandleEntry{internet, {}, std::move(request)});
  return handle;
}

bool WinInetTransfer::internetCloseHandle(Handle handle) {
  std::lock_guard lock(mutex_);
  const auto entry = handles_.find(handle);
  if (entry == handles_.end()) return false;
  const bool isInternet = entry->second.parent == 0;
  entry->second.handles->closeAll();
  handles_.erase(entry);
  if (isInternet) {
    std::erase_if(handles_, [handle](auto& item) {
      if (item.second.parent != handle) return false;
      item.second.handles->closeAll();
      return true;
    });
  }
  return true;
}

std::size_t WinInetTransfer::openHandles() const {
  const long count = count_->load();
  return count > 0 ? static_cast<std::size_t>(count) : 0;
}

}  // namespace platform::windows
