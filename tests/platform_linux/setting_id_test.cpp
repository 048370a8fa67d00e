#include "platform/linux/setting_id.h"

#include <gtest/gtest.h>

#include <regex>

namespace platform_linux_test {
namespace {

using namespace platform::linuxos;

std::string hex(const std::array<std::uint8_t, 20>& digest) {
  static const char kHex[] = "0123456789abcdef";
  std::string out;
  for (std::uint8_t b : digest) {
    out += kHex[b >> 4];
    out += kHex[b & 15];
  }
  return out;
}

TEST(SettingId, Sha1KnownAnswers) {
  const std::pair<std::string, const char*> cases[] = {
      {"", "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
      {"abc", "a9993e364706816aba3e25717850c26c9cd0d89d"},
      // 56 bytes: the padding needs a block of its own.
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "84983e441c3bd26ebaae4aa1f95129e5e54670f1"},
      {std::string(1000000, 'a'), "34aa973cd4c4daa4f61eeb2bdbad27316534016f"},
  };
  for (const auto& [input, digest] : cases) EXPECT_EQ(hex(sha1(input)), digest) << input.size();
}

TEST(SettingId, IsABracedVersion5Uuid) {
  const std::regex form(
      "\\{[0-9A-F]{8}-[0-9A-F]{4}-5[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}\\}");
  for (const char* name : {"", "eth0", "a rather long name that is not an interface name"}) {
    const std::string id = nameBasedId(name);
    EXPECT_TRUE(std::regex_match(id, form)) << id;
    EXPECT_EQ(id, nameBasedId(name));  // stable
  }
  EXPECT_NE(nameBasedId("eth0"), nameBasedId("eth1"));
}

TEST(SettingId, FollowsThePermanentAddressBeforeTheName) {
  LinkFacts link;
  link.name = "wlan0";
  link.address = {0x02, 0x11, 0x22, 0x33, 0x44, 0x55};  // randomised
  const std::string byName = settingId(link);

  link.permanentAddress = {0x00, 0x1b, 0x21, 0x0a, 0x0b, 0x0c};
  const std::string byAddress = settingId(link);
  EXPECT_NE(byAddress, byName);
  link.name = "wlp2s0";  // renamed
  link.address = {0x02, 0x66, 0x77, 0x88, 0x99, 0xaa};
  EXPECT_EQ(settingId(link), byAddress);

  // An all-zero permanent address is no address.
  link.permanentAddress = {0, 0, 0, 0, 0, 0};
  link.name = "wlan0";
  EXPECT_EQ(settingId(link), byName);
}

}  // namespace
}  // namespace platform_linux_test
