#include "platform/windows/wininet_reach.h"

namespace platform::windows {
namespace {

using Phase = WinInetRequest::Phase;

constexpr long kProxyAuthenticationRequired = 407;
constexpr long kNetworkAuthenticationRequired = 511;

// A request that ran out of time where its notices had got to.
Reach timedOutAt(Phase phase) {
  switch (phase) {
    case Phase::NotStarted:
      return Reach::NotTried;
    case Phase::Started:  // the name is the first thing looked for
    case Phase::Resolving:
      return Reach::NoName;
    case Phase::Connecting:
      return Reach::NoConnection;
    case Phase::Connected:
    case Phase::Receiving:
      return Reach::NoReply;
  }
  return Reach::NotTried;
}

Reach reachOf(WinInetRequest::End end, DWORD error, Phase phase) {
  if (end == WinInetRequest::End::Stopped) return Reach::NotTried;
  switch (error) {
    case ERROR_INTERNET_NAME_NOT_RESOLVED:
      return Reach::NoName;
    case ERROR_INTERNET_CANNOT_CONNECT:
      return Reach::NoConnection;
    case ERROR_INTERNET_CONNECTION_RESET:
    case ERROR_INTERNET_CONNECTION_ABORTED:
    case ERROR_HTTP_INVALID_SERVER_RESPONSE:
      // A connection dropped before a status line; while still connecting,
      // it was never taken.
      return phase >= Phase::Connected ? Reach::NoReply : Reach::NoConnection;
    case ERROR_INTERNET_TIMEOUT:
      return timedOutAt(phase);
    case ERROR_SUCCESS:  // given up on at the request's own deadline
      return end == WinInetRequest::End::TimedOut ? timedOutAt(phase) : Reach::NotTried;
    default:
      return Reach::NotTried;
  }
}

}  // namespace

RequestReport failedReport(const WinInetRequest& request, bool viaProxy) {
  const DWORD error = request.error();
  if (error == ERROR_INTERNET_BAD_AUTO_PROXY_SCRIPT ||
      error == ERROR_INTERNET_UNABLE_TO_DOWNLOAD_SCRIPT) {
    return {Reach::ProxyFailed, true};
  }
  Reach reach = reachOf(request.end(), error, request.phase());
  if (viaProxy &&
      (reach == Reach::NoName || reach == Reach::NoConnection || reach == Reach::NoReply))
    reach = Reach::ProxyFailed;
  return {reach, viaProxy};
}

RequestReport answeredReport(long status, bool viaProxy) {
  if (status == kProxyAuthenticationRequired) return {Reach::ProxyFailed, viaProxy};
  if (status == kNetworkAuthenticationRequired) return {Reach::SignInPage, viaProxy};
  return {Reach::Answered, viaProxy};
}

}  // namespace platform::windows
