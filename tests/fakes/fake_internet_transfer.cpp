#include "tests/fakes/fake_internet_transfer.h"

#include <utility>

namespace fakes {

platform::FetchResult FakeInternetTransfer::ok(std::string body, long status) {
  platform::FetchResult result;
  result.outcome = Outcome::Ok;
  result.httpStatus = status;
  result.body = std::move(body);
  result.report.reach = platform::Reach::Answered;
  return result;
}

platform::FetchResult FakeInternetTransfer::failure(Outcome outcome, long status) {
  platform::FetchResult result;
  result.outcome = outcome;
  result.httpStatus = status;
  result.report.reach = outcome == Outcome::HttpError   ? platform::Reach::Answered
                        : outcome == Outcome::Cancelled ? platform::Reach::NotTried
                                                        : platform::Reach::NoConnection;
  return result;
}

void FakeInternetTransfer::record(std::string call) {
  std::lock_guard lock(mutex_);
  calls_.push_back(std::move(call));
}

platform::FetchResult FakeInternetTransfer::fetchText(const std::string& url,
                                                      const platform::FetchOptions& options,
                                                      std::stop_token stop) {
  {
    std::lock_guard lock(mutex_);
    calls_.push_back("fetch " + url);
    options_.push_back(options);
  }
  if (onFetch) return onFetch(url, options, std::move(stop));
  std::lock_guard lock(mutex_);
  if (replies.empty()) return defaultReply;
  platform::FetchResult next = std::move(replies.front());
  replies.pop_front();
  return next;
}

platform::InternetTransfer::Handle FakeInternetTransfer::internetOpen(const std::string& agent) {
  record("open " + agent);
  return openResult;
}

platform::InternetTransfer::Handle FakeInternetTransfer::internetOpenUrl(
    Handle internet, const std::string& url, std::stop_token stop, platform::Deadline deadline,
    platform::RequestReport* report) {
  record("openUrl " + std::to_string(internet) + " " + url);
  {
    std::lock_guard lock(mutex_);
    openUrlDeadlines_.push_back(deadline);
  }
  const Handle result = onOpenUrl ? onOpenUrl(internet, url, std::move(stop)) : openUrlResult;
  if (report != nullptr) {
    *report = openUrlReport.value_or(platform::RequestReport{
        result != 0 ? platform::Reach::Answered : platform::Reach::NoConnection, false});
  }
  return result;
}

bool FakeInternetTransfer::internetCloseHandle(Handle handle) {
  record("close " + std::to_string(handle));
  return handle != 0;
}

std::vector<std::string> FakeInternetTransfer::calls() const {
  std::lock_guard lock(mutex_);
  return calls_;
}

std::vector<platform::FetchOptions> FakeInternetTransfer::fetchOptions() const {
  std::lock_guard lock(mutex_);
  return options_;
}

std::vector<platform::Deadline> FakeInternetTransfer::openUrlDeadlines() const {
  std::lock_guard lock(mutex_);
  return openUrlDeadlines_;
}

int FakeInternetTransfer::fetchCount() const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(options_.size());
}

}  // namespace fakes
