#include "probes/word_list.h"

#include <gtest/gtest.h>

#include <ostream>

#include <string>
#include <vector>

namespace {

struct Case {
  const char* name;
  std::string reply;
  std::vector<std::string> words;
};

[[maybe_unused]] void PrintTo(const Case& c, std::ostream* os) {
  *os << c.name;
}

class WordList : public testing::TestWithParam<Case> {};

TEST_P(WordList, SplitsAtEverySingleSpace) {
  EXPECT_EQ(probes::splitWords(GetParam().reply), GetParam().words);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, WordList,
    testing::Values(Case{"Empty", "", {}}, Case{"AddressAlone", "203.0.113.7", {"203.0.113.7"}},
                    Case{"Sentence",
                         "Your IP address is 203.0.113.7",
                         {"Your", "IP", "address", "is", "203.0.113.7"}},
                    Case{"TrailingSpace", "203.0.113.7 ", {"203.0.113.7", ""}},
                    Case{"LeadingSpace", " 203.0.113.7", {"", "203.0.113.7"}},
                    Case{"TwoSpaces", "is  203.0.113.7", {"is", "", "203.0.113.7"}},
                    Case{"OnlySpace", " ", {"", ""}},
                    Case{"LineBreakKept", "203.0.113.7\n", {"203.0.113.7\n"}},
                    Case{"TabsAndBreaksAreNotSeparators", "a\tb\r\nc d", {"a\tb\r\nc", "d"}},
                    Case{"NulKept", std::string("a\0b c", 5), {std::string("a\0b", 3), "c"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
