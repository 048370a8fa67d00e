#include "platform/linux/setting_id.h"

#include <uuid/uuid.h>

#include <array>

#include "platform/linux/adapter_properties.h"

namespace platform::linuxos {
namespace {

// The namespace all of the program's link identities are derived in.
constexpr std::array<unsigned char, 16> kNamespace = {
    0x6f, 0x1b, 0x8e, 0x2c, 0x3a, 0x4d, 0x4e, 0x59, 0x9b, 0x7a, 0x2c, 0x1d, 0x5e, 0x8f, 0x0a, 0x13};

}  // namespace

std::string nameBasedId(std::string_view name) {
  uuid_t id;
  uuid_generate_sha1(id, kNamespace.data(), name.data(), name.size());
  char text[37];  // 36 characters and the terminating NUL
  uuid_unparse_upper(id, text);
  return std::string("{") + text + "}";
}

std::string settingId(const LinkFacts& link) {
  const std::string permanent = hardwareAddressText(link.permanentAddress);
  if (!permanent.empty()) return nameBasedId("address:" + permanent);
  return nameBasedId("name:" + link.name);
}

}  // namespace platform::linuxos
