#include "platform/internet_transfer.h"

#include <algorithm>

namespace platform {

Deadline deadlineWithin(std::chrono::milliseconds timeout, Deadline deadline) {
  const Deadline now = std::chrono::steady_clock::now();
  // A time-out too long to add to the clock is no limit at all.
  if (timeout >= std::chrono::duration_cast<std::chrono::milliseconds>(Deadline::max() - now)) {
    return deadline;
  }
  return std::min(now + timeout, deadline);
}

}  // namespace platform
