#include "platform/windows/wininet_fetch.h"

#include <array>
#include <cstdlib>

#include "platform/fetch_policy.h"
#include "platform/windows/wininet_session.h"
#include "toolkit/text.h"

namespace platform::windows {
namespace {

using Outcome = FetchResult::Outcome;

// The Location header resolved against `base`; empty when there is none.
std::string redirectTarget(HINTERNET request, const std::string& base) {
  const std::string location = locationOf(request);
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

// The declared body length, when the server declared one.
bool declaredLength(HINTERNET request, unsigned long long& length) {
  char text[32] = {};
  DWORD size = sizeof text;
  if (!HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr)) return false;
  char* end = nullptr;
  length = std::strtoull(text, &end, 10);
  return end != text;
}

Outcome failureOf(DWORD error) {
  return error == ERROR_INTERNET_TIMEOUT ? Outcome::TimedOut : Outcome::Failed;
}

}  // namespace

void fetchBlocking(DetachedRequest& request, const std::string& url, const FetchOptions& options,
                   FetchResult& result) {
  result = {};
  HINTERNET session = openSession(options.userAgent, options.timeout);
  if (!request.keep(session)) return;

  std::string address = url;
  HINTERNET response = nullptr;
  for (int redirects = 0;; ++redirects) {
    if (!isWebUrl(address)) return;
    response = InternetOpenUrlA(session, address.c_str(), nullptr, 0, kRequestFlags, 0);
    if (response == nullptr) {
      result.outcome = failureOf(GetLastError());
      return;
    }
    if (!request.keep(response)) return;
    result.httpStatus = statusOf(response);
    if (!isRedirect(result.httpStatus)) break;
    const std::string next = redirectTarget(response, address);
    if (next.empty()) break;  // nowhere to go
    if (!mayFollowRedirect(redirects, options)) return;
    request.close(response);
    address = next;
  }

  if (isUnfollowedRedirection(result.httpStatus)) return;  // Failed
  if (isErrorStatus(result.httpStatus)) {
    result.outcome = Outcome::HttpError;
    return;
  }
  unsigned long long length = 0;
  if (declaredLength(response, length) && !bodyFits(0, length, options.maxBody)) {
    result.outcome = Outcome::TooLarge;
    return;
  }
  std::string bytes;
  std::array<char, 16384> chunk;
  for (;;) {
    DWORD read = 0;
    if (!InternetReadFile(response, chunk.data(), static_cast<DWORD>(chunk.size()), &read)) {
      result.outcome = failureOf(GetLastError());
      return;
    }
    if (read == 0) break;
    if (!bodyFits(bytes.size(), read, options.maxBody)) {
      result.outcome = Outcome::TooLarge;
      return;
    }
    bytes.append(chunk.data(), read);
    if (request.abandoned()) return;
  }
  result.body = toolkit::utf8Lossy(bytes);
  result.outcome = Outcome::Ok;
}

}  // namespace platform::windows
