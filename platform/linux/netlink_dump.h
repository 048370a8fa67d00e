#pragma once

#include <vector>

#include "platform/linux/link_facts.h"

struct nl_sock;

namespace platform::linuxos {

// One rtnetlink socket in the calling thread's network namespace, and one
// kernel dump per call: every link, every address, the default routes (the
// main table's, where the kernel filters by table). libnl carries the
// protocol; the messages go through the parsers of rtnetlink_parse.h. A dump
// the kernel marks as interrupted (the set changed under it) is taken again,
// a bounded number of times. Failures raise basics::Error with the netlink
// library's error number.
class NetlinkDump {
 public:
  NetlinkDump();
  ~NetlinkDump();
  NetlinkDump(const NetlinkDump&) = delete;
  NetlinkDump& operator=(const NetlinkDump&) = delete;

  std::vector<LinkFacts> links();
  std::vector<AddressFacts> addresses();
  std::vector<RouteFacts> routes();

 private:
  nl_sock* socket_ = nullptr;
  bool strict_ = false;  // the kernel filters route dumps by table
};

}  // namespace platform::linuxos
