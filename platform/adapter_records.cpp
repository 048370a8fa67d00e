#include "platform/adapter_records.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "platform/adapter_table.h"

namespace platform {
namespace {

namespace record = adapter_record;

static_assert(adapterRecordsSize(1) == record::kSize);

// Each embedded address string: Next, IpAddress, IpMask, Context.
constexpr std::size_t kAddressStringMask = record::kAddressStringText + record::kAddressWidth;
constexpr std::size_t kHardwareAddressWidth = 8;

void putUnsigned(std::uint8_t* at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// The longest prefix of `text` that fits `limit` bytes without ending inside
// a UTF-8 sequence, so a cut name never leaves a broken character behind.
std::size_t fittingLength(std::string_view text, std::size_t limit) {
  if (text.size() <= limit) return text.size();
  std::size_t length = limit;
  // Step back over continuation bytes to the start of the character that
  // would be cut, and drop it whole.
  while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) --length;
  return length;
}

void putText(std::uint8_t* at, std::size_t width, std::string_view text) {
  std::memset(at, 0, width);
  // Stop at an embedded NUL as a reader would, and keep room for the last one.
  text = text.substr(0, std::min(text.find('\0'), text.size()));
  std::memcpy(at, text.data(), fittingLength(text, width - 1));
}

void writeRecord(const AdapterRecordEntry& entry, std::uint32_t next, std::uint8_t* at) {
  std::memset(at, 0, record::kSize);
  putUnsigned(at + record::kNext, next);
  putUnsigned(at + record::kComboIndex, static_cast<std::uint32_t>(entry.index));
  putText(at + record::kAdapterName, record::kAdapterNameWidth, entry.name);
  putText(at + record::kDescription, record::kDescriptionWidth, entry.description);
  const std::size_t addressLength = std::min(entry.hardwareAddress.size(), kHardwareAddressWidth);
  putUnsigned(at + record::kAddressLength, static_cast<std::uint32_t>(addressLength));
  std::copy_n(entry.hardwareAddress.begin(), addressLength, at + record::kAddress);
  putUnsigned(at + record::kIndex, static_cast<std::uint32_t>(entry.index));
  putUnsigned(at + record::kType, entry.type);
  putUnsigned(at + record::kDhcpEnabled, entry.dhcpEnabled ? 1 : 0);
  putText(at + record::kIpAddress, record::kAddressWidth, entry.ipAddress);
  putText(at + record::kIpAddressList + kAddressStringMask, record::kAddressWidth, entry.ipMask);
  putText(at + record::kGateway, record::kAddressWidth, entry.gateway);
  putText(at + record::kGatewayList + kAddressStringMask, record::kAddressWidth, "255.255.255.255");
}

}  // namespace

void writeAdapterRecords(const std::vector<AdapterRecordEntry>& entries, std::uint8_t* buffer) {
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const bool last = i + 1 == entries.size();
    const auto next = static_cast<std::uint32_t>(last ? 0 : adapterRecordsSize(i + 1));
    writeRecord(entries[i], next, buffer + adapterRecordsSize(i));
  }
}

std::vector<std::uint8_t> buildAdapterRecords(const std::vector<AdapterRecordEntry>& entries) {
  std::vector<std::uint8_t> buffer(adapterRecordsSize(entries.size()));
  writeAdapterRecords(entries, buffer.data());
  return buffer;
}

}  // namespace platform
