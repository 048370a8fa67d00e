#include "platform/windows/wininet_fetch.h"

#include "basics/text.h"
#include "platform/fetch_policy.h"
#include "platform/windows/wininet_options.h"
#include "platform/windows/wininet_reach.h"

namespace platform::windows {
namespace {

using Outcome = FetchResult::Outcome;
using End = WinInetRequest::End;

// `location` resolved against `base`; empty when there is none.
std::string redirectTarget(const std::string& location, const std::string& base) {
  if (location.empty()) return {};
  std::string combined(4096, '\0');
  DWORD combinedLength = static_cast<DWORD>(combined.size());
  if (!InternetCombineUrlA(base.c_str(), location.c_str(), combined.data(), &combinedLength,
                           ICU_NO_ENCODE)) {
    return {};
  }
  combined.resize(combinedLength);
  return combined;
}

Outcome failureOf(End end) {
  switch (end) {
    case End::TimedOut:
      return Outcome::TimedOut;
    case End::Stopped:
      return Outcome::Cancelled;
    case End::Failed:
      break;
  }
  return Outcome::Failed;
}

}  // namespace

FetchResult fetchWithRequest(WinInetRequest& request, const std::string& url,
                             const FetchOptions& options) {
  FetchResult result;
  if (!request.openSession(options.userAgent, options.timeout)) return result;

  std::string address = url;
  HINTERNET response = nullptr;
  for (int redirects = 0;; ++redirects) {
    if (!isWebUrl(address)) return result;
    const bool viaProxy = request.goesThroughProxy(address);
    response = request.openUrl(address, kFetchFlags);
    if (response == nullptr) {
      result.outcome = failureOf(request.end());
      result.report = failedReport(request, viaProxy);
      return result;
    }
    result.httpStatus = request.status(response);
    result.report = answeredReport(result.httpStatus, viaProxy);
    if (!isRedirect(result.httpStatus)) break;
    const std::string next = redirectTarget(request.location(response), address);
    if (next.empty()) break;  // nowhere to go
    if (!mayFollowRedirect(redirects, options)) return result;
    request.close(response);
    address = next;
  }

  if (isUnfollowedRedirection(result.httpStatus)) return result;  // Failed
  if (isErrorStatus(result.httpStatus)) {
    result.outcome = Outcome::HttpError;
    return result;
  }
  if (const auto length = request.contentLength(response);
      length && !bodyFits(0, *length, options.maxBody)) {
    result.outcome = Outcome::TooLarge;
    return result;
  }
  std::string bytes;
  for (;;) {
    const std::size_t had = bytes.size();
    const long read = request.read(response, bytes);
    if (read < 0) {
      result.outcome = failureOf(request.end());
      return result;
    }
    if (read == 0) break;
    if (!bodyFits(had, static_cast<std::size_t>(read), options.maxBody)) {
      result.outcome = Outcome::TooLarge;
      return result;
    }
  }
  result.body = basics::utf8Lossy(bytes);
  result.outcome = Outcome::Ok;
  return result;
}

}  // namespace platform::windows
