// The query helper over this platform's own management service.
#include "platform/linux/linux_management.h"
#include "tests/platform_linux/object_reading.h"

namespace platform_linux_test {

std::vector<Properties> query(std::string_view text, const std::vector<std::string>& names) {
  platform::linuxos::LinuxManagementLocator locator;
  auto service = locator.bind(platform::kCimv2Moniker);
  auto set = service->execQuery(text);
  return readObjects(*set, names);
}

}  // namespace platform_linux_test
