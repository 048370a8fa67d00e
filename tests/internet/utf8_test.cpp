#include <gtest/gtest.h>

#include <ostream>

#include <string>

#include "platform/linux/internet_utf8.h"

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
  EXPECT_EQ(platform::linuxos::decodeUtf8Lossy(GetParam().bytes), GetParam().text);
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

}  // namespace
