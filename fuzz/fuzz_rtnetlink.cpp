// Feeds arbitrary bytes to the three rtnetlink message parsers, as the kernel
// (or whatever answers on the netlink socket) would hand them over: each must
// end and stay inside the message, whatever its lengths and attributes say.
#include <cstddef>
#include <cstdint>

#include "platform/linux/rtnetlink_parse.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  platform::linuxos::parseLinkMessage(data, size);
  platform::linuxos::parseAddressMessage(data, size);
  platform::linuxos::parseRouteMessage(data, size);
  return 0;
}
