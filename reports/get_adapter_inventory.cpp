#include "reports/get_adapter_inventory.h"

#include <memory>
#include <new>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "basics/error.h"
#include "basics/error_source.h"
#include "reports/inventory_values.h"

namespace reports {
namespace {

using platform::ManagementObject;
using platform::Variant;

constexpr std::string_view kNotAvailable = "N/A";
constexpr std::string_view kNoConfiguration = "N/A (No IP Configuration)";

// The per-adapter fields are each read on their own: a platform that lacks one
// shows its fallback and the inventory goes on.
std::string textOr(const ManagementObject& adapter, std::string_view name,
                   std::string_view fallback) {
  std::string value(fallback);
  basics::skipOnFailure([&] { value = platform::toText(adapter.property(name)); });
  return value;
}

std::int16_t flagOr(const ManagementObject& adapter, std::string_view name) {
  std::int16_t value = kFalse;
  basics::skipOnFailure([&] { value = flagOf(platform::toFlag(adapter.property(name))); });
  return value;
}

void fillAdapterFields(const ManagementObject& adapter, const NumberStyle& numbers,
                       AdapterInventoryRecord& record) {
  record.Description = textOr(adapter, "Description", "");
  record.Index = 0;
  basics::skipOnFailure([&] { record.Index = platform::toInt32(adapter.property("Index")); });
  record.Name = textOr(adapter, "Name", "");
  record.MACAddress = textOr(adapter, "MACAddress", kNotAvailable);
  record.Manufacturer = textOr(adapter, "Manufacturer", kNotAvailable);
  record.ProductName = textOr(adapter, "ProductName", kNotAvailable);
  record.PhysicalAdapter = flagOr(adapter, "PhysicalAdapter");
  record.AdapterType = textOr(adapter, "AdapterType", "Unknown");
  record.Speed = kNotAvailable;
  basics::skipOnFailure([&] { record.Speed = speedText(adapter.property("Speed"), numbers); });
  record.ConnectionStatus = kNotAvailable;
  basics::skipOnFailure([&] {
    record.ConnectionStatus = connectionStatusText(adapter.property("NetConnectionStatus"));
  });
  record.ServiceEnabled = flagOr(adapter, "ServiceEnabled");
}

std::string firstOrNotAvailable(const Variant& array) {
  if (platform::isNull(array)) return std::string(kNotAvailable);
  const platform::TextArray& elements = platform::toArray(array);
  return elements.empty() ? std::string(kNotAvailable) : elements.front();
}

void fillIpGroup(const ManagementObject& configuration, AdapterInventoryRecord& record) {
  record.IPAddress = firstOrNotAvailable(configuration.property("IpAddress"));
  record.Gateway = firstOrNotAvailable(configuration.property("DefaultIPGateway"));
  const Variant dhcp = configuration.property("DHCPEnabled");
  record.DHCPEnabled = platform::isNull(dhcp) ? kFalse : flagOf(platform::toFlag(dhcp));
  const Variant host = configuration.property("DNSHostName");
  record.DNSHostName = platform::isNull(host) ? std::string(kNotAvailable) : platform::toText(host);
  const Variant servers = configuration.property("DNSServerSearchOrder");
  record.DNSServers =
      platform::isNull(servers) ? std::string(kNotAvailable) : joinedOrNotAvailable(servers);
  const Variant subnets = configuration.property("IPSubnet");
  record.SubnetMask =
      platform::isNull(subnets) ? std::string(kNotAvailable) : joinedOrNotAvailable(subnets);
}

void markNoConfiguration(AdapterInventoryRecord& record) {
  const std::string text(kNoConfiguration);
  record.IPAddress = text;
  record.Gateway = text;
  record.DNSHostName = text;
  record.DNSServers = text;
  record.SubnetMask = text;
  record.DHCPEnabled = kFalse;
}

// A null index on either side matches nothing; anything else compares as an integer.
bool sameIndex(const Variant& left, const Variant& right) {
  if (platform::isNull(left) || platform::isNull(right)) return false;
  return platform::toInt32(left) == platform::toInt32(right);
}

// The join of one adapter with the configuration set. One visitor serves every
// adapter, so walking the set allocates nothing per configuration.
class Join {
 public:
  explicit Join(const platform::ObjectSet& configurations)
      : configurations_(configurations),
        visit_([this](const ManagementObject& c) { return visit(c); }) {}
  Join(const Join&) = delete;
  Join& operator=(const Join&) = delete;

