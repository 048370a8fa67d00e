#pragma once

#include <cstdint>
#include <vector>

#include "reports/get_adapts_info.h"
#include "toolkit/controls.h"

namespace reports {

// Writes the "Additional Adapter Info" report of entries 0 to AdapterCount - 1
// at the caret of `txtOut`, piece by piece. Throws basics::Error 9 (subscript
// out of range) when an entry to be read lies outside `Adapters`.
void ShowAdapterList(toolkit::TextBox& txtOut, const std::vector<AdapterEntry>& Adapters,
                     std::int32_t AdapterCount);

}  // namespace reports
