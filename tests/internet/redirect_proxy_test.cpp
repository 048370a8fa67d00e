#include <gtest/gtest.h>

#include <ostream>

#include <cstdlib>
#include <string>

#include "platform/linux/http_internet_transfer.h"
#include "tests/support/http_test_server.h"

namespace {

using Outcome = platform::FetchResult::Outcome;
using tests_support::HttpReply;
using tests_support::HttpRequest;
using tests_support::HttpTestServer;

// "/hop/N" redirects to "/hop/N-1"; "/hop/0" answers with the address.
HttpReply hops(const HttpRequest& request) {
  const std::string prefix = "/hop/";
  if (request.target == "/to-missing") return HttpReply::redirect("/missing");
  if (request.target.rfind(prefix, 0) != 0) return HttpReply::text("", 404);
  const int left = std::stoi(request.target.substr(prefix.size()));
  if (left == 0) return HttpReply::text("203.0.113.7");
  return HttpReply::redirect(prefix + std::to_string(left - 1), left % 2 ? 301 : 302);
}

struct Case {
  const char* name;
  std::string path;
  Outcome outcome;
  std::string body;
  int requests;
};

// Names the case in test listings instead of dumping its bytes.
[[maybe_unused]] void PrintTo(const Case& c, std::ostream* os) {
  *os << c.name;
}

class Redirects : public testing::TestWithParam<Case> {};

TEST_P(Redirects, FollowedUpToFive) {
  HttpTestServer server(hops);
  platform::linuxos::HttpInternetTransfer net;
  const platform::FetchResult result = net.fetchText(server.url(GetParam().path), {}, {});
  EXPECT_EQ(result.outcome, GetParam().outcome);
  EXPECT_EQ(result.body, GetParam().body);
  EXPECT_EQ(static_cast<int>(server.requests().size()), GetParam().requests);
}

INSTANTIATE_TEST_SUITE_P(Chains, Redirects,
                         testing::Values(Case{"None", "/hop/0", Outcome::Ok, "203.0.113.7", 1},
                                         Case{"One", "/hop/1", Outcome::Ok, "203.0.113.7", 2},
                                         Case{"Five", "/hop/5", Outcome::Ok, "203.0.113.7", 6},
                                         Case{"Six", "/hop/6", Outcome::Failed, "", 6},
                                         Case{"ToAnErrorPage", "/to-missing", Outcome::HttpError,
                                              "", 2}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RedirectScheme, NeverToAFile) {
  HttpTestServer server;
  server.setReply(HttpReply::redirect("file:///etc/hostname"));
  platform::linuxos::HttpInternetTransfer net;
  const platform::FetchResult result = net.fetchText(server.url(), {}, {});
  EXPECT_EQ(result.outcome, Outcome::Failed);
  // The server answered; only where it sent the fetch was no place to go.
  EXPECT_EQ(result.report.reach, platform::Reach::Answered);
}

// The user's proxy variable is honoured: the request goes to the proxy, with
// the absolute URL as its target. The URL's own port is closed, so a request
// that bypassed the proxy would fail.
TEST(Proxy, HttpProxyVariableHonoured) {
  std::string closed;
  {
    HttpTestServer gone;
    closed = gone.url("/");
  }
  HttpTestServer proxy;
  proxy.setReply(HttpReply::text("198.51.100.9"));
  const std::string withUser = "http://user:secret@" + proxy.url("").substr(7);
  setenv("http_proxy", withUser.c_str(), 1);
  platform::linuxos::HttpInternetTransfer net;
  const platform::FetchResult result = net.fetchText(closed, {}, {});
  unsetenv("http_proxy");
  EXPECT_EQ(result.outcome, Outcome::Ok);
  EXPECT_EQ(result.body, "198.51.100.9");
  EXPECT_EQ(result.report.reach, platform::Reach::Answered);
  EXPECT_TRUE(result.report.viaProxy);
  ASSERT_EQ(proxy.requests().size(), 1u);
  EXPECT_EQ(proxy.requests()[0].target, closed);
  EXPECT_EQ(proxy.requests()[0].header("Proxy-Authorization"), "Basic dXNlcjpzZWNyZXQ=");
}

}  // namespace
