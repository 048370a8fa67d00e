#pragma once

#include <cstdint>
#include <vector>

#include "platform/adapter_records.h"

namespace platform {

// What an adapter table call returns and what lastError() then says.
struct AdapterTableAnswer {
  std::uint32_t status = 0;
  std::int32_t lastError = 0;
};

// The end of every system's adapter table call, once it has the adapters: no
// adapters is kNoData; a buffer smaller than the records is kBufferOverflow
// with the size they need written back; a missing buffer that would be large
// enough is kInvalidParameter; otherwise the records are written and the call
// succeeds.
AdapterTableAnswer answerAdapterTable(const std::vector<AdapterRecordEntry>& entries,
                                      std::uint8_t* buffer, std::uint32_t* size);

}  // namespace platform
