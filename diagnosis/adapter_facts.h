#pragma once

#include "diagnosis/connection_reason.h"
#include "platform/adapter_table.h"
#include "platform/management_objects.h"

namespace diagnosis {

// What the machine's own side shows now: its adapters and their addresses
// from the management service, the default route from the adapter table. An
// adapter whose facts cannot be read leaves what it would have shown
// unknown; a service that cannot be bound or queried leaves all of it
// unknown rather than failing.
AdapterFacts ReadAdapterFacts(platform::ManagementLocator& locator, platform::AdapterTable& table);

}  // namespace diagnosis
