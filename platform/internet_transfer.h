#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <stop_token>
#include <string>

namespace platform {

struct FetchOptions {
  std::string userAgent;
  std::chrono::milliseconds timeout{60000};  // whole request
  std::size_t maxBody = 1024 * 1024;         // a longer body is a failed fetch
  int maxRedirects = 5;
};

struct FetchResult {
  enum class Outcome { Ok, Failed, TimedOut, TooLarge, HttpError, Cancelled };
  Outcome outcome = Outcome::Failed;
  long httpStatus = 0;
  std::string body;  // UTF-8, invalid bytes replaced; set only when Ok
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
  // Succeeds as soon as a status line and headers arrive, whatever the status.
  virtual Handle internetOpenUrl(Handle internet, const std::string& url, std::stop_token stop) = 0;
  virtual bool internetCloseHandle(Handle handle) = 0;
};

}  // namespace platform
