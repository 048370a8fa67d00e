// Name lookups that never get an answer, staged in a private mount and network
// namespace (needs root): the resolver file names a loopback DNS server that
// takes queries and never replies. Nothing leaves the namespace.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include "platform/linux/http_internet_transfer.h"
#include "tests/support/etc_files.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Outcome = platform::FetchResult::Outcome;

constexpr int kSkip = 77;
constexpr const char* kUrl = "http://echo.tarnwick.test/";

// In the child: a private namespace whose only DNS server is silent; the
// resolver gives up after `resolverSeconds`.
bool stageSilentResolver(int resolverSeconds, std::string& why) {
  if (unshare(CLONE_NEWNS | CLONE_NEWNET) != 0) {
    why = "unshare: " + std::string(std::strerror(errno));
    return false;
  }
  if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
    why = "private mounts: " + std::string(std::strerror(errno));
    return false;
  }
  const int control = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  ifreq lo{};
  std::strncpy(lo.ifr_name, "lo", IFNAMSIZ - 1);
  lo.ifr_flags = IFF_UP | IFF_LOOPBACK | IFF_RUNNING;
  const bool up = control >= 0 && ioctl(control, SIOCSIFFLAGS, &lo) == 0;
  if (control >= 0) close(control);
  if (!up) {
    why = "loopback up: " + std::string(std::strerror(errno));
    return false;
  }
  const std::string resolverError = tests_support::replaceEtcFiles(
      {{"resolv.conf", "nameserver 127.0.0.1\noptions timeout:" + std::to_string(resolverSeconds) +
                           " attempts:1\n"}});
  if (!resolverError.empty()) {
    why = "resolver file: " + resolverError;
    return false;
  }
  // Queries queue up on this socket unread: no answer, and no refusal either.
  const int dns = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(53);
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (dns < 0 || bind(dns, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    why = "dns socket: " + std::string(std::strerror(errno));
    return false;
  }
  return true;  // the socket stays open until the child ends
}

// Runs `check` in a child process inside the staged namespace; its exit code
// is 0 for a pass, kSkip when the namespace could not be made.
void inSilentResolverNamespace(const std::function<bool()>& check, int resolverSeconds = 1) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root for a private network namespace";
  std::fflush(nullptr);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::string why;
    if (!stageSilentResolver(resolverSeconds, why)) {
      std::fprintf(stderr, "cannot stage the namespace: %s\n", why.c_str());
      _exit(kSkip);
    }
    _exit(check() ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == kSkip) GTEST_SKIP() << "could not stage a private namespace";
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

bool report(bool ok, const char* what, long long ms) {
  std::fprintf(stderr, "%s: %s after %lld ms\n", ok ? "ok" : "FAILED", what, ms);
  return ok;
}

long long msSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

TEST(HungLookup, UnansweredLookupCountsAsTimedOut) {
  inSilentResolverNamespace([] {
    platform::linuxos::HttpTransferConfig config;
    config.slowLookup = 500ms;
    platform::linuxos::HttpInternetTransfer net(config);
    const auto started = Clock::now();
    const platform::FetchResult result = net.fetchText(kUrl, {}, {});
    return report(
        result.outcome == Outcome::TimedOut && result.report.reach == platform::Reach::NoName,
        "unanswered lookup timed out, the name unresolved", msSince(started));
  });
}

TEST(HungLookup, StopEndsTheWaitForALookup) {
  inSilentResolverNamespace(
      [] {
        platform::linuxos::HttpInternetTransfer net;
        bool ok = true;
        for (int call = 0; call < 2; ++call) {
          std::stop_source stop;
          std::jthread stopper([&] {
            std::this_thread::sleep_for(300ms);
            stop.request_stop();
          });
          const auto started = Clock::now();
          bool cancelled = false;
          if (call == 0) {
            cancelled = net.fetchText(kUrl, {}, stop.get_token()).outcome == Outcome::Cancelled;
          } else {
            const auto internet = net.internetOpen("agent");
            cancelled = net.internetOpenUrl(internet, kUrl, stop.get_token()) == 0;
            net.internetCloseHandle(internet);
          }
          // The resolver holds out for 30 s: a stop that waited for the lookup
          // would take all of that, one that ends the wait takes a moment.
          const long long ms = msSince(started);
          ok = report(cancelled && ms < 10000, call == 0 ? "fetch stopped" : "open stopped", ms) &&
               ok;
        }
        return ok;
      },
      30);
}

std::size_t threadCount() {
  std::size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/task"))
    ++count;
  return count;
}

// Each request that gives up on its lookup leaves it running; however many
// names are asked for, only a few lookups run at once.
TEST(HungLookup, UnansweredLookupsHoldFewThreads) {
  inSilentResolverNamespace([] {
    platform::linuxos::HttpInternetTransfer net;
    platform::FetchOptions options;
    // All the requests end well within the resolver's own 1 s: a lookup that
    // gave up meanwhile would free its place while its thread is still
    // leaving, and the count would catch both.
    options.timeout = 50ms;
    const std::size_t before = threadCount();
    bool timedOut = true;
    for (int i = 0; i < 8; ++i) {
      const std::string url = "http://name" + std::to_string(i) + ".tarnwick.test/";
      timedOut = net.fetchText(url, options, {}).outcome == Outcome::TimedOut && timedOut;
    }
    const std::size_t lookups = threadCount() - before;
    return report(timedOut && lookups <= 4, ("lookup threads: " + std::to_string(lookups)).c_str(),
                  0);
  });
}

}  // namespace
