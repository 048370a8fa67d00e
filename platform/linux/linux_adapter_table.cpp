#include "platform/linux/linux_adapter_table.h"

#include <limits>
#include <new>

#include "platform/adapter_records.h"
#include "platform/linux/adapter_objects.h"
#include "platform/linux/network_facts.h"

namespace platform::linuxos {

std::uint32_t LinuxAdapterTable::getAdaptersInfo(std::uint8_t* buffer, std::uint32_t* size) {
  auto status = [this](std::uint32_t code, std::int32_t error) {
    lastError_ = error;
    return code;
  };
  if (size == nullptr)
    return status(kInvalidParameter, static_cast<std::int32_t>(kInvalidParameter));

  std::vector<AdapterRecordEntry> entries;
  try {
    entries = adapterRecordEntries(gatherNetworkFacts(paths_, FactsFor::AdapterTable));
  } catch (const toolkit::Error& error) {
    return status(kGeneralFailure, error.number());
  } catch (const std::bad_alloc&) {
    return status(kNotEnoughMemory, static_cast<std::int32_t>(kNotEnoughMemory));
  }
  if (entries.empty()) return status(kNoData, static_cast<std::int32_t>(kNoData));

  const std::size_t needed = adapterRecordsSize(entries.size());
  if (needed > std::numeric_limits<std::uint32_t>::max()) {
    return status(kNotEnoughMemory, static_cast<std::int32_t>(kNotEnoughMemory));
  }
  if (*size < needed) {
    *size = static_cast<std::uint32_t>(needed);
    return status(kBufferOverflow, static_cast<std::int32_t>(kBufferOverflow));
  }
  if (buffer == nullptr)
    return status(kInvalidParameter, static_cast<std::int32_t>(kInvalidParameter));
  writeAdapterRecords(entries, buffer);
  return status(kSuccess, 0);
}

}  // namespace platform::linuxos
