#pragma once

#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <stop_token>
#include <vector>

namespace platform::windows {

// How many internet handles a transfer has open, shared with requests that
// may outlive it.
using HandleCount = std::shared_ptr<std::atomic<long>>;

// The blocking internet calls of one request run on a thread of their own,
// so the caller can walk away when it is stopped or its time is up. It then
// closes every handle the request holds, which on Windows ends the blocked
// call at once; where the system lets the call run on regardless, the thread
// finishes by itself (bounded by the handles' own time-outs), touches no
// closed handle again, and holds nothing of the caller's.
class DetachedRequest {
 public:
  explicit DetachedRequest(HandleCount count) : count_(std::move(count)) {}
  DetachedRequest(const DetachedRequest&) = delete;
  DetachedRequest& operator=(const DetachedRequest&) = delete;
  ~DetachedRequest() { closeAll(); }

  // Takes charge of a handle the request opened. False, with the handle
  // closed already, when the request has been abandoned meanwhile (or the
  // handle is null): the work must end without touching it.
  bool keep(HINTERNET handle);
  // Closes a handle taken in charge, unless it was closed already.
  void close(HINTERNET handle);
  void closeAll();
  bool abandoned() const;

  enum class End { Done, Stopped, Overdue, NotStarted };
  // Runs `work` on its own thread and waits until it is done, `stop` is
  // requested or `deadline` passes. Only on Done may the caller read what
  // the work wrote into the request.
  static End run(const std::shared_ptr<DetachedRequest>& request, std::function<void()> work,
                 std::stop_token stop, std::chrono::steady_clock::time_point deadline);

 private:
  HandleCount count_;
  mutable std::mutex mutex_;
  std::condition_variable finished_;
  bool done_ = false;
  bool abandoned_ = false;
  std::vector<HINTERNET> handles_;  // in the order they were opened
};

}  // namespace platform::windows
