#pragma once

#include "platform/adapter_table.h"
#include "platform/linux/system_paths.h"

namespace platform::linuxos {

// The adapter table on Linux: one record per link of the calling thread's
// network namespace except the loopback, in interface index order, laid out
// by writeAdapterRecords. Each call takes a fresh snapshot, so the set can
// grow between the sizing call and the filling one; the second call then
// reports kBufferOverflow with the new size, as the two-call protocol expects.
class LinuxAdapterTable : public AdapterTable {
 public:
  explicit LinuxAdapterTable(SystemPaths paths = {}) : paths_(std::move(paths)) {}

  // kSuccess, kInvalidParameter (no size, or no buffer although the size
  // would do), kBufferOverflow (size written back), kNoData, or
  // kGeneralFailure with lastError() holding the system's error number.
  std::uint32_t getAdaptersInfo(std::uint8_t* buffer, std::uint32_t* size) override;
  std::int32_t lastError() const override { return lastError_; }

  static constexpr std::uint32_t kGeneralFailure = 31;
  static constexpr std::uint32_t kNotEnoughMemory = platform::kNotEnoughMemory;

 private:
  SystemPaths paths_;
  std::int32_t lastError_ = 0;
};

}  // namespace platform::linuxos
