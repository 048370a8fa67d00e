#pragma once

namespace platform::linuxos {

// Listens for the kernel's word that a link, an address or a route of the
// calling thread's network namespace changed, from the moment it is made.
// It only tells whether anything was said, not what: a snapshot taken after
// it was made stays true for as long as changed() says no.
class NetworkChanges {
 public:
  // Without a socket (none to be had, or the kernel refused the groups)
  // changed() always says yes, so nothing is ever kept on its word.
  NetworkChanges();
  ~NetworkChanges();
  NetworkChanges(const NetworkChanges&) = delete;
  NetworkChanges& operator=(const NetworkChanges&) = delete;

  // Whether the kernel said anything since this object was made, or lost
  // some of what it said. Never waits. Once true, always true.
  bool changed();

 private:
  int socket_ = -1;
  bool changed_ = false;
};

}  // namespace platform::linuxos
