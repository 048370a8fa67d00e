// The user's locale on Linux: the environment names it.

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "reports/number_style.h"

namespace reports {
namespace {

// Sets environment variables for one test and puts them back afterwards.
class Environment {
 public:
  void set(const char* name, const char* value) {
    if (const char* old = std::getenv(name)) {
      saved_.push_back({name, std::string(old)});
    } else {
      saved_.push_back({name, std::nullopt});
    }
    if (value) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~Environment() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
      if (it->second) {
        setenv(it->first, it->second->c_str(), 1);
      } else {
        unsetenv(it->first);
      }
    }
  }

 private:
  std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

TEST(UserNumericLocaleName, FollowsEnvironmentPrecedence) {
  struct Case {
    const char* all;
    const char* numeric;
    const char* lang;
    const char* expected;
  };
  const Case cases[] = {
      {nullptr, nullptr, nullptr, "C"},
      {nullptr, nullptr, "de_DE.UTF-8", "de_DE.UTF-8"},
      {nullptr, "en_US.UTF-8", "de_DE.UTF-8", "en_US.UTF-8"},
      {"C", "en_US.UTF-8", "de_DE.UTF-8", "C"},
      {"", "", "de_DE.UTF-8", "de_DE.UTF-8"},  // empty counts as unset
  };
  for (const Case& c : cases) {
    Environment env;
    env.set("LC_ALL", c.all);
    env.set("LC_NUMERIC", c.numeric);
    env.set("LANG", c.lang);
    EXPECT_EQ(userNumericLocaleName(), c.expected);
  }
}

}  // namespace
}  // namespace reports
