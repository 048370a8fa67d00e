#include "main_window/about_text.h"

#include <gtest/gtest.h>

#include <string>

namespace main_window {
namespace {

TEST(AboutText, IsTheFixedTextWithTheMakersDetails) {
  const MakerInfo maker{"http://www.example.test", "someone@example.test", "A. Author"};
  const std::string expected =
      "\r\n"
      " WAN LAN Tarnwick v1.6\r\n"
      "\r\n"
      " By: A. Author\r\n"
      "\r\n"
      " Contact:\r\n"
      " http://www.example.test\r\n"
      " someone@example.test\r\n"
      "\r\n"
      " Depending on your current connection status it could take\r\n"
      " up to 30 sec. for this program to detect your connection\r\n"
      " and ip. This mostly happens when your connected to a \r\n"
      " router and not online.\r\n"
      "\r\n"
      " WAN - A wide area network (WAN) is the ip address \r\n"
      " assigned to your modem by your internet provider.\r\n"
      "\r\n"
      " LAN - A local area network (LAN) is the ip address assigned \r\n"
      " from your router.\r\n"
      "\r\n"
      " LOCALHOST - On most computer systems, resolves to the IP address \r\n"
      " 127.0.0.1, which is the most commonly used loopback address.\r\n";
  EXPECT_EQ(AboutText(maker), expected);
}

// The text itself is pinned above for any details; the program's own must be there to show.
TEST(AboutText, BuiltInMakerDetailsAreFilledIn) {
  const MakerInfo maker = BuiltInMakerInfo();
  EXPECT_FALSE(maker.webAddress.empty());
  EXPECT_NE(maker.email.find('@'), std::string::npos);
  EXPECT_FALSE(maker.author.empty());
}

}  // namespace
}  // namespace main_window
