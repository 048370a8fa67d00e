#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "basics/error.h"
#include "platform/adapter_table.h"
#include "reports/trim_at_nul.h"

namespace reports {

// One adapter of the "Additional Adapter Info" window.
struct AdapterEntry {
  std::string Name;
  std::int32_t AdapterIndex = 0;
  std::string IP;
  std::string Description;
  std::string GatewayIP;

  bool operator==(const AdapterEntry&) const = default;
};

// Error numbers GetAdapterList raises, all with the source "GetAdaptersInfo".
namespace adapter_list_error {
inline constexpr std::int32_t kEarlySuccess = basics::errorNumber(0x8004B700u);
inline constexpr std::int32_t kNotSupported = basics::errorNumber(0x8004B710u);
inline constexpr std::int32_t kBadParameters = basics::errorNumber(0x8004B720u);
inline constexpr std::int32_t kLateNotSupported = basics::errorNumber(0x8004B730u);
inline constexpr std::int32_t kLateBadParameters = basics::errorNumber(0x8004B740u);
inline constexpr std::int32_t kLateBufferOverflow = basics::errorNumber(0x8004B750u);
inline constexpr std::int32_t kLateSystemError = basics::errorNumber(0x8004B760u);
inline constexpr std::int32_t kSystemError = basics::errorNumber(0x8004B770u);
}  // namespace adapter_list_error

// Reads the adapter table (a sizing call, then the real one) and appends one
// entry per record of the chain to `list`, in chain order, keeping the list's
// bounds at 0..i as entry i is appended. Returns the number of entries, or 0
// with `list` untouched when the system has no adapters. Raises basics::Error
// with the source "GetAdaptersInfo" for every failing status, and for a chain
// that leaves the buffer or does not move forward; entries appended before the
// failure stay in `list`.
std::int32_t GetAdapterList(platform::AdapterTable& table, std::vector<AdapterEntry>& list);

}  // namespace reports
