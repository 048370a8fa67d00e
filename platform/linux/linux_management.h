#pragma once

#include <memory>
#include <string_view>

#include "platform/linux/network_snapshots.h"
#include "platform/linux/system_paths.h"
#include "platform/management_objects.h"

namespace platform::linuxos {

// The management service on Linux: answers the program's two adapter queries
// from a snapshot of the calling thread's network namespace, the one the
// other queries of the same moment share (NetworkSnapshots). The adapter
// query yields every link, the configuration query every link that is
// administratively up, both ordered by interface index.
class LinuxManagementService : public ManagementService {
 public:
  explicit LinuxManagementService(std::shared_ptr<NetworkSnapshots> snapshots)
      : snapshots_(std::move(snapshots)) {}
  // Errors: kInvalidQuery for any other text; a generic failure (0x80041001)
  // when the kernel cannot be asked.
  std::unique_ptr<ObjectSet> execQuery(std::string_view query) override;

 private:
  std::shared_ptr<NetworkSnapshots> snapshots_;
};

// The entry point: binds the one namespace the service has. Give it the
// snapshots the adapter table uses, so that both reports share them.
class LinuxManagementLocator : public ManagementLocator {
 public:
  explicit LinuxManagementLocator(SystemPaths paths = {})
      : snapshots_(std::make_shared<NetworkSnapshots>(std::move(paths))) {}
  explicit LinuxManagementLocator(std::shared_ptr<NetworkSnapshots> snapshots)
      : snapshots_(std::move(snapshots)) {}
  // Errors: kInvalidNamespace for any moniker but kCimv2Moniker.
  std::unique_ptr<ManagementService> bind(std::string_view moniker) override;

 private:
  std::shared_ptr<NetworkSnapshots> snapshots_;
};

}  // namespace platform::linuxos
