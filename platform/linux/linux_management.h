#pragma once

#include <memory>
#include <string_view>

#include "platform/linux/system_paths.h"
#include "platform/management_objects.h"

namespace platform::linuxos {

// The management service on Linux: answers the program's two adapter queries
// with a fresh snapshot of the calling thread's network namespace each time.
// The adapter query yields every link, the configuration query every link
// that is administratively up, both ordered by interface index.
class LinuxManagementService : public ManagementService {
 public:
  explicit LinuxManagementService(SystemPaths paths) : paths_(std::move(paths)) {}
  // Errors: kInvalidQuery for any other text; a generic failure (0x80041001)
  // when the kernel cannot be asked.
  std::unique_ptr<ObjectSet> execQuery(std::string_view query) override;

 private:
  SystemPaths paths_;
};

// The entry point: binds the one namespace the service has.
class LinuxManagementLocator : public ManagementLocator {
 public:
  explicit LinuxManagementLocator(SystemPaths paths = {}) : paths_(std::move(paths)) {}
  // Errors: kInvalidNamespace for any moniker but kCimv2Moniker.
  std::unique_ptr<ManagementService> bind(std::string_view moniker) override;

 private:
  SystemPaths paths_;
};

}  // namespace platform::linuxos
