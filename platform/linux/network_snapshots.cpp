#include "platform/linux/network_snapshots.h"

#include <sys/stat.h>

#include "platform/linux/network_facts.h"

namespace platform::linuxos {

NetworkSnapshots::Namespace NetworkSnapshots::callersNamespace() {
  // The namespace's identity while it lives; the socket of NetworkChanges
  // keeps the kept snapshot's namespace alive, so no other can take its number.
  struct stat status {};
  if (stat("/proc/thread-self/ns/net", &status) != 0) return {};
  return {status.st_dev, status.st_ino, true};
}

std::shared_ptr<const NetworkFacts> NetworkSnapshots::current() {
  const Namespace caller = callersNamespace();
  const std::lock_guard lock(mutex_);
  if (snapshot_ && caller.known && caller == namespace_ && !changes_->changed()) return snapshot_;
  // Listening first: a change while the dumps run is heard, and the next
  // query takes a new snapshot.
  auto changes = std::make_unique<NetworkChanges>();
  auto facts = std::make_shared<const NetworkFacts>(gatherNetworkFacts(paths_));
  snapshot_ = std::move(facts);
  namespace_ = caller;
  changes_ = std::move(changes);
  return snapshot_;
}

}  // namespace platform::linuxos
