#pragma once

#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

namespace platform::windows {

// What a transfer's requests tell it, shared with requests that outlive it.
struct RequestCounts {
  std::atomic<long> openHandles{0};
  // Calls a request refused because their handle was closed: always 0 unless
  // the code around the request is wrong (the tests check it).
  std::atomic<long> callsAfterClose{0};
};
using SharedCounts = std::shared_ptr<RequestCounts>;

// One request on a WinINet session of its own, in WinINet's asynchronous
// mode, so that it can be stopped the way Microsoft documents: a call returns
// at once (ERROR_IO_PENDING when it must wait), the request waits for its
// completion, for `stop` or for `deadline`, and when it stops waiting it
// closes its handles with no call of its own still running, and makes none
// after. WinINet then completes the pending operation with an error; the
// little the completion still writes (the read buffer) lives until it has.
//
// Every call is made from one thread, the one that runs the request; close()
// and closeAll() may also come from another, and never overlap a call.
class WinInetRequest {
 public:
  using Clock = std::chrono::steady_clock;

  WinInetRequest(SharedCounts counts, std::stop_token stop, Clock::time_point deadline);
  ~WinInetRequest();
  WinInetRequest(const WinInetRequest&) = delete;
  WinInetRequest& operator=(const WinInetRequest&) = delete;

  // Why the last call failed.
  enum class End { Failed, TimedOut, Stopped };
  End end() const { return end_; }
  // The WinINet error the last failed call reported: 0 when none came (the
  // request gave up waiting, or made no call).
  DWORD error() const { return error_; }

  // How far the latest open got, as WinINet's status notices told it: the
  // error codes alone do not say at which step a time-out struck.
  enum class Phase {
    NotStarted,  // no call went out (no time left, stopped before it)
    Started,     // the call went out; no notice has come yet
    Resolving,   // looking up a name
    Connecting,  // the name resolved; connecting to an address
    Connected,   // connected; the request is being sent or has been
    Receiving,   // waiting for, or reading, the response
  };
  Phase phase() const { return reached_; }
  // Whether a request for `url` in this session goes to a proxy.
  bool goesThroughProxy(const std::string& url);

  // The session: the user's proxy settings, `agent` (UTF-8) in the system's
  // ANSI code page, `timeout` for connecting, sending and receiving. A
  // synchronous one only stands for the reachability probe's internet handle:
  // the request makes no calls in it.
  enum class Mode { Asynchronous, Synchronous };
  bool openSession(const std::string& agent, std::chrono::milliseconds timeout,
                   Mode mode = Mode::Asynchronous);
  // InternetOpenUrlA; null when it failed, was stopped or ran out of time.
  HINTERNET openUrl(const std::string& url, DWORD flags);

  // Response headers, read from what has arrived: 0 / empty / nothing when absent.
  long status(HINTERNET response);
  std::string location(HINTERNET response);
  std::optional<std::uint64_t> contentLength(HINTERNET response);

  // Appends the next piece of the body to `body`: its size, 0 at the end of
  // the body, -1 when the read failed, was stopped or ran out of time.
  long read(HINTERNET response, std::string& body);

  // Closes one handle of the request, or all of them (the session last).
  void close(HINTERNET handle);
  void closeAll();

  struct State;  // what the status callback shares with the request

 private:
  bool usable(HINTERNET handle);
  // Makes `call` (which returns whether it finished at once) and, when WinINet
  // answers ERROR_IO_PENDING, waits for its completion; false when the call
  // failed, or was given up on (stopped, overdue) and everything closed.
  template <class Call>
  bool complete(Call call);
  void closeLocked(HINTERNET handle);

  SharedCounts counts_;
  std::stop_token stop_;
  Clock::time_point deadline_;
  std::shared_ptr<State> state_;
  DWORD_PTR context_;               // what WinINet hands the status callback for this request
  std::mutex handlesMutex_;         // held during each call and each close
  std::vector<HINTERNET> handles_;  // open, in the order they were opened
  End end_ = End::Failed;
  DWORD error_ = ERROR_SUCCESS;
  Phase reached_ = Phase::NotStarted;  // where the last call had got when it ended
};

}  // namespace platform::windows
