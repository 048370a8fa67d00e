#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <stop_token>
#include <string>

namespace platform {

// A moment past which a request gives up, whatever its own time-out says: the
// gathering shares one budget of time between all its requests.
using Deadline = std::chrono::steady_clock::time_point;
inline constexpr Deadline kNoDeadline = Deadline::max();

// The earlier of `deadline` and `timeout` from now.
Deadline deadlineWithin(std::chrono::milliseconds timeout, Deadline deadline);

struct FetchOptions {
  std::string userAgent;
  std::chrono::milliseconds timeout{60000};  // whole request
  Deadline deadline = kNoDeadline;           // and never past this
  std::size_t maxBody = 1024 * 1024;         // a longer body is a failed fetch
  int maxRedirects = 5;
};

// How far a request got on its way to the server, from the user outwards:
// what tells the user why the internet could not be reached.
enum class Reach {
  NotTried,      // no request went out (no time left, stopped), or it broke in a
                 // way the transfer cannot place
  NoName,        // the server's name did not resolve (an error, or no answer)
  NoConnection,  // the name resolved, but no address took a connection
  NoReply,       // connected, but no response came
  ProxyFailed,   // the proxy took no connection, sent no response, or wants credentials
  SignInPage,    // a network's sign-in page answered in the server's place
  Answered,      // the server (or the proxy on its behalf) sent a response
};

struct RequestReport {
  Reach reach = Reach::NotTried;
  bool viaProxy = false;  // the request went to a proxy
};

struct FetchResult {
  enum class Outcome { Ok, Failed, TimedOut, TooLarge, HttpError, Cancelled };
  Outcome outcome = Outcome::Failed;
  long httpStatus = 0;
  std::string body;  // UTF-8, invalid bytes replaced; set only when Ok
  RequestReport report;
  bool ok() const { return outcome == Outcome::Ok; }
};

// HTTP for the probes. Every call blocks its (background) thread and returns
// within about 50 ms once `stop` is requested.
class InternetTransfer {
 public:
  virtual ~InternetTransfer() = default;

  // GET `url`; status >= 400 is Outcome::HttpError.
  virtual FetchResult fetchText(const std::string& url, const FetchOptions& options,
                                std::stop_token stop) = 0;

  // The reachability probe's handle calls. 0 is the null handle.
  using Handle = std::uintptr_t;
  virtual Handle internetOpen(const std::string& agent) = 0;
  // Succeeds as soon as a status line and headers arrive, whatever the status,
  // but for a sign-in page or a proxy that wants credentials; fails once
  // `deadline` has passed. Says how far it got in `report`, when given.
  virtual Handle internetOpenUrl(Handle internet, const std::string& url, std::stop_token stop,
                                 Deadline deadline = kNoDeadline,
                                 RequestReport* report = nullptr) = 0;
  virtual bool internetCloseHandle(Handle handle) = 0;

  // A new gathering begins: names are looked up afresh and connections kept
  // from earlier requests are dropped, so a reload sees the network as it is
  // now. Within one gathering a transfer may reuse both.
  virtual void startAfresh() {}
};

}  // namespace platform
