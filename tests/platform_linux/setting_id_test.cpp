#include "platform/linux/setting_id.h"

#include <gtest/gtest.h>

#include <regex>

namespace platform_linux_test {
namespace {

using namespace platform::linuxos;

// An adapter's identity must not change from one release to the next: these
// are the RFC 4122 version 5 UUIDs of the names in the program's namespace.
TEST(SettingId, KnownAnswers) {
  const std::pair<const char*, const char*> cases[] = {
      {"name:eth0", "{22B35FC1-B37D-5350-B927-178D0436FC34}"},
      {"address:00:1B:21:0A:0B:0C", "{50BF2660-9EA9-5495-B90D-87F62594101B}"},
      {"", "{4DB688DA-B757-5EFF-B083-8CDC96B09EC1}"},
  };
  for (const auto& [name, id] : cases) EXPECT_EQ(nameBasedId(name), id) << name;
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
