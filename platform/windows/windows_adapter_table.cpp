#include "platform/windows/windows_adapter_table.h"

// The socket headers first, as the IP Helper's header needs them before
// windows.h (the second for the routing table's IPv6-aware records).
#include <winsock2.h>
#include <ws2ipdef.h>

#include <windows.h>

#include <iphlpapi.h>

#include <new>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/adapter_table_answer.h"
#include "platform/windows/wide_text.h"

namespace platform::windows {
namespace {

// The table can grow between the system's sizing call and its filling one;
// after this many tries the caller hears of an overflow and asks again.
constexpr int kAttempts = 4;

template <std::size_t N>
std::string textOf(const char (&field)[N]) {
  std::string_view bytes(field, N);
  return fromAnsi(bytes.substr(0, std::min(bytes.find('\0'), bytes.size())));
}

AdapterRecordEntry entryOf(const IP_ADAPTER_INFO& adapter) {
  AdapterRecordEntry entry;
  entry.name = textOf(adapter.AdapterName);
  entry.description = textOf(adapter.Description);
  entry.index = static_cast<std::int32_t>(adapter.Index);
  entry.type = adapter.Type;
  const auto length = std::min<std::size_t>(adapter.AddressLength, sizeof adapter.Address);
  entry.hardwareAddress.assign(adapter.Address, adapter.Address + length);
  entry.dhcpEnabled = adapter.DhcpEnabled != 0;
  entry.ipAddress = textOf(adapter.IpAddressList.IpAddress.String);
  entry.ipMask = textOf(adapter.IpAddressList.IpMask.String);
  entry.gateway = textOf(adapter.GatewayList.IpAddress.String);
  return entry;
}

}  // namespace

std::uint32_t WindowsAdapterTable::getAdaptersInfo(std::uint8_t* buffer, std::uint32_t* size) {
  auto status = [this](std::uint32_t code, std::int32_t error) {
    lastError_ = error;
    return code;
  };
  if (size == nullptr) {
    const DWORD code = GetAdaptersInfo(nullptr, nullptr);
    return status(code, static_cast<std::int32_t>(code));
  }

  // The system's records, in storage aligned for them.
  std::vector<IP_ADAPTER_INFO> native;
  ULONG nativeSize = 0;
  DWORD code = GetAdaptersInfo(nullptr, &nativeSize);
  for (int attempt = 0; attempt < kAttempts && code == ERROR_BUFFER_OVERFLOW; ++attempt) {
    try {
      native.assign(nativeSize / sizeof(IP_ADAPTER_INFO) + 1, IP_ADAPTER_INFO{});
    } catch (const std::bad_alloc&) {
      return status(ERROR_NOT_ENOUGH_MEMORY, ERROR_NOT_ENOUGH_MEMORY);
    }
    nativeSize = static_cast<ULONG>(native.size() * sizeof(IP_ADAPTER_INFO));
    code = GetAdaptersInfo(native.data(), &nativeSize);
  }
  if (code == ERROR_BUFFER_OVERFLOW) {
    *size =
        static_cast<std::uint32_t>(adapterRecordsSize(nativeSize / sizeof(IP_ADAPTER_INFO) + 1));
    return status(kBufferOverflow, static_cast<std::int32_t>(kBufferOverflow));
  }
  if (code != ERROR_SUCCESS) {
    const DWORD lastError = GetLastError();
    return status(code, static_cast<std::int32_t>(lastError != 0 ? lastError : code));
  }

  // Follow the system's chain, never further than the records it filled.
  std::vector<AdapterRecordEntry> entries;
  const IP_ADAPTER_INFO* adapter = native.empty() ? nullptr : native.data();
  for (std::size_t i = 0; adapter != nullptr && i < native.size(); ++i) {
    entries.push_back(entryOf(*adapter));
    adapter = adapter->Next;
  }
  const AdapterTableAnswer answer = answerAdapterTable(entries, buffer, size);
  return status(answer.status, answer.lastError);
}

std::optional<bool> WindowsAdapterTable::hasDefaultRoute() {
  PMIB_IPFORWARD_TABLE2 table = nullptr;
  const DWORD code = GetIpForwardTable2(AF_UNSPEC, &table);
  if (code == ERROR_NOT_FOUND) return false;  // no routes at all
  if (code != NO_ERROR || table == nullptr) return std::nullopt;
  bool found = false;
  for (ULONG i = 0; i < table->NumEntries && !found; ++i) {
    const MIB_IPFORWARD_ROW2& row = table->Table[i];
    // A prefix of length 0 matches every address: a way out, through a
    // gateway or straight out of a link. The loopback's never leads out.
    found = row.DestinationPrefix.PrefixLength == 0 &&
            row.InterfaceLuid.Info.IfType != IF_TYPE_SOFTWARE_LOOPBACK;
  }
  FreeMibTable(table);
  return found;
}

}  // namespace platform::windows
