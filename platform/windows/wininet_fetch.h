#pragma once

#include <string>

#include "platform/internet_transfer.h"
#include "platform/windows/wininet_request.h"

namespace platform::windows {

// A fetch on `request` (made with the fetch's stop and deadline): opens a
// session and the address, follows redirects, reads the body. Stopped or out
// of time, it gives up at once, everything closed (see WinInetRequest).
FetchResult fetchWithRequest(WinInetRequest& request, const std::string& url,
                             const FetchOptions& options);

}  // namespace platform::windows
