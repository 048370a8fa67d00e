#include "platform/linux/linux_management.h"

#include "platform/linux/adapter_objects.h"
#include "platform/linux/network_facts.h"

#include "basics/text.h"

namespace platform::linuxos {
namespace {

constexpr const char* kSource = "LinuxManagement";
constexpr std::int32_t kFailed = basics::errorNumber(0x80041001);

}  // namespace

// Query texts and monikers compare without regard to letter case, as the
// management service's own language does.
std::unique_ptr<ObjectSet> LinuxManagementService::execQuery(std::string_view query) {
  const bool adapters = basics::equalIgnoringCase(query, kAdapterQuery);
  if (!adapters && !basics::equalIgnoringCase(query, kConfigurationQuery)) {
    throw basics::Error(kInvalidQuery, kSource, "Invalid query");
  }
  std::shared_ptr<const NetworkFacts> facts;
  try {
    facts = snapshots_->current();
  } catch (const basics::Error& error) {
    throw basics::Error(kFailed, kSource, "Generic failure: " + error.description());
  }
  return std::make_unique<PropertyObjectSet>(
      adapters ? adapterObjects(*facts)
               : configurationObjects(*facts, gatherHostFacts(snapshots_->paths())));
}

std::unique_ptr<ManagementService> LinuxManagementLocator::bind(std::string_view moniker) {
  if (!basics::equalIgnoringCase(moniker, kCimv2Moniker)) {
    throw basics::Error(kInvalidNamespace, kSource, "Invalid namespace");
  }
  return std::make_unique<LinuxManagementService>(snapshots_);
}

}  // namespace platform::linuxos
