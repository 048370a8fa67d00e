#include "tests/fakes/fake_adapter_table.h"

#include <algorithm>
#include <cstring>

namespace fakes {
namespace {

namespace record = platform::adapter_record;

// The address-string record embedded in an adapter record: Next, text, mask, context.
constexpr std::size_t kAddressStringSize = 40;

void putText(std::vector<std::uint8_t>& buffer, std::size_t offset, std::size_t width,
             const std::string& text) {
  std::memcpy(buffer.data() + offset, text.data(), std::min(width, text.size()));
}

// Writes the first text into the embedded record at `listOffset` and the rest
// into records appended to the buffer, linked by offset.
void putAddressList(std::vector<std::uint8_t>& buffer, std::size_t listOffset,
                    const std::vector<std::string>& texts) {
  if (texts.empty()) return;
  putText(buffer, listOffset + record::kAddressStringText, record::kAddressWidth, texts[0]);
  std::size_t link = listOffset;
  for (std::size_t k = 1; k < texts.size(); ++k) {
    const std::size_t at = buffer.size();
    buffer.resize(at + kAddressStringSize);
    putUint32(buffer, link, static_cast<std::uint32_t>(at));
    putText(buffer, at + record::kAddressStringText, record::kAddressWidth, texts[k]);
    link = at;
  }
}

}  // namespace

void putUint32(std::vector<std::uint8_t>& buffer, std::size_t offset, std::uint32_t value) {
  for (std::size_t k = 0; k < 4; ++k)
    buffer[offset + k] = static_cast<std::uint8_t>(value >> (8 * k));
}

std::vector<std::uint8_t> buildAdapterChain(const std::vector<ChainAdapter>& adapters) {
  std::vector<std::uint8_t> buffer(adapters.size() * record::kSize);
  for (std::size_t k = 0; k < adapters.size(); ++k) {
    const std::size_t at = k * record::kSize;
    const ChainAdapter& a = adapters[k];
    const bool last = k + 1 == adapters.size();
    putUint32(buffer, at + record::kNext,
              last ? 0 : static_cast<std::uint32_t>(at + record::kSize));
    putUint32(buffer, at + record::kComboIndex, static_cast<std::uint32_t>(a.index));
    putText(buffer, at + record::kAdapterName, record::kAdapterNameWidth, a.name);
    putText(buffer, at + record::kDescription, record::kDescriptionWidth, a.description);
    putUint32(buffer, at + record::kIndex, static_cast<std::uint32_t>(a.index));
  }
  // Address lists last: their extra records grow the buffer past the adapters.
  for (std::size_t k = 0; k < adapters.size(); ++k) {
    const std::size_t at = k * record::kSize;
    putAddressList(buffer, at + record::kIpAddressList, adapters[k].addresses);
    putAddressList(buffer, at + record::kGatewayList, adapters[k].gateways);
  }
  return buffer;
}

std::uint32_t FakeAdapterTable::getAdaptersInfo(std::uint8_t* buffer, std::uint32_t* size) {
  const std::size_t number = calls.size();
  calls.push_back({buffer != nullptr, size != nullptr ? *size : 0});
  const auto needed = static_cast<std::uint32_t>(chain.size());
  const bool fits = buffer != nullptr && size != nullptr && *size >= needed;

  if (number < script.size() && script[number]) {
    const Scripted& s = *script[number];
    const std::uint32_t status = s.status;
    lastError_ = s.lastError;
    if (status == platform::kSuccess && fits) std::memcpy(buffer, chain.data(), chain.size());
    if (size != nullptr) {
      if (s.sizeOut) {
        *size = *s.sizeOut;
      } else if (status == platform::kBufferOverflow) {
        *size = needed;
      }
    }
    return status;
  }
  lastError_ = 0;
  if (size == nullptr) return platform::kInvalidParameter;
  if (chain.empty()) return platform::kNoData;
  if (!fits) {
    *size = needed;
    return platform::kBufferOverflow;
  }
  std::memcpy(buffer, chain.data(), chain.size());
  return platform::kSuccess;
}

}  // namespace fakes
