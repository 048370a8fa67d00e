#pragma once

#include <sys/types.h>

#include <memory>
#include <mutex>

#include "platform/linux/link_facts.h"
#include "platform/linux/network_changes.h"
#include "platform/linux/system_paths.h"

namespace platform::linuxos {

// Snapshots of the calling thread's network namespace (gatherNetworkFacts),
// shared by every query asked of the same moment: the management service's
// two queries and the adapter table's two calls ask the kernel once between
// them, where each asked for its own dumps. A snapshot is handed out again
// only while the kernel has said nothing about links, addresses or routes
// since it was taken and the caller is in the same namespace, so what a
// report shows is what the kernel holds when it asks; any change, or a
// caller in another namespace, takes a new one. Safe to use from several
// threads.
class NetworkSnapshots {
 public:
  explicit NetworkSnapshots(SystemPaths paths = {}) : paths_(std::move(paths)) {}

  // The snapshot for this moment, without the host's facts. Raises
  // basics::Error as gatherNetworkFacts does.
  std::shared_ptr<const NetworkFacts> current();

  const SystemPaths& paths() const { return paths_; }

 private:
  struct Namespace {
    dev_t device = 0;
    ino_t inode = 0;
    bool known = false;
    bool operator==(const Namespace&) const = default;
  };
  static Namespace callersNamespace();

  const SystemPaths paths_;
  std::mutex mutex_;
  std::shared_ptr<const NetworkFacts> snapshot_;
  Namespace namespace_;
  // Made before the snapshot was taken: it has heard of any change since.
  std::unique_ptr<NetworkChanges> changes_;
};

}  // namespace platform::linuxos
