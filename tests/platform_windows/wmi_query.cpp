// The query helper over the Windows management service.
#include "platform/windows/wmi_management.h"
#include "tests/platform_linux/object_reading.h"

namespace platform_linux_test {

std::vector<Properties> query(std::string_view text, const std::vector<std::string>& names) {
  platform::windows::WmiLocator locator;
  auto service = locator.bind(platform::kCimv2Moniker);
  auto set = service->execQuery(text);
  return readObjects(*set, names);
}

}  // namespace platform_linux_test
