#pragma once

#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

#include "platform/internet_transfer.h"

namespace fakes {

// A scripted internet transfer that records every call. Safe to call from
// background threads; set the script up before the calls begin.
class FakeInternetTransfer : public platform::InternetTransfer {
 public:
  using Outcome = platform::FetchResult::Outcome;

  static platform::FetchResult ok(std::string body, long status = 200);
  static platform::FetchResult failure(Outcome outcome, long status = 0);

  // fetchText answers with `onFetch` when set, else the next of `replies`,
  // else `defaultReply`.
  std::function<platform::FetchResult(const std::string& url, const platform::FetchOptions&,
                                      std::stop_token)>
      onFetch;
  std::deque<platform::FetchResult> replies;
  platform::FetchResult defaultReply = failure(Outcome::Failed);

  // The handle calls answer with these; 0 makes the call fail. `onOpenUrl`,
  // when set, answers internetOpenUrl instead.
  Handle openResult = 11;
  Handle openUrlResult = 22;
  std::function<Handle(Handle internet, const std::string& url, std::stop_token)> onOpenUrl;
  // What internetOpenUrl reports; unset: answered when it opened, no
  // connection when it did not.
  std::optional<platform::RequestReport> openUrlReport;

  platform::FetchResult fetchText(const std::string& url, const platform::FetchOptions& options,
                                  std::stop_token stop) override;
  Handle internetOpen(const std::string& agent) override;
  Handle internetOpenUrl(Handle internet, const std::string& url, std::stop_token stop,
                         platform::Deadline deadline = platform::kNoDeadline,
                         platform::RequestReport* report = nullptr) override;
  bool internetCloseHandle(Handle handle) override;

  // Every call in order: "fetch URL", "open AGENT", "openUrl HANDLE URL", "close HANDLE".
  std::vector<std::string> calls() const;
  std::vector<platform::FetchOptions> fetchOptions() const;
  std::vector<platform::Deadline> openUrlDeadlines() const;
  int fetchCount() const;

 private:
  void record(std::string call);

  mutable std::mutex mutex_;
  std::vector<std::string> calls_;
  std::vector<platform::FetchOptions> options_;
  std::vector<platform::Deadline> openUrlDeadlines_;
};

}  // namespace fakes
