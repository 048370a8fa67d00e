// The user's regional format on Windows, as the Wine prefix was set for the run
// (CTest runs this once per locale, naming what the user should see).

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "reports/number_style.h"

namespace reports {
namespace {

TEST(UserLocale, SpeedsAreWrittenInTheUsersRegionalFormat) {
  const char* locale = std::getenv("TARNWICK_EXPECT_USER_LOCALE");
  const char* number = std::getenv("TARNWICK_EXPECT_NUMBER");
  if (locale == nullptr || number == nullptr) GTEST_SKIP() << "run by CTest with a locale set";
  EXPECT_EQ(userNumericLocaleName(), locale);
  EXPECT_EQ(formatTwoDecimals(1234567.891, numberStyleFor(userNumericLocaleName())), number);
}

}  // namespace
}  // namespace reports
