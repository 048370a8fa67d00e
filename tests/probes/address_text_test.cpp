#include "probes/address_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// What may reach the WAN box, and what counts as a LAN address.
TEST(AddressText, OnlyWholeIpAddressesAreAddresses) {
  const char* addresses[] = {"203.0.113.7",
                             "0.0.0.0",
                             "255.255.255.255",
                             "20.20.20.20",
                             "fd00::2",
                             "::",
                             "::1",
                             "2001:db8::7",
                             "fe80::1%eth0",
                             "1:2:3:4:5:6:7:8",
                             "1::",
                             "::ffff:203.0.113.7",
                             "1:2:3:4:5:6:1.2.3.4",
                             "2001:DB8:0:0:0:0:0:1"};
  for (const char* text : addresses) EXPECT_TRUE(probes::isIpAddress(text)) << text;

  const std::string notAddresses[] = {"",
                                      "Not Found",
                                      "Null",
                                      "Shit!",
                                      "continue</body></html>",
                                      "203.0.113.256",
                                      "203.0.113",
                                      "203.0.113.7.1",
                                      "203.0.113.07",
                                      "203.0.113.7\n",
                                      " 203.0.113.7",
                                      "203.0.113.7:80",
                                      "[2001:db8::7]",
                                      "1:2:3:4:5:6:7:8:9",
                                      "1::2::3",
                                      ":1:2:3:4:5:6:7",
                                      "12345::1",
                                      "fe80::1%",
                                      "::1.2.3.4.5",
                                      "1.2.3.4::",
                                      "2001:db8::g",
                                      std::string("203.0.113.7\0", 12)};
  for (const std::string& text : notAddresses) EXPECT_FALSE(probes::isIpAddress(text)) << text;
}

// What an echo reply may show as the public address: only an address some
// machine on the internet can have.
TEST(AddressText, OnlyAddressesThatCouldBePublicArePublic) {
  const char* publicOnes[] = {"203.0.113.7", "8.8.8.8",         "100.63.255.255",     "100.128.0.0",
                              "172.15.0.1",  "172.32.0.1",      "192.167.1.1",        "11.0.0.1",
                              "2001:db8::7", "2a00:1450::200e", "::ffff:203.0.113.7", "fbff::1"};
  for (const char* text : publicOnes) EXPECT_TRUE(probes::couldBePublicAddress(text)) << text;

  const char* notPublic[] = {"0.0.0.0",
                             "::",
                             "127.0.0.1",
                             "127.255.0.9",
                             "::1",
                             "fe80::1%eth0",
                             "fe80::1",
                             "febf::1",
                             "169.254.3.4",
                             "224.0.0.251",
                             "239.1.1.1",
                             "ff02::1",
                             "10.1.2.3",
                             "172.16.0.1",
                             "172.31.255.255",
                             "192.168.1.20",
                             "fc00::1",
                             "fd12::7",
                             "100.64.0.1",
                             "100.127.255.255",
                             "::ffff:127.0.0.1",
                             "::ffff:10.0.0.1",
                             "2001:db8::7%2",
                             "Not Found",
                             ""};
  for (const char* text : notPublic) EXPECT_FALSE(probes::couldBePublicAddress(text)) << text;
}

TEST(AddressText, TrimmingTakesWhiteSpaceAndLineEndsFromBothEnds) {
  EXPECT_EQ(probes::trimmedText(" \t203.0.113.7\r\n"), "203.0.113.7");
  EXPECT_EQ(probes::trimmedText("a b"), "a b");
  EXPECT_EQ(probes::trimmedText(" \r\n "), "");
}

}  // namespace
