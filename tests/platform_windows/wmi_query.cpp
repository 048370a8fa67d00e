// The management service the Windows tests query.
#include "platform/windows/wmi_management.h"
#include "tests/platform_linux/object_reading.h"

namespace platform_linux_test {

std::unique_ptr<platform::ManagementLocator> platformLocator() {
  return std::make_unique<platform::windows::WmiLocator>();
}

}  // namespace platform_linux_test
