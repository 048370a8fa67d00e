#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "basics/error.h"
#include "platform/management_objects.h"
#include "reports/adapter_inventory_record.h"
#include "reports/number_style.h"

namespace reports {

// Shows one modal message (stop icon, OK, the application's title) that
// reports `error`, and returns when the user has closed it.
using ShowMessage = std::function<void(const basics::Error& error, const std::string& text)>;

// Fills `Adapters` with one record per network adapter the management service
// lists, joined by index with the IP-enabled configurations, and returns the
// number of records filled. Never throws a basics::Error: a failure outside the
// per-adapter fields is shown once through `showMessage` and gives 0, with
// `Adapters` as it stood at that moment. With no adapters, `Adapters` holds one
// empty record and the result is 0.
std::int32_t GetAdapterInventory(platform::ManagementLocator& locator,
                                 std::vector<AdapterInventoryRecord>& Adapters,
                                 const ShowMessage& showMessage);

// The same with the number style given rather than taken from the user's locale.
std::int32_t GetAdapterInventory(platform::ManagementLocator& locator,
                                 std::vector<AdapterInventoryRecord>& Adapters,
                                 const ShowMessage& showMessage, const NumberStyle& numbers);

}  // namespace reports
