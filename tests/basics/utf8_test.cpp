#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "basics/text.h"

namespace {

struct Case {
  const char* name;
  std::string bytes;
  std::string text;
};

// Names the case in test listings instead of dumping its bytes.
[[maybe_unused]] void PrintTo(const Case& c, std::ostream* os) {
  *os << c.name;
}

class Utf8 : public testing::TestWithParam<Case> {};

TEST_P(Utf8, InvalidBytesBecomeReplacementCharacters) {
  EXPECT_EQ(basics::utf8Lossy(GetParam().bytes), GetParam().text);
}

#define FFFD "\xEF\xBF\xBD"

INSTANTIATE_TEST_SUITE_P(
    Bytes, Utf8,
    testing::Values(Case{"Ascii", "203.0.113.7\r\n", "203.0.113.7\r\n"}, Case{"Empty", "", ""},
                    Case{"ValidMultibyte", "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80",
                         "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"},
                    Case{"Nul", std::string("a\0b", 3), std::string("a\0b", 3)},
                    Case{"Latin1Byte", "caf\xE9!", "caf" FFFD "!"},
                    Case{"StrayContinuation",
                         "\x80\xBF"
                         "a",
                         FFFD FFFD "a"},
                    Case{"CutAtEnd", "a\xE2\x82", "a" FFFD},
                    Case{"CutBeforeAscii",
                         "\xE2\x82"
                         "a",
                         FFFD "a"},
                    Case{"Overlong", "\xC0\xAF\xE0\x80\xAF", FFFD FFFD FFFD FFFD FFFD},
                    Case{"Surrogate", "\xED\xA0\x80", FFFD FFFD FFFD},
                    Case{"AboveMax", "\xF4\x90\x80\x80", FFFD FFFD FFFD FFFD},
                    Case{"InvalidLead", "\xF8\xFF", FFFD FFFD},
                    Case{"LeadThenLead", "\xC3\xC3\xA9", FFFD "\xC3\xA9"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Utf8FromSingleByte, KeepsUtf8AndReadsOtherBytesAsLatin1) {
  struct Case {
    std::string in;
    std::string out;
  };
  const Case cases[] = {
      {"eth0", "eth0"},
      {std::string("a\0b", 3), std::string("a\0b", 3)},
      {"\xE9", "\xC3\xA9"},                                      // Latin-1 é
      {"\xC3\xA9", "\xC3\xA9"},                                  // UTF-8 é
      {"\xE2\x82\xAC", "\xE2\x82\xAC"},                          // €
      {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},                  // 4-byte sequence
      {"\xC3", "\xC3\x83"},                                      // cut short
      {"\xC0\xAF", "\xC3\x80\xC2\xAF"},                          // overlong
      {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xC2\x80"},              // surrogate
      {"\xF4\x90\x80\x80", "\xC3\xB4\xC2\x90\xC2\x80\xC2\x80"},  // above U+10FFFF
      {"\xFF\xFE", "\xC3\xBF\xC3\xBE"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(basics::utf8FromSingleByte(c.in), c.out);
  }
}

}  // namespace
