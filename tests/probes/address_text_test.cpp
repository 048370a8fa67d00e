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

TEST(AddressText, TrimmingTakesWhiteSpaceAndLineEndsFromBothEnds) {
  EXPECT_EQ(probes::trimmedText(" \t203.0.113.7\r\n"), "203.0.113.7");
  EXPECT_EQ(probes::trimmedText("a b"), "a b");
  EXPECT_EQ(probes::trimmedText(" \r\n "), "");
}

}  // namespace
