#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// One adapter as the adapter table lays it out.
struct AdapterRecordEntry {
  std::string name;         // AdapterName
  std::string description;  // Description
  std::int32_t index = 0;
  std::uint32_t type = 1;                     // interface type number (6 Ethernet, ...)
  std::vector<std::uint8_t> hardwareAddress;  // at most 8 bytes are kept
  bool dhcpEnabled = false;
  std::string ipAddress = "0.0.0.0";  // the first IPv4 address
  std::string ipMask = "0.0.0.0";
  std::string gateway = "0.0.0.0";  // the IPv4 default gateway through the adapter
};

// Bytes a chain of `count` records occupies.
constexpr std::size_t adapterRecordsSize(std::size_t count) {
  return count * 640;
}

// Writes the chain of records for `entries` into `buffer`, which must hold
// adapterRecordsSize(entries.size()) bytes. Records follow each other from
// offset 0; each one's Next holds the byte offset of the one after it from
// the buffer's start (little-endian, 32 bits), the last one's holds 0. Texts
// are NUL-terminated and cut to fit their field, never inside a UTF-8 sequence.
// Every byte of the records is written, so no earlier content shows through.
void writeAdapterRecords(const std::vector<AdapterRecordEntry>& entries, std::uint8_t* buffer);

// The same chain in a buffer of its own.
std::vector<std::uint8_t> buildAdapterRecords(const std::vector<AdapterRecordEntry>& entries);

}  // namespace platform
