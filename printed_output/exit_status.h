#pragma once

namespace printed_output {

// Exit statuses, one meaning each, as ping, grep and nm-online have them.
// A run that failed (an error box was raised) exits 2 whatever it found, so
// 0 and 1 always come with complete results.
inline constexpr int kOnlineStatus = 0;
inline constexpr int kOfflineStatus = 1;
inline constexpr int kFailureStatus = 2;  // a usage error, or a failure

}  // namespace printed_output
