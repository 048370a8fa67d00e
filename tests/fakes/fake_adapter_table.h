#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/adapter_table.h"

namespace fakes {

// One adapter as the chain builder writes it. Texts longer than their field
// are cut to its width (so a text of exactly the width has no NUL); further
// addresses and gateways go into linked address records after the adapters.
struct ChainAdapter {
  std::string name;
  std::string description;
  std::int32_t index = 0;
  std::vector<std::string> addresses;
  std::vector<std::string> gateways;
};

// A buffer holding the adapters as a chain of fixed-size records, the way the
// adapter table fills it: record k at offset k * record size, each `Next`
// holding the offset of the following record, 0 in the last.
std::vector<std::uint8_t> buildAdapterChain(const std::vector<ChainAdapter>& adapters);

// Writes a little-endian 32-bit value into a chain buffer (to corrupt a link, say).
void putUint32(std::vector<std::uint8_t>& buffer, std::size_t offset, std::uint32_t value);

// An adapter table over a prepared buffer. Unscripted, it behaves like the
// system's: no data for an empty buffer, buffer overflow with the needed size
// when the caller's buffer is missing or short, otherwise the buffer copied and
// success. A scripted call returns its status instead (and, for success or
// overflow, still copies or reports the size as above).
class FakeAdapterTable : public platform::AdapterTable {
 public:
  struct Scripted {
    std::uint32_t status = platform::kSuccess;
    std::int32_t lastError = 0;
    std::optional<std::uint32_t> sizeOut;  // size written back, when set
  };
  struct Call {
    bool withBuffer = false;
    std::uint32_t sizeIn = 0;
  };

  std::uint32_t getAdaptersInfo(std::uint8_t* buffer, std::uint32_t* size) override;
  std::int32_t lastError() const override { return lastError_; }

  std::vector<std::uint8_t> chain;
  std::vector<std::optional<Scripted>> script;  // by call number; absent: unscripted
  std::vector<Call> calls;

 private:
  std::int32_t lastError_ = 0;
};

}  // namespace fakes