  void run(const ManagementObject& adapter, AdapterInventoryRecord& record) {
    adapter_ = &adapter;
    record_ = &record;
    adapterIndex_.reset();
    position_ = 0;
    found_ = false;
    configurations_.forEach(visit_);
    if (!found_) markNoConfiguration(record);
  }

 private:
  bool visit(const ManagementObject& configuration) {
    // Every adapter walks the same set in the same order: each configuration's
    // index is read once, when the walk first reaches it, not once per adapter
    // (a million reads at a thousand adapters). A read that fails is tried again.
    const std::size_t at = position_++;
    if (at >= configurationIndices_.size()) configurationIndices_.resize(at + 1);
    if (!configurationIndices_[at]) configurationIndices_[at] = configuration.property("Index");
    const Variant& configurationIndex = *configurationIndices_[at];
    // The adapter's index is read from the adapter, not the record, when first needed.
    if (!adapterIndex_) adapterIndex_ = adapter_->property("Index");
    if (!sameIndex(configurationIndex, *adapterIndex_)) return true;
    fillIpGroup(configuration, *record_);
    found_ = true;
    return false;
  }

  const platform::ObjectSet& configurations_;
  const std::function<bool(const ManagementObject&)> visit_;
  const ManagementObject* adapter_ = nullptr;
  AdapterInventoryRecord* record_ = nullptr;
  std::optional<Variant> adapterIndex_;
  std::vector<std::optional<Variant>> configurationIndices_;
  std::size_t position_ = 0;
  bool found_ = false;
};

// Sizes the list to `count` fresh records; a count the memory cannot hold is a
// failure like any other rather than the end of the program.
void resizeFresh(std::vector<AdapterInventoryRecord>& adapters, std::size_t count) {
  try {
    adapters.clear();
    adapters.resize(count);
  } catch (const std::bad_alloc&) {
    throw basics::Error(7, basics::kErrorSource, "Out of memory");
  } catch (const std::length_error&) {
    throw basics::Error(7, basics::kErrorSource, "Out of memory");
  }
}

std::string failureText(const basics::Error& error) {
  return "An error occurred in GetAdaptersInfo: " + error.description() +
         "\r\nError Number: " + std::to_string(error.number()) + "\r\nSource: " + error.source();
}

}  // namespace

std::int32_t GetAdapterInventory(platform::ManagementLocator& locator,
                                 std::vector<AdapterInventoryRecord>& Adapters,
                                 const ShowMessage& showMessage) {
  return GetAdapterInventory(locator, Adapters, showMessage,
                             numberStyleFor(userNumericLocaleName()));
}

std::int32_t GetAdapterInventory(platform::ManagementLocator& locator,
                                 std::vector<AdapterInventoryRecord>& Adapters,
                                 const ShowMessage& showMessage, const NumberStyle& numbers) {
  // Held out here so they are released only after the message box has closed.
  std::unique_ptr<platform::ManagementService> service;
  std::unique_ptr<platform::ObjectSet> adapters;
  std::unique_ptr<platform::ObjectSet> configurations;
  try {
    service = locator.bind(platform::kCimv2Moniker);
    adapters = service->execQuery(platform::kAdapterQuery);
    configurations = service->execQuery(platform::kConfigurationQuery);

    std::int32_t i = 0;
    const std::int32_t count = adapters->count();
    if (count > 0) {
      resizeFresh(Adapters, static_cast<std::size_t>(count));
      Join join(*configurations);
      adapters->forEach([&](const ManagementObject& adapter) {
        // A set that yields more objects than it counted has no record for them.
        if (static_cast<std::size_t>(i) >= Adapters.size()) {
          throw basics::Error(9, basics::kErrorSource, "Subscript out of range");
        }
        AdapterInventoryRecord& record = Adapters[static_cast<std::size_t>(i)];
        fillAdapterFields(adapter, numbers, record);
        join.run(adapter, record);
        ++i;
        return true;
      });
    } else {
      resizeFresh(Adapters, 1);
    }
    return i;
  } catch (const basics::Error& error) {
    showMessage(error, failureText(error));
    return 0;
  }
}

}  // namespace reports
