#include "reports/get_adapts_info.h"

#include <array>
#include <cstring>
#include <new>
#include <string_view>
#include <utility>

#include "basics/error_source.h"
#include "basics/text.h"

namespace reports {
namespace {

namespace record = platform::adapter_record;
namespace error = adapter_list_error;

constexpr const char* kSource = "GetAdaptersInfo";

[[noreturn]] void raise(std::int32_t number, std::string description) {
  throw basics::Error(number, kSource, std::move(description));
}

[[noreturn]] void raiseFirstCall(std::uint32_t status, std::int32_t lastError) {
  switch (status) {
    case platform::kSuccess:
      raise(error::kEarlySuccess, "GetAdaptersInfo Early Success: internal error");
    case platform::kNotSupported:
      raise(error::kNotSupported, "GetAdaptersInfo is not supported by this OS");
    case platform::kInvalidParameter:
      raise(error::kBadParameters, "GetAdaptersInfo Bad Parameters: internal error");
    default:
      raise(error::kSystemError, "GetAdaptersInfo system error " + std::to_string(lastError));
  }
}

[[noreturn]] void raiseSecondCall(std::uint32_t status, std::int32_t lastError) {
  switch (status) {
    case platform::kNotSupported:
      raise(error::kLateNotSupported, "GetAdaptersInfo Late Failure: is not supported by this OS");
    case platform::kInvalidParameter:
      raise(error::kLateBadParameters,
            "GetAdaptersInfo Late Failure, Bad Parameters: internal error");
    case platform::kBufferOverflow:
      raise(error::kLateBufferOverflow, "GetAdaptersInfo Late Failure: buffer overflow");
    default:
      raise(error::kLateSystemError,
            "GetAdaptersInfo Late Failure: system error " + std::to_string(lastError));
  }
}

// A chain that leaves the buffer or turns back is reported as invalid data
// rather than followed into memory that is not ours, or round in a circle.
[[noreturn]] void raiseCorruptChain() {
  raise(error::kLateSystemError,
        "GetAdaptersInfo Late Failure: system error " + std::to_string(platform::kInvalidData));
}

using Image = std::array<std::uint8_t, record::kSize>;

std::string textAt(const Image& image, std::size_t offset, std::size_t width) {
  const std::string_view bytes(reinterpret_cast<const char*>(image.data() + offset), width);
  return TrimAtNul(basics::utf8FromSingleByte(bytes));
}

// Numbers in the records are little-endian, as the platform writes them.
std::uint32_t unsignedAt(const Image& image, std::size_t offset) {
  std::uint32_t value = 0;
  for (std::size_t k = 0; k < 4; ++k) value |= std::uint32_t{image[offset + k]} << (8 * k);
  return value;
}

std::vector<std::uint8_t> allocate(std::uint32_t size) {
  try {
    return std::vector<std::uint8_t>(size);
  } catch (const std::bad_alloc&) {
    throw basics::Error(7, basics::kErrorSource, "Out of memory");
  }
}

}  // namespace

std::int32_t GetAdapterList(platform::AdapterTable& table, std::vector<AdapterEntry>& list) {
  std::uint32_t size = 0;
  std::uint32_t status = table.getAdaptersInfo(nullptr, &size);
  std::int32_t lastError = table.lastError();
  if (status == platform::kNoData) return 0;
  if (status != platform::kBufferOverflow) raiseFirstCall(status, lastError);

  std::vector<std::uint8_t> buffer = allocate(size);
  status = table.getAdaptersInfo(buffer.data(), &size);
  lastError = table.lastError();
  if (status != platform::kSuccess) raiseSecondCall(status, lastError);

  // Offsets, not addresses: every read is checked against the buffer, and each
  // link must lead past the record it leaves, so the walk ends.
  Image image{};
  std::int32_t i = 0;
  std::size_t offset = 0;
  for (;;) {
    if (offset > buffer.size() || buffer.size() - offset < record::kCopied) raiseCorruptChain();
    std::memcpy(image.data(), buffer.data() + offset, record::kCopied);

    list.resize(static_cast<std::size_t>(i) + 1);
    AdapterEntry& entry = list[static_cast<std::size_t>(i)];
    entry.Name = textAt(image, record::kAdapterName, record::kAdapterNameWidth);
    entry.AdapterIndex = static_cast<std::int32_t>(unsignedAt(image, record::kIndex));
    entry.Description = textAt(image, record::kDescription, record::kDescriptionWidth);
    entry.IP = textAt(image, record::kIpAddress, record::kAddressWidth);
    entry.GatewayIP = textAt(image, record::kGateway, record::kAddressWidth);
    ++i;

    const std::uint32_t next = unsignedAt(image, record::kNext);
    if (next == 0) break;
    if (next < offset + record::kSize) raiseCorruptChain();
    offset = next;
  }
  return i;
}

}  // namespace reports
