#include "reports/number_style.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

#include "reports/inventory_values.h"

namespace reports {
namespace {

const NumberStyle kC{};
const NumberStyle kEnglish{".", ",", "\3\3"};
const NumberStyle kGerman{",", ".", "\3\3"};

TEST(FormatTwoDecimals, PlacesSeparatorsAndRounds) {
  struct Case {
    double value;
    const NumberStyle& style;
    const char* expected;
  };
  const NumberStyle indian{".", ",", "\3\2"};
  const NumberStyle firstGroupOnly{".", ",", std::string{3, CHAR_MAX}};
  const NumberStyle narrowSpace{",", "\u202f", "\3"};
  const Case cases[] = {
      {1000, kC, "1000.00"},
      {1000, kEnglish, "1,000.00"},
      {1000, kGerman, "1.000,00"},
      {100, kEnglish, "100.00"},
      {0, kEnglish, "0.00"},
      {0.5, kGerman, "0,50"},
      {0.001, kEnglish, "0.00"},
      {999.999, kEnglish, "1,000.00"},  // rounding adds a group
      {1234567.891, kEnglish, "1,234,567.89"},
      {9223372036854775807.0 / 1e6, kEnglish, "9,223,372,036,854.78"},
      {123456789, indian, "12,34,56,789.00"},
      {1234567, firstGroupOnly, "1234,567.00"},
      {1234567, narrowSpace, "1\u202f234\u202f567,00"},
      {-1234.5, kEnglish, "-1,234.50"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(formatTwoDecimals(c.value, c.style), c.expected) << c.value;
  }
  EXPECT_EQ(formatTwoDecimals(std::numeric_limits<double>::infinity(), kEnglish), "");
  EXPECT_EQ(formatTwoDecimals(std::nan(""), kEnglish), "");
  // The largest double still formats (309 integer digits, all grouped).
  EXPECT_EQ(formatTwoDecimals(std::numeric_limits<double>::max(), kC).size(), 309u + 3u);
}

// The same names on either system: Windows reads its own locale data for them.
TEST(NumberStyleFor, ReadsNamedLocalesAndFallsBackToC) {
  const NumberStyle english = numberStyleFor("en_US.UTF-8");
  EXPECT_EQ(english.decimalPoint, ".");
  EXPECT_EQ(english.thousandsSeparator, ",");
  EXPECT_EQ(formatTwoDecimals(1234567.891, english), "1,234,567.89");
  const NumberStyle german = numberStyleFor("de_DE.UTF-8");
  EXPECT_EQ(german.decimalPoint, ",");
  EXPECT_EQ(german.thousandsSeparator, ".");
  EXPECT_EQ(formatTwoDecimals(1234567.891, german), "1.234.567,89");

  for (const char* name : {"C", "POSIX", "C.UTF-8", "", "xx_NOWHERE.UTF-8", "../../etc/passwd"}) {
    const NumberStyle style = numberStyleFor(name);
    EXPECT_EQ(style.decimalPoint, ".") << name;
    EXPECT_EQ(formatTwoDecimals(1000, style), "1000.00") << name;
  }
}

TEST(SpeedText, ConvertsBitsPerSecondToMegabits) {
  using platform::Variant;
  struct Case {
    Variant speed;
    const NumberStyle& style;
    const char* expected;
  };
  const Case cases[] = {
      {Variant{std::string("100000000")}, kEnglish, "100.00 Mbps"},
      {Variant{std::string("1000000000")}, kEnglish, "1,000.00 Mbps"},
      {Variant{std::string("1000000000")}, kGerman, "1.000,00 Mbps"},
      {Variant{std::string("1000000000")}, kC, "1000.00 Mbps"},
      {Variant{std::int64_t{9223372036854775807}}, kEnglish, "9,223,372,036,854.78 Mbps"},
      {Variant{std::string("9223372036854775807")}, kEnglish, "9,223,372,036,854.78 Mbps"},
      {Variant{std::string("18446744073709551615")}, kEnglish, "18,446,744,073,709.55 Mbps"},
      {Variant{std::int32_t{10000}}, kEnglish, "0.01 Mbps"},
      {Variant{std::string("0")}, kEnglish, "0.00 Mbps"},
      {Variant{platform::Null{}}, kEnglish, "N/A"},
      {Variant{std::string("")}, kEnglish, "N/A"},
      {Variant{std::string("fast")}, kEnglish, "N/A"},
      {Variant{std::string("100 ")}, kEnglish, "N/A"},
      {Variant{std::string("inf")}, kEnglish, "N/A"},
      {Variant{std::string("1e999")}, kEnglish, "N/A"},
      {Variant{true}, kEnglish, "N/A"},
      {Variant{platform::TextArray{"1"}}, kEnglish, "N/A"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(speedText(c.speed, c.style), c.expected) << c.expected;
  }
}

TEST(ConnectionStatusText, MapsTheTableAndEverythingElse) {
  using platform::Variant;
  for (std::size_t v = 0; v < kConnectionStatusNames.size(); ++v) {
    EXPECT_EQ(connectionStatusText(Variant{static_cast<std::int32_t>(v)}),
              kConnectionStatusNames[v]);
  }
  EXPECT_EQ(connectionStatusText(Variant{std::int32_t{7}}), "Media Disconnected");
  EXPECT_EQ(connectionStatusText(Variant{std::int32_t{12}}), "Unknown (12)");
  EXPECT_EQ(connectionStatusText(Variant{std::int32_t{-1}}), "Unknown (-1)");
  EXPECT_EQ(connectionStatusText(Variant{std::int64_t{5000000000}}), "Unknown (5000000000)");
  EXPECT_EQ(connectionStatusText(Variant{platform::Null{}}), "Unknown ()");
  EXPECT_EQ(connectionStatusText(Variant{std::string("2")}), "Connected");
  EXPECT_THROW(connectionStatusText(Variant{std::string("up")}), basics::Error);
  EXPECT_THROW(connectionStatusText(Variant{platform::TextArray{}}), basics::Error);
}

TEST(JoinedOrNotAvailable, JoinsInOrder) {
  using platform::TextArray;
  EXPECT_EQ(joinedOrNotAvailable(TextArray{"255.255.255.0", "64"}), "255.255.255.0, 64");
  EXPECT_EQ(joinedOrNotAvailable(TextArray{"a"}), "a");
  EXPECT_EQ(joinedOrNotAvailable(TextArray{}), "N/A");
  EXPECT_EQ(joinedOrNotAvailable(TextArray{""}), "N/A");
  EXPECT_EQ(joinedOrNotAvailable(TextArray{"", ""}), ", ");
  EXPECT_THROW(joinedOrNotAvailable(std::string("a")), basics::Error);
}

}  // namespace
}  // namespace reports
