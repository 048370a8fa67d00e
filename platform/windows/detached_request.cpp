#include "platform/windows/detached_request.h"

#include <algorithm>
#include <system_error>
#include <thread>

namespace platform::windows {

bool DetachedRequest::keep(HINTERNET handle) {
  if (handle == nullptr) return false;
  std::lock_guard lock(mutex_);
  if (abandoned_) {
    InternetCloseHandle(handle);
    return false;
  }
  handles_.push_back(handle);
  ++*count_;
  return true;
}

void DetachedRequest::close(HINTERNET handle) {
  std::lock_guard lock(mutex_);
  const auto found = std::find(handles_.begin(), handles_.end(), handle);
  if (found == handles_.end()) return;
  handles_.erase(found);
  InternetCloseHandle(handle);
  --*count_;
}

void DetachedRequest::closeAll() {
  std::lock_guard lock(mutex_);
  // Children first: a request before the session it was opened in.
  while (!handles_.empty()) {
    InternetCloseHandle(handles_.back());
    handles_.pop_back();
    --*count_;
  }
}

bool DetachedRequest::abandoned() const {
  std::lock_guard lock(mutex_);
  return abandoned_;
}

DetachedRequest::End DetachedRequest::run(const std::shared_ptr<DetachedRequest>& request,
                                          std::function<void()> work, std::stop_token stop,
                                          std::chrono::steady_clock::time_point deadline) {
  if (stop.stop_requested()) return End::Stopped;
  try {
    std::thread([request, work = std::move(work)] {
      work();
      std::lock_guard lock(request->mutex_);
      request->done_ = true;
      request->finished_.notify_all();
    }).detach();
  } catch (const std::system_error&) {
    return End::NotStarted;
  }

  // A stop request wakes the wait at once.
  std::stop_callback wake(stop, [&request] {
    std::lock_guard lock(request->mutex_);
    request->finished_.notify_all();
  });
  std::unique_lock lock(request->mutex_);
  const bool ended = request->finished_.wait_until(
      lock, deadline, [&] { return request->done_ || stop.stop_requested(); });
  if (request->done_) return End::Done;
  request->abandoned_ = true;
  lock.unlock();
  request->closeAll();
  return ended ? End::Stopped : End::Overdue;
}

}  // namespace platform::windows
