// The management service the Linux tests query.
#include "platform/linux/linux_management.h"
#include "tests/platform_linux/object_reading.h"

namespace platform_linux_test {

std::unique_ptr<platform::ManagementLocator> platformLocator() {
  return std::make_unique<platform::linuxos::LinuxManagementLocator>();
}

}  // namespace platform_linux_test
