#include "main_window/about_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace main_window {
namespace {

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t at; (at = text.find("\r\n", start)) != std::string::npos; start = at + 2) {
    lines.push_back(text.substr(start, at - start));
  }
  lines.push_back(text.substr(start));
  return lines;
}

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

TEST(AboutText, HasTwentyThreeLinesWithOneLeadingSpaceAndNoStrayBreaks) {
  const std::string text = AboutText(BuiltInMakerInfo());
  const auto lines = splitLines(text);
  ASSERT_EQ(lines.size(), 23u);
  EXPECT_EQ(lines.back(), "");
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const auto& line = lines[i];
    EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << "line " << i + 1;
    if (line.empty()) continue;
    EXPECT_EQ(line[0], ' ') << "line " << i + 1;
    EXPECT_NE(line[1], ' ') << "line " << i + 1;
    const bool trailingSpace = i + 1 == 12 || i + 1 == 15 || i + 1 == 18 || i + 1 == 21;
    EXPECT_EQ(line.back() == ' ', trailingSpace) << "line " << i + 1;
  }
}

TEST(AboutText, BuiltInMakerDetailsAreFilledIn) {
  const MakerInfo maker = BuiltInMakerInfo();
  EXPECT_FALSE(maker.webAddress.empty());
  EXPECT_NE(maker.email.find('@'), std::string::npos);
  EXPECT_FALSE(maker.author.empty());
  const auto lines = splitLines(AboutText(maker));
  EXPECT_EQ(lines[3], " By: " + maker.author);
  EXPECT_EQ(lines[6], " " + maker.webAddress);
  EXPECT_EQ(lines[7], " " + maker.email);
}

}  // namespace
}  // namespace main_window
