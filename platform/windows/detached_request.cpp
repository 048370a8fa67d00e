#include "platform/windows/detached_request.h"

#include <process.h>

#include <algorithm>
#include <memory>

namespace platform::windows {
namespace {

unsigned __stdcall runDetached(void* argument) {
  const std::unique_ptr<std::function<void()>> body(static_cast<std::function<void()>*>(argument));
  (*body)();
  return 0;
}

// A thread that nobody joins. Not std::thread: MinGW's thread library may fail
// to detach a thread that has already ended (ESRCH), and a std::thread whose
// detach throws ends the program while the exception unwinds.
bool startDetached(std::function<void()> body) {
  auto owned = std::make_unique<std::function<void()>>(std::move(body));
  const std::uintptr_t thread = _beginthreadex(nullptr, 0, &runDetached, owned.get(), 0, nullptr);
  if (thread == 0) return false;
  owned.release();  // the thread owns it now
  CloseHandle(reinterpret_cast<HANDLE>(thread));
  return true;
}

}  // namespace

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
  const bool started = startDetached([request, work = std::move(work)] {
    work();
    std::lock_guard lock(request->mutex_);
    request->done_ = true;
    request->finished_.notify_all();
  });
  if (!started) return End::NotStarted;

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
