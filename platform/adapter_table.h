#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace platform {

// Statuses of the adapter-table call.
constexpr std::uint32_t kSuccess = 0;
constexpr std::uint32_t kNotEnoughMemory = 8;
constexpr std::uint32_t kNotSupported = 50;
constexpr std::uint32_t kInvalidParameter = 87;
constexpr std::uint32_t kBufferOverflow = 111;
constexpr std::uint32_t kNoData = 232;
// Last-error code for data that is not valid.
constexpr std::int32_t kInvalidData = 13;

// The fixed-size record image each adapter occupies in the caller's buffer.
// `next` holds the byte offset of the next record from the buffer's start
// (0 ends the chain): a 32-bit field cannot hold an address on a 64-bit system.
namespace adapter_record {
constexpr std::size_t kSize = 640;    // bytes a record occupies
constexpr std::size_t kCopied = 637;  // bytes the reader copies out of each record
constexpr std::size_t kNext = 0;
constexpr std::size_t kComboIndex = 4;
constexpr std::size_t kAdapterName = 8;
constexpr std::size_t kAdapterNameWidth = 260;
constexpr std::size_t kDescription = 268;
constexpr std::size_t kDescriptionWidth = 132;
constexpr std::size_t kAddressLength = 400;
constexpr std::size_t kAddress = 404;
constexpr std::size_t kIndex = 412;
constexpr std::size_t kType = 416;
constexpr std::size_t kDhcpEnabled = 420;
constexpr std::size_t kCurrentIpAddress = 424;
constexpr std::size_t kIpAddressList = 428;  // embedded address string record
constexpr std::size_t kGatewayList = 468;
constexpr std::size_t kAddressStringText = 4;  // offset of the text inside one
constexpr std::size_t kIpAddress = kIpAddressList + kAddressStringText;  // 432
constexpr std::size_t kGateway = kGatewayList + kAddressStringText;      // 472
constexpr std::size_t kAddressWidth = 16;
}  // namespace adapter_record

// The two-call, size-negotiating adapter table. Called first without a buffer
// to learn the size (kBufferOverflow, size written back), then with a buffer of
// that size. Statuses: kSuccess, kInvalidParameter (no size), kBufferOverflow,
// kNoData (no adapters), anything else with lastError() set.
class AdapterTable {
 public:
  virtual ~AdapterTable() = default;
  virtual std::uint32_t getAdaptersInfo(std::uint8_t* buffer, std::uint32_t* size) = 0;
  // The last-error code recorded by the latest call.
  virtual std::int32_t lastError() const = 0;
  // Whether the routing table has a default route (IPv4 or IPv6, through a
  // gateway or straight out of a link); none when it cannot be read.
  virtual std::optional<bool> hasDefaultRoute() { return std::nullopt; }
};

}  // namespace platform
