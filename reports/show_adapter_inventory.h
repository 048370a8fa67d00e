#pragma once

#include <cstdint>
#include <vector>

#include "reports/adapter_inventory_record.h"
#include "toolkit/controls.h"

namespace reports {

// Writes the "Adapter Info" report of records 0 to AdapterCount - 1 into
// `txtOut`, replacing its text, piece by piece at the caret. Throws
// basics::Error 9 when `Adapters` holds fewer records than the count.
void ShowAdapterInventory(toolkit::TextBox& txtOut,
                          const std::vector<AdapterInventoryRecord>& Adapters,
                          std::int32_t AdapterCount);

}  // namespace reports
