// Loaded into the program with LD_PRELOAD: no netlink socket can be had, as
// in a sandbox that forbids them, so every adapter query fails and both
// reports raise their error boxes. Every other socket is the system's.
#include <dlfcn.h>
#include <sys/socket.h>

#include <cerrno>

extern "C" int socket(int domain, int type, int protocol) {
  if (domain == AF_NETLINK) {
    errno = EACCES;
    return -1;
  }
  using Socket = int (*)(int, int, int);
  static const auto real = reinterpret_cast<Socket>(dlsym(RTLD_NEXT, "socket"));
  if (real == nullptr) {
    errno = ENOSYS;
    return -1;
  }
  return real(domain, type, protocol);
}
