#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// The transfers honour the user's proxy variables; these tests talk to their
// own loopback server directly, so none may be in force unless a test sets it.
class NoProxyEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    for (const char* name : {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy",
                             "ALL_PROXY", "no_proxy", "NO_PROXY"}) {
      unsetenv(name);
    }
  }
};

[[maybe_unused]] testing::Environment* const kNoProxy =
    testing::AddGlobalTestEnvironment(new NoProxyEnvironment);

}  // namespace
