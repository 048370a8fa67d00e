#pragma once

#include <memory>
#include <optional>

#include "platform/adapter_table.h"
#include "platform/linux/network_snapshots.h"
#include "platform/linux/system_paths.h"

namespace platform::linuxos {

// The adapter table on Linux: one record per link of the calling thread's
// network namespace except the loopback, in interface index order, laid out
// by writeAdapterRecords. Each call answers from the snapshot of its moment
// (NetworkSnapshots: a new one whenever the kernel reports a change), so the
// set can grow between the sizing call and the filling one; the second call
// then reports kBufferOverflow with the new size, as the two-call protocol
// expects.
class LinuxAdapterTable : public AdapterTable {
 public:
  explicit LinuxAdapterTable(SystemPaths paths = {})
      : snapshots_(std::make_shared<NetworkSnapshots>(std::move(paths))) {}
  // Shares the snapshots of the management service, so that both reports do.
  explicit LinuxAdapterTable(std::shared_ptr<NetworkSnapshots> snapshots)
      : snapshots_(std::move(snapshots)) {}

  // kSuccess, kInvalidParameter (no size, or no buffer although the size
  // would do), kBufferOverflow (size written back), kNoData, or
  // kGeneralFailure with lastError() holding the system's error number.
  std::uint32_t getAdaptersInfo(std::uint8_t* buffer, std::uint32_t* size) override;
  std::int32_t lastError() const override { return lastError_; }
  // From the snapshot of this moment; none when the kernel cannot be asked.
  std::optional<bool> hasDefaultRoute() override;

  static constexpr std::uint32_t kGeneralFailure = 31;
  static constexpr std::uint32_t kNotEnoughMemory = platform::kNotEnoughMemory;

 private:
  std::shared_ptr<NetworkSnapshots> snapshots_;
  std::int32_t lastError_ = 0;
};

}  // namespace platform::linuxos
