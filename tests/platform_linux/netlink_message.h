#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace platform_linux_test {

// Builds netlink messages byte by byte, the way the kernel lays them out
// (4-byte alignment), so the parsers can be fed well-formed and broken
// messages alike.
class NetlinkMessage {
 public:
  template <class Fixed>
  NetlinkMessage(std::uint16_t type, const Fixed& fixed) {
    bytes_.resize(16);  // struct nlmsghdr
    std::memcpy(bytes_.data() + 4, &type, 2);
    append(&fixed, sizeof fixed);
  }

  NetlinkMessage& attribute(std::uint16_t type, const void* data, std::size_t length);
  NetlinkMessage& text(std::uint16_t type, const std::string& value);  // NUL included
  NetlinkMessage& u8(std::uint16_t type, std::uint8_t value);
  NetlinkMessage& u32(std::uint16_t type, std::uint32_t value);
  // An attribute whose contents are another builder's attributes.
  NetlinkMessage& nested(std::uint16_t type, const std::vector<std::uint8_t>& attributes);

  // The finished message, its length field set.
  std::vector<std::uint8_t> bytes() const;

  // Attributes alone, for nesting: a builder with no fixed part.
  static NetlinkMessage attributesOnly();
  std::vector<std::uint8_t> attributeBytes() const;

 private:
  NetlinkMessage() = default;
  void append(const void* data, std::size_t length);
  std::vector<std::uint8_t> bytes_;
};

}  // namespace platform_linux_test
