#pragma once

#include <optional>
#include <stop_token>
#include <string>
#include <string_view>

#include "platform/internet_transfer.h"

namespace probes {

// The reachability markers, exactly as the status classification reads them.
inline constexpr std::string_view kOnline = "online";
inline constexpr std::string_view kOffline = "Offline";

// Opens an internet handle as `agent` and tries to open `url` through it:
// kOnline when the URL opens (any response status counts), kOffline when it
// does not, nothing when no internet handle could be had (the caller then
// leaves its marker as it was). Every handle it opens is closed before it
// returns; the internet handle's close is issued even when the open failed.
// A URL that has not opened by `deadline` has not opened. How far the open
// got goes to `report`, when given.
std::optional<std::string> probeReachability(platform::InternetTransfer& internet,
                                             const std::string& agent, const std::string& url,
                                             std::stop_token stop = {},
                                             platform::Deadline deadline = platform::kNoDeadline,
                                             platform::RequestReport* report = nullptr);

}  // namespace probes
