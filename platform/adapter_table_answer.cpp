#include "platform/adapter_table_answer.h"

#include <limits>

#include "platform/adapter_table.h"

namespace platform {
namespace {

AdapterTableAnswer answer(std::uint32_t status) {
  return {status, static_cast<std::int32_t>(status)};
}

}  // namespace

AdapterTableAnswer answerAdapterTable(const std::vector<AdapterRecordEntry>& entries,
                                      std::uint8_t* buffer, std::uint32_t* size) {
  if (entries.empty()) return answer(kNoData);
  const std::size_t needed = adapterRecordsSize(entries.size());
  // More records than a 32-bit size can name: no buffer could ever hold them.
  if (needed > std::numeric_limits<std::uint32_t>::max()) return answer(kNotEnoughMemory);
  if (*size < needed) {
    *size = static_cast<std::uint32_t>(needed);
    return answer(kBufferOverflow);
  }
  if (buffer == nullptr) return answer(kInvalidParameter);
  writeAdapterRecords(entries, buffer);
  return {kSuccess, 0};
}

}  // namespace platform
