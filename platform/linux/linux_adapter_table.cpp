#include "platform/linux/linux_adapter_table.h"

#include <new>

#include "platform/adapter_table_answer.h"
#include "platform/linux/adapter_objects.h"

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
    entries = adapterRecordEntries(*snapshots_->current());
  } catch (const basics::Error& error) {
    return status(kGeneralFailure, error.number());
  } catch (const std::bad_alloc&) {
    return status(kNotEnoughMemory, static_cast<std::int32_t>(kNotEnoughMemory));
  }
  const AdapterTableAnswer answer = answerAdapterTable(entries, buffer, size);
  return status(answer.status, answer.lastError);
}

std::optional<bool> LinuxAdapterTable::hasDefaultRoute() {
  try {
    return linuxos::hasDefaultRoute(*snapshots_->current());
  } catch (const basics::Error&) {
    return std::nullopt;
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

}  // namespace platform::linuxos
