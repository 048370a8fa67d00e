#pragma once

#include <string>

#include "platform/internet_transfer.h"
#include "platform/windows/detached_request.h"

namespace platform::windows {

// The blocking part of a fetch: opens a session and the address, follows
// redirects, reads the body, and writes the outcome into `result`. Every
// handle it opens goes into `request`'s charge at once; it stops as soon as
// the request is abandoned.
void fetchBlocking(DetachedRequest& request, const std::string& url, const FetchOptions& options,
                   FetchResult& result);

}  // namespace platform::windows
