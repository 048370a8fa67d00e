#pragma once

#include "platform/internet_transfer.h"
#include "platform/windows/wininet_request.h"

namespace platform::windows {

// How far a request got whose open failed: WinINet's error where it names the
// step (a name that did not resolve, a connection refused), and otherwise the
// step its notices had reached, for a time-out (WinINet's or the request's
// own deadline) says nothing of where it struck. Through a proxy, every
// failure to reach the next hop is the proxy's.
RequestReport failedReport(const WinInetRequest& request, bool viaProxy);

// How far a request got that has a response with `status`: a proxy that wants
// credentials has not let it through; a 511 is a network's sign-in page.
RequestReport answeredReport(long status, bool viaProxy);

}  // namespace platform::windows
