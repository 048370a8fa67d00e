#include "basics/text_output.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(TextOutput, ControlCharactersAreEscaped) {
  struct Case {
    std::string in, out;
  } cases[] = {
      {"plain 1.2.3.4", "plain 1.2.3.4"},
      {"tab\tand\nline", "tab\tand\nline"},
      {"\x1b[2J", "\\x1B[2J"},
      {"cr\r\n", "cr\\x0D\n"},
      {"nul\0x", "nul\\x00x"},
      {"del\x7f", "del\\x7F"},
      {"c1 \xc2\x9b"
       "31m",
       "c1 \\x9B31m"},
      {"ok \xc3\xa9t\xc3\xa9", "ok \xc3\xa9t\xc3\xa9"},
      {"bad \xff", "bad \\xFF"},
      {"\xe2\x80\xae"
       "7.311.0.302",
       "\\u202E7.311.0.302"},
      {"\xe2\x80\xaa\xe2\x81\xa6\xe2\x81\xa9", "\\u202A\\u2066\\u2069"},
      {"dash \xe2\x80\x94 and \xe2\x80\xaf", "dash \xe2\x80\x94 and \xe2\x80\xaf"},
  };
  cases[4].in = std::string("nul\0x", 5);
  for (const auto& c : cases) EXPECT_EQ(basics::escapeControlCharacters(c.in), c.out);
}

}  // namespace
