#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace platform::linuxos {

// Link speeds from the kernel's ethtool interface, asked over a socket of
// the calling thread's network namespace. That is the number sysfs shows as
// "speed", but sysfs shows the links of the namespace it was mounted in,
// and opening one of its files costs ten times the call.
class LinkSpeeds {
 public:
  LinkSpeeds();
  ~LinkSpeeds();
  LinkSpeeds(const LinkSpeeds&) = delete;
  LinkSpeeds& operator=(const LinkSpeeds&) = delete;

  // The speed of the named link in megabits per second; none when the link
  // reports none, has no such interface, or is gone.
  std::optional<std::uint64_t> megabits(const std::string& name);

 private:
  int socket_ = -1;
  int maskWords_ = 0;  // the kernel's link-mode mask size, learnt on first use
};

}  // namespace platform::linuxos
