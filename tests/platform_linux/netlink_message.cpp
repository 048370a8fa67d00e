#include "tests/platform_linux/netlink_message.h"

namespace platform_linux_test {

void NetlinkMessage::append(const void* data, std::size_t length) {
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  bytes_.insert(bytes_.end(), bytes, bytes + length);
  bytes_.resize((bytes_.size() + 3) & ~std::size_t{3});
}

NetlinkMessage& NetlinkMessage::attribute(std::uint16_t type, const void* data,
                                          std::size_t length) {
  const auto total = static_cast<std::uint16_t>(4 + length);
  std::uint8_t header[4];
  std::memcpy(header, &total, 2);
  std::memcpy(header + 2, &type, 2);
  bytes_.insert(bytes_.end(), header, header + 4);
  append(data, length);
  return *this;
}

NetlinkMessage& NetlinkMessage::text(std::uint16_t type, const std::string& value) {
  return attribute(type, value.c_str(), value.size() + 1);
}

NetlinkMessage& NetlinkMessage::u8(std::uint16_t type, std::uint8_t value) {
  return attribute(type, &value, 1);
}

NetlinkMessage& NetlinkMessage::u32(std::uint16_t type, std::uint32_t value) {
  return attribute(type, &value, 4);
}

NetlinkMessage& NetlinkMessage::nested(std::uint16_t type,
                                       const std::vector<std::uint8_t>& attributes) {
  return attribute(type, attributes.data(), attributes.size());
}

std::vector<std::uint8_t> NetlinkMessage::bytes() const {
  std::vector<std::uint8_t> out = bytes_;
  const auto length = static_cast<std::uint32_t>(out.size());
  std::memcpy(out.data(), &length, 4);
  return out;
}

NetlinkMessage NetlinkMessage::attributesOnly() {
  return NetlinkMessage();
}

std::vector<std::uint8_t> NetlinkMessage::attributeBytes() const {
  return bytes_;
}

}  // namespace platform_linux_test
