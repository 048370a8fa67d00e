#include "platform/windows/wininet_session.h"

#include <algorithm>
#include <cctype>
#include <limits>

#include "platform/windows/wide_text.h"

namespace platform::windows {

HINTERNET openSession(const std::string& agent, std::chrono::milliseconds timeout) {
  const std::string ansiAgent = toAnsi(agent);
  HINTERNET session =
      InternetOpenA(ansiAgent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  if (session == nullptr) return nullptr;
  DWORD limit = static_cast<DWORD>(std::clamp<std::chrono::milliseconds::rep>(
      timeout.count(), 1, std::numeric_limits<DWORD>::max() - 1));
  for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                       INTERNET_OPTION_RECEIVE_TIMEOUT}) {
    InternetSetOptionA(session, option, &limit, sizeof limit);
  }
  return session;
}

bool isWebUrl(const std::string& url) {
  std::string scheme = url.substr(0, std::min(url.find("://"), url.size()));
  std::transform(scheme.begin(), scheme.end(), scheme.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return url.find("://") != std::string::npos && (scheme == "http" || scheme == "https");
}

long statusOf(HINTERNET request) {
  DWORD status = 0;
  DWORD length = sizeof status;
  if (!HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &length,
                      nullptr)) {
    return 0;
  }
  return static_cast<long>(status);
}

std::string locationOf(HINTERNET request) {
  std::string location(2048, '\0');
  DWORD length = static_cast<DWORD>(location.size());
  if (!HttpQueryInfoA(request, HTTP_QUERY_LOCATION, location.data(), &length, nullptr)) {
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return {};
    location.assign(length + 1, '\0');
    length = static_cast<DWORD>(location.size());
    if (!HttpQueryInfoA(request, HTTP_QUERY_LOCATION, location.data(), &length, nullptr)) return {};
  }
  location.resize(length);
  return location;
}

}  // namespace platform::windows
