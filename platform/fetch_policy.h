#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/internet_transfer.h"

namespace platform {

// What a fetch does with the responses it gets, the same on every system.

// The statuses whose Location is followed.
inline bool isRedirect(long status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// Whether a fetch that has followed `followed` redirects may follow one more;
// one past the limit fails the fetch.
inline bool mayFollowRedirect(int followed, const FetchOptions& options) {
  return followed < (options.maxRedirects > 0 ? options.maxRedirects : 0);
}

// A final response with this status has not brought the page asked for: a
// redirect with nowhere to go, or another 3xx (a 304 nobody asked for). Its
// body is no address, and the fetch has failed.
inline bool isUnfollowedRedirection(long status) {
  return status >= 300 && status < 400;
}

// A final response with this status is an error page, never an address.
inline bool isErrorStatus(long status) {
  return status >= 400;
}

// Whether `more` bytes (read or declared) still fit a body of `have` bytes
// under `limit`; a longer body is a fetch too large.
inline bool bodyFits(std::size_t have, std::uint64_t more, std::size_t limit) {
  return have <= limit && more <= limit - have;
}

}  // namespace platform
