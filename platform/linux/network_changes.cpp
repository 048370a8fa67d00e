#include "platform/linux/network_changes.h"

#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace platform::linuxos {
namespace {

// Everything a snapshot holds: links, their addresses, the routes.
constexpr unsigned kGroups =
    RTMGRP_LINK | RTMGRP_IPV4_IFADDR | RTMGRP_IPV6_IFADDR | RTMGRP_IPV4_ROUTE | RTMGRP_IPV6_ROUTE;

}  // namespace

NetworkChanges::NetworkChanges() {
  socket_ = socket(AF_NETLINK, SOCK_RAW | SOCK_NONBLOCK | SOCK_CLOEXEC, NETLINK_ROUTE);
  if (socket_ < 0) return;
  // One message tells all there is to know; the kernel keeps no more than
  // this for a socket nobody reads in a long-running window, and marks the
  // socket when it drops the rest, which counts as a change too.
  const int small = 4096;
  (void)setsockopt(socket_, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
  sockaddr_nl address{};
  address.nl_family = AF_NETLINK;
  address.nl_groups = kGroups;
  if (bind(socket_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    close(socket_);
    socket_ = -1;
  }
}

NetworkChanges::~NetworkChanges() {
  if (socket_ >= 0) close(socket_);
}

bool NetworkChanges::changed() {
  if (changed_ || socket_ < 0) return true;
  char byte = 0;
  ssize_t got = -1;
  // A non-blocking read is seldom interrupted; a signal storm is taken as a change.
  for (int attempt = 0; attempt < 4; ++attempt) {
    got = recv(socket_, &byte, sizeof byte, MSG_DONTWAIT | MSG_TRUNC);
    if (got >= 0 || errno != EINTR) break;
  }
  // Nothing said is EAGAIN; anything else (ENOBUFS: the kernel dropped
  // messages) is a change.
  changed_ = got >= 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
  return changed_;
}

}  // namespace platform::linuxos
